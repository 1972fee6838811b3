// Measuring the solar engine against an independent ephemeris: reading its
// two tables (positions.csv, riseset.csv), running the engine on each row as
// the program itself would, and the statistics of the differences.
// Everything here is re-entrant: each row gets its own solar record.
#ifndef VERANTA_ACCURACY_ACCURACY_H
#define VERANTA_ACCURACY_ACCURACY_H

#include <cstddef>
#include <functional>
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

// Bounds of a table read. The real tables are about a megabyte (20 000
// rows); 128 MiB holds a hundred times as many rows and is read into memory
// whole, since every difference is kept for the percentiles anyway. A line
// of the tables is about 60 bytes.
constexpr std::size_t kTableBytes = std::size_t{128} << 20;
constexpr std::size_t kTableLineBytes = 1024;

// Called for each data line with its line number (1 = header) and its
// fields, trimmed of surrounding blanks; false, with *problem set, stops the
// reading.
using CsvRow = std::function<bool(int line, const std::vector<std::string> &fields, std::string *problem)>;

// Reads a comma-separated file of at most kTableBytes, regular files only,
// whose first line must name exactly the given columns, and hands each data
// line to row. Carriage returns before line ends, a UTF-8 byte-order mark and
// blank lines are tolerated; a line longer than kTableLineBytes or with
// another number of fields is not. On failure returns false with *error set
// to one line naming the file and line.
bool readCsv(const std::string &path, const std::vector<std::string> &columns, const CsvRow &row,
             std::string *error);

// A field from a table as a message quotes it: in double quotes, cut after
// 60 bytes (before a UTF-8 sequence rather than inside one) with "…".
std::string quoteField(const std::string &field);

// A field that is wholly one finite real number, or wholly one integer.
bool csvReal(const std::string &field, double *value);
bool csvInt(const std::string &field, int *value);

// Reads year, month and day from three fields starting at first, and checks
// that they form a date the engine accepts (1950 to 2050). On failure
// *problem says which field is wrong and why.
bool csvDate(const std::vector<std::string> &fields, std::size_t first, int *year, int *month, int *day,
             std::string *problem);

// What the figures are taken from, and all that is kept of the tables: the
// differences engine - ephemeris, in the order of the rows.
struct AccuracySamples {
    std::vector<double> zenith;         // absolute, degrees, both zeniths below 89
    std::vector<double> azimuth;        // on the sky, degrees, ephemeris zenith 1 to 89
    std::vector<double> riseset;        // absolute, minutes, rise and set of each day
    std::vector<double> almanac_rise;   // signed, minutes
    std::vector<double> almanac_set;    // signed, minutes
};

// Reads positions.csv or riseset.csv and runs the engine on each row as it
// is read, adding the row's differences to *samples. False with *error
// naming the file and line on a malformed row or one the engine refuses.
bool readPositions(const std::string &path, AccuracySamples *samples, std::string *error);
bool readRiseSet(const std::string &path, AccuracySamples *samples, std::string *error);

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

// The figures of the samples. False, with *error naming the file, when a
// statistic has no rows to stand on.
bool measureAccuracy(const AccuracySamples &samples, const std::string &positionsPath,
                     const std::string &risesetPath, AccuracyFigures *figures, std::string *error);

// The figures as lines of "name value", four decimals, in the fixed order.
std::string formatFigures(const AccuracyFigures &figures);

// The whole tool on DIR/positions.csv and DIR/riseset.csv: 0 with the figures
// in *out, or 1 with one message in *err.
int runAccuracy(const std::string &dir, std::string *out, std::string *err);

#endif
