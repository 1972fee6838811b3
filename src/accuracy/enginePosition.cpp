// The engine on one instant of positions.csv, on a record of its own: the
// clock time is UTC (time zone 0), the atmosphere the engine's standard one.
#include "accuracy/accuracy.h"

#include "model/model.h"

bool enginePosition(const PositionRow &row, double *zenith, double *azimuth) {
    solar_record record;
    S_init(&record);
    record.latitude = row.latitude;
    record.longitude = row.longitude;
    record.year = row.year;
    record.month = row.month;
    record.day_of_month = row.day;
    record.day_of_year = month_days[isLeapYear(row.year)][row.month] + row.day;
    record.hour = row.hour;
    record.minute = row.minute;
    record.second = row.second;
    record.timezone_hours = 0.0f;
    record.temperature = 15.0f;
    record.pressure = 1013.0f;
    if (S_solpos(&record) != 0) return false;
    *zenith = record.zenith_no_refraction;
    *azimuth = record.solar_azimuth;
    return true;
}
