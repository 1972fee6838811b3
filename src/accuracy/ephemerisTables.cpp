// The two ephemeris tables through the engine: positions.csv (instants in
// UTC with the ephemeris' zenith and azimuth) and riseset.csv (dates in a
// time zone with the ephemeris' rise and set times of the sun's centre and
// of the almanac's sun). Each row goes through the engine as it is read, on
// a record of its own; only the differences that the figures use are kept.
#include "accuracy/accuracy.h"

#include "model/integration.h"
#include "model/model.h"

#include <cmath>

namespace {

// A field that is wholly one number within [low, high].
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

// The engine on one instant of positions.csv, on a record of its own: the
// clock time is UTC (time zone 0), the atmosphere the engine's standard one.
bool enginePosition(const PositionRow &row, double *zenith, double *azimuth) {
    // The surface is the engine's default; no figure here depends on it.
    const day_conditions conditions{row.latitude, row.longitude, 180.0f, 0.0f, 15.0f, 1013.0f, 0.0f, row.hour, row.minute, row.second, 1};
    solar_record record;
    fillRecord(&record, &conditions, row.day, row.month, row.year);
    if (S_solpos(&record) != 0) return false;
    *zenith = record.zenith_no_refraction;
    *azimuth = record.solar_azimuth;
    return true;
}

// Sunrise and sunset for one date of riseset.csv, taken as the one-day
// calculator takes them (the sun placed once at 12:00:00 of the date, 15 °C,
// 1013 mb), but in the row's own time zone and on a record of its own.
bool engineRiseSet(const RiseSetRow &row, double *sunrise, double *sunset) {
    // The surface is the engine's default; no figure here depends on it.
    const day_conditions conditions{row.latitude, row.longitude, 180.0f, 0.0f, 15.0f, 1013.0f, row.timezone, 12, 0, 0, 1};
    solar_record record;
    fillRecord(&record, &conditions, row.day, row.month, row.year);
    if (S_solpos(&record) != 0) return false;
    *sunrise = record.sunrise_minutes;
    *sunset = record.sunset_minutes;
    return true;
}

// An azimuth difference near the zenith means little on the sky: the sun
// there moves through many degrees of azimuth in a small arc. Measuring it
// as the arc along the sun's almucantar weighs it by the sine of the zenith.
double skyAzimuthError(double engine, double ephemeris, double zenith) {
    double d = std::fmod(engine - ephemeris, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    const double pi = 3.14159265358979323846;
    return std::fabs(d) * std::sin(zenith * (pi / 180.0));
}
