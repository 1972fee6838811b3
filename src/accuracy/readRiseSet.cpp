// Reads riseset.csv: dates in a time zone with the ephemeris' rise and set
// times of the sun's centre and of the almanac's sun.
#include "accuracy/accuracy.h"

namespace {

bool real(const std::string &field, double low, double high, double *value) {
    return csvReal(field, value) && *value >= low && *value <= high;
}

}  // namespace

bool readRiseSet(const std::string &path, std::vector<RiseSetRow> *rows, std::string *error) {
    static const std::vector<std::string> columns = {"latitude",   "longitude",  "timezone",     "year",
                                                     "month",      "day",        "rise_centre",  "set_centre",
                                                     "rise_almanac", "set_almanac"};
    std::vector<CsvLine> lines;
    if (!readCsv(path, columns, &lines, error)) return false;

    rows->clear();
    for (const CsvLine &l : lines) {
        const std::vector<std::string> &f = l.fields;
        RiseSetRow row{};
        row.line = l.line;
        double latitude = 0, longitude = 0, timezone = 0;
        double *times[4] = {&row.rise_centre, &row.set_centre, &row.rise_almanac, &row.set_almanac};
        std::string problem;
        if (!real(f[0], -90, 90, &latitude)) {
            problem = "latitude \"" + f[0] + "\" is not a number -90 to 90";
        } else if (!real(f[1], -180, 180, &longitude)) {
            problem = "longitude \"" + f[1] + "\" is not a number -180 to 180";
        } else if (!real(f[2], -12, 12, &timezone)) {
            problem = "timezone \"" + f[2] + "\" is not a number of hours -12 to 12";
        } else {
            csvDate(f, 3, &row.year, &row.month, &row.day, &problem);
        }
        for (int i = 0; i < 4 && problem.empty(); i++) {
            if (!csvReal(f[6 + i], times[i])) problem = columns[6 + i] + " \"" + f[6 + i] + "\" is not a number";
        }
        if (!problem.empty()) {
            *error = path + ":" + std::to_string(l.line) + ": " + problem;
            return false;
        }
        row.latitude = static_cast<float>(latitude);
        row.longitude = static_cast<float>(longitude);
        row.timezone = static_cast<float>(timezone);
        rows->push_back(row);
    }
    return true;
}
