// Reads riseset.csv: dates in a time zone with the ephemeris' rise and set
// times of the sun's centre and of the almanac's sun. Each row goes through
// the engine as it is read; only the differences are kept.
#include "accuracy/accuracy.h"

#include <cmath>

namespace {

bool real(const std::string &field, double low, double high, double *value) {
    return csvReal(field, value) && *value >= low && *value <= high;
}

}  // namespace

bool readRiseSet(const std::string &path, AccuracySamples *samples, std::string *error) {
    static const std::vector<std::string> columns = {"latitude",   "longitude",  "timezone",     "year",
                                                     "month",      "day",        "rise_centre",  "set_centre",
                                                     "rise_almanac", "set_almanac"};
    auto row = [samples](int line, const std::vector<std::string> &f, std::string *problem) {
        RiseSetRow r{};
        r.line = line;
        double latitude = 0, longitude = 0, timezone = 0;
        double *times[4] = {&r.rise_centre, &r.set_centre, &r.rise_almanac, &r.set_almanac};
        if (!real(f[0], -90, 90, &latitude)) {
            *problem = "latitude " + quoteField(f[0]) + " is not a number -90 to 90";
        } else if (!real(f[1], -180, 180, &longitude)) {
            *problem = "longitude " + quoteField(f[1]) + " is not a number -180 to 180";
        } else if (!real(f[2], -12, 12, &timezone)) {
            *problem = "timezone " + quoteField(f[2]) + " is not a number of hours -12 to 12";
        } else {
            csvDate(f, 3, &r.year, &r.month, &r.day, problem);
        }
        for (int i = 0; i < 4 && problem->empty(); i++) {
            if (!csvReal(f[6 + i], times[i])) *problem = columns[6 + i] + " " + quoteField(f[6 + i]) + " is not a number";
        }
        if (!problem->empty()) return false;
        r.latitude = static_cast<float>(latitude);
        r.longitude = static_cast<float>(longitude);
        r.timezone = static_cast<float>(timezone);

        double rise = 0, set = 0;
        if (!engineRiseSet(r, &rise, &set)) {
            *problem = "the solar engine refuses this row";
            return false;
        }
        samples->riseset.push_back(std::fabs(rise - r.rise_centre));
        samples->riseset.push_back(std::fabs(set - r.set_centre));
        samples->almanac_rise.push_back(rise - r.rise_almanac);
        samples->almanac_set.push_back(set - r.set_almanac);
        return true;
    };
    return readCsv(path, columns, row, error);
}
