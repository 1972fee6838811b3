// Measuring the solar engine against an independent ephemeris: reading its
// two tables (positions.csv, riseset.csv), running the engine on each row as
// the program itself would, and the statistics of the differences.
// Everything here is re-entrant: each row gets its own solar record.
#ifndef VERANTA_ACCURACY_ACCURACY_H
#define VERANTA_ACCURACY_ACCURACY_H

#include <string>
#include <vector>

// One row of positions.csv: an instant in UTC and the ephemeris' zenith
// (no refraction) and azimuth, degrees. Latitude and longitude are held in
// single precision, as the engine holds them.
struct PositionRow {
    int line;
    float latitude;
    float longitude;
    int year, month, day, hour, minute, second;
    double zenith;
    double azimuth;
};

// One row of riseset.csv: a date in a time zone (hours east) and the
// ephemeris' rise and set times, minutes after local standard midnight.
struct RiseSetRow {
    int line;
    float latitude;
    float longitude;
    float timezone;
    int year, month, day;
    double rise_centre, set_centre, rise_almanac, set_almanac;
};

// One data line of a comma-separated file: its line number (1 = header)
// and its fields, trimmed of surrounding blanks.
struct CsvLine {
    int line;
    std::vector<std::string> fields;
};

// Reads a comma-separated file whose first line must name exactly the given
// columns. Carriage returns before line ends, a UTF-8 byte-order mark and
// blank lines are tolerated. On failure returns false with *error set to a
// message naming the file and line.
bool readCsv(const std::string &path, const std::vector<std::string> &columns, std::vector<CsvLine> *lines,
             std::string *error);

// A field that is wholly one finite real number, or wholly one integer.
bool csvReal(const std::string &field, double *value);
bool csvInt(const std::string &field, int *value);

// Reads year, month and day from three fields starting at first, and checks
// that they form a date the engine accepts (1950 to 2050). On failure
// *problem says which field is wrong and why.
bool csvDate(const std::vector<std::string> &fields, std::size_t first, int *year, int *month, int *day,
             std::string *problem);

bool readPositions(const std::string &path, std::vector<PositionRow> *rows, std::string *error);
bool readRiseSet(const std::string &path, std::vector<RiseSetRow> *rows, std::string *error);

// The engine's unrefracted zenith and azimuth for the row's instant (time
// zone 0, 15 °C, 1013 mb). False when the engine refuses the inputs.
bool enginePosition(const PositionRow &row, double *zenith, double *azimuth);

// The engine's sunrise and sunset for the row's date as the calculators take
// them: the sun placed at 12:00:00 in the row's time zone, 15 °C, 1013 mb.
bool engineRiseSet(const RiseSetRow &row, double *sunrise, double *sunset);

// The difference of two azimuths measured on the sky: folded into
// -180..180, absolute, times the sine of the zenith angle (degrees).
double skyAzimuthError(double engine, double ephemeris, double zenith);

// The value at index floor(p * (n - 1)) of the sorted values; n > 0.
double percentile(std::vector<double> values, double p);

struct AccuracyFigures {
    double zenith_median_deg, zenith_p99_deg, zenith_max_deg;
    double azimuth_median_deg, azimuth_p99_deg, azimuth_max_deg;
    double riseset_median_min, riseset_p99_min, riseset_max_min;
    double almanac_rise_median_min, almanac_set_median_min;
};

// Runs the engine on every row and gathers the figures. False, with *error
// naming the file and line, when the engine refuses a row or a statistic has
// no rows to stand on.
bool measureAccuracy(const std::vector<PositionRow> &positions, const std::vector<RiseSetRow> &risesets,
                     const std::string &positionsPath, const std::string &risesetPath, AccuracyFigures *figures,
                     std::string *error);

// The figures as lines of "name value", four decimals, in the fixed order.
std::string formatFigures(const AccuracyFigures &figures);

// The whole tool on DIR/positions.csv and DIR/riseset.csv: 0 with the figures
// in *out, or 1 with one message in *err.
int runAccuracy(const std::string &dir, std::string *out, std::string *err);

#endif
