// Resets a solar record and fills it for a date with the given conditions,
// ready for S_solpos.
#include "model/integration.h"
#include "model/model.h"

#include <climits>

void fillRecord(solar_record *record, const day_conditions *c, int day, int month, int year) {
    S_init(record);

    record->latitude = c->latitude;
    record->longitude = c->longitude;
    record->surface_aspect = c->aspect;
    record->surface_tilt = c->tilt;
    record->year = year;
    record->month = month;
    record->day_of_month = day;
    record->hour = c->hour;
    record->minute = c->minute;
    record->second = c->second;
    record->temperature = c->temperature;
    record->pressure = c->pressure;
    record->timezone_hours = c->timezone;

    // A month outside the table, or a day that would overflow, keeps the
    // default day of year, which the engine refuses.
    if (month >= 1 && month <= 12) {
        int before = month_days[isLeapYear(year)][month];
        if (day <= INT_MAX - before) record->day_of_year = day + before;
    }
}
