// Sunrise and sunset for one date of riseset.csv, taken as the one-day
// calculator takes them (the sun placed once at 12:00:00 of the date, 15 °C,
// 1013 mb), but in the row's own time zone and on a record of its own.
#include "accuracy/accuracy.h"

#include "model/model.h"

bool engineRiseSet(const RiseSetRow &row, double *sunrise, double *sunset) {
    solar_record record;
    S_init(&record);
    record.latitude = row.latitude;
    record.longitude = row.longitude;
    record.year = row.year;
    record.month = row.month;
    record.day_of_month = row.day;
    record.day_of_year = month_days[isLeapYear(row.year)][row.month] + row.day;
    record.hour = 12;
    record.minute = 0;
    record.second = 0;
    record.timezone_hours = row.timezone;
    record.temperature = 15.0f;
    record.pressure = 1013.0f;
    if (S_solpos(&record) != 0) return false;
    *sunrise = record.sunrise_minutes;
    *sunset = record.sunset_minutes;
    return true;
}
