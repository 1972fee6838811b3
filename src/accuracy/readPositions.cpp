// Reads positions.csv: instants in UTC with the ephemeris' zenith and
// azimuth. Each row goes through the engine as it is read; only the
// differences that the figures use are kept.
#include "accuracy/accuracy.h"

#include <cmath>

namespace {

bool real(const std::string &field, double low, double high, double *value) {
    return csvReal(field, value) && *value >= low && *value <= high;
}

// The row's fields as a PositionRow; false with *problem saying which field
// is wrong.
bool parse(const std::vector<std::string> &f, PositionRow *row, std::string *problem) {
    double latitude = 0, longitude = 0;
    if (!real(f[0], -90, 90, &latitude)) {
        *problem = "latitude " + quoteField(f[0]) + " is not a number -90 to 90";
    } else if (!real(f[1], -180, 180, &longitude)) {
        *problem = "longitude " + quoteField(f[1]) + " is not a number -180 to 180";
    } else if (!csvDate(f, 2, &row->year, &row->month, &row->day, problem)) {
    } else if (!csvInt(f[5], &row->hour) || row->hour < 0 || row->hour > 24) {
        *problem = "hour " + quoteField(f[5]) + " is not a whole number 0 to 24";
    } else if (!csvInt(f[6], &row->minute) || row->minute < 0 || row->minute > 59) {
        *problem = "minute " + quoteField(f[6]) + " is not a whole number 0 to 59";
    } else if (!csvInt(f[7], &row->second) || row->second < 0 || row->second > 59) {
        *problem = "second " + quoteField(f[7]) + " is not a whole number 0 to 59";
    } else if (row->hour == 24 && (row->minute != 0 || row->second != 0)) {
        *problem = "hour 24 is only valid as 24:00:00";
    } else if (!real(f[8], 0, 180, &row->zenith)) {
        *problem = "zenith " + quoteField(f[8]) + " is not a number 0 to 180";
    } else if (!real(f[9], 0, 360, &row->azimuth)) {
        *problem = "azimuth " + quoteField(f[9]) + " is not a number 0 to 360";
    }
    // The ephemeris was asked with the single-precision place.
    row->latitude = static_cast<float>(latitude);
    row->longitude = static_cast<float>(longitude);
    return problem->empty();
}

}  // namespace

bool readPositions(const std::string &path, AccuracySamples *samples, std::string *error) {
    static const std::vector<std::string> columns = {"latitude", "longitude", "year",   "month",  "day",
                                                     "hour",     "minute",    "second", "zenith", "azimuth"};
    auto row = [samples](int line, const std::vector<std::string> &fields, std::string *problem) {
        PositionRow r{};
        r.line = line;
        if (!parse(fields, &r, problem)) return false;
        double z = 0, a = 0;
        if (!enginePosition(r, &z, &a)) {
            *problem = "the solar engine refuses this row";
            return false;
        }
        // Near the horizon refraction and the engine's clamping dominate;
        // these rows say nothing about the sun's position.
        if (!(z < 89.0 && r.zenith < 89.0)) return true;
        samples->zenith.push_back(std::fabs(z - r.zenith));
        // Right overhead the azimuth is undefined.
        if (r.zenith > 1.0) samples->azimuth.push_back(skyAzimuthError(a, r.azimuth, r.zenith));
        return true;
    };
    return readCsv(path, columns, row, error);
}
