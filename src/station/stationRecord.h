// Reading a weather station's daily temperatures: the file's format is told
// from its content, its figures converted to degrees Celsius, and a day
// whose maximum or minimum is missing stays missing (never zero). No GTK, no
// global state: callable from any thread.
#ifndef VERANTA_STATION_STATIONRECORD_H
#define VERANTA_STATION_STATIONRECORD_H

#include <cstddef>
#include <string>
#include <vector>

enum station_format {
    STATION_GHCN_BY_STATION,   // NOAA GHCN-Daily by_station CSV: no header, tenths of °C, flags
    STATION_GHCN_ACCESS,       // NOAA GHCN-Daily access CSV: a header, the site, tenths of °C
    STATION_METEOSTAT,         // Meteostat daily CSV (date, tavg, tmin, tmax, …), °C
    STATION_PLAIN_CSV,         // a header naming a date, a maximum and a minimum column
    STATION_WEATHERLINK,       // a Davis WeatherLink export: sub-daily Hi Temp and Low Temp
};

enum temperature_unit { UNIT_UNSAID, UNIT_CELSIUS, UNIT_FAHRENHEIT };

// One calendar day: its maximum and minimum in °C, NaN where the file has
// none (or only a value dropped for its quality flag or as impossible).
struct station_day {
    int year, month, day;
    double tmax, tmin;
};

struct station_record {
    station_format format = STATION_PLAIN_CSV;
    std::string station;              // the station's id or name where the file gives one
    bool site_known = false;          // the file gives latitude, longitude and elevation
    double latitude = 0.0;            // degrees north
    double longitude = 0.0;           // degrees east, west negative
    double elevation = 0.0;           // metres above sea level
    temperature_unit unit = UNIT_CELSIUS;   // the unit of the file's figures
    // Every calendar day from the file's first to its last, in order.
    std::vector<station_day> days;
    long flagged = 0;                 // values dropped for a quality flag (GHCN)
    long impossible = 0;              // values outside -90 to 60 °C, dropped
};

// Larger than any station's daily file and than years of five-minute
// records of a logger (some 200 bytes a row), and small enough to hold.
constexpr std::size_t kStationFileLimit = std::size_t(256) << 20;

enum station_read {
    STATION_READ_OK = 0,
    STATION_READ_REFUSED = 1,      // *refusal says what was expected
    STATION_READ_NEEDS_UNIT = 2,   // a plain CSV whose header does not say °C or °F
};

// Reads the text of a file (length bytes). unsaid is the unit for a plain CSV
// whose header does not say one (UNIT_UNSAID: ask). On refusal *refusal is
// one sentence without the file's name.
int readStationText(const char *text, std::size_t length, temperature_unit unsaid, station_record *record,
                    std::string *refusal);
// The same for a file, through the bounded reader (kStationFileLimit).
int readStationFile(const std::string &path, temperature_unit unsaid, station_record *record, std::string *refusal);

// "NOAA GHCN-Daily by-station CSV", … for the windows and notes.
const char *stationFormatName(station_format format);

// Days since 1 January 1970 of a proleptic Gregorian date.
long dayNumber(int year, int month, int day);
int daysInMonth(int year, int month);

#endif
