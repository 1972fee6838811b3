// Reads positions.csv: instants in UTC with the ephemeris' zenith and azimuth.
#include "accuracy/accuracy.h"

namespace {

bool real(const std::string &field, double low, double high, double *value) {
    return csvReal(field, value) && *value >= low && *value <= high;
}

}  // namespace

bool readPositions(const std::string &path, std::vector<PositionRow> *rows, std::string *error) {
    static const std::vector<std::string> columns = {"latitude", "longitude", "year",   "month",  "day",
                                                     "hour",     "minute",    "second", "zenith", "azimuth"};
    std::vector<CsvLine> lines;
    if (!readCsv(path, columns, &lines, error)) return false;

    rows->clear();
    for (const CsvLine &l : lines) {
        const std::vector<std::string> &f = l.fields;
        PositionRow row{};
        row.line = l.line;
        double latitude = 0, longitude = 0;
        std::string problem;
        if (!real(f[0], -90, 90, &latitude)) {
            problem = "latitude \"" + f[0] + "\" is not a number -90 to 90";
        } else if (!real(f[1], -180, 180, &longitude)) {
            problem = "longitude \"" + f[1] + "\" is not a number -180 to 180";
        } else if (!csvDate(f, 2, &row.year, &row.month, &row.day, &problem)) {
        } else if (!csvInt(f[5], &row.hour) || row.hour < 0 || row.hour > 24) {
            problem = "hour \"" + f[5] + "\" is not a whole number 0 to 24";
        } else if (!csvInt(f[6], &row.minute) || row.minute < 0 || row.minute > 59) {
            problem = "minute \"" + f[6] + "\" is not a whole number 0 to 59";
        } else if (!csvInt(f[7], &row.second) || row.second < 0 || row.second > 59) {
            problem = "second \"" + f[7] + "\" is not a whole number 0 to 59";
        } else if (row.hour == 24 && (row.minute != 0 || row.second != 0)) {
            problem = "hour 24 is only valid as 24:00:00";
        } else if (!real(f[8], 0, 180, &row.zenith)) {
            problem = "zenith \"" + f[8] + "\" is not a number 0 to 180";
        } else if (!real(f[9], 0, 360, &row.azimuth)) {
            problem = "azimuth \"" + f[9] + "\" is not a number 0 to 360";
        }
        if (!problem.empty()) {
            *error = path + ":" + std::to_string(l.line) + ": " + problem;
            return false;
        }
        // The ephemeris was asked with the single-precision place.
        row.latitude = static_cast<float>(latitude);
        row.longitude = static_cast<float>(longitude);
        rows->push_back(row);
    }
    return true;
}
