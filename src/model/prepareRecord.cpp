// Resets the one solar record and fills it for a date at the clock time,
// location and atmosphere of the shared state, ready for S_solpos.
#include "model/model.h"

#include <climits>

void prepareRecord(int day, int month, int year) {
    pdat = &pd;
    S_init(pdat);

    pdat->latitude = active_latitude;
    pdat->longitude = active_longitude;
    pdat->surface_aspect = active_aspect;
    pdat->surface_tilt = active_tilt;
    pdat->year = year;
    pdat->month = month;
    pdat->day_of_month = day;
    pdat->hour = active_hour;
    pdat->minute = active_minute;
    pdat->second = active_second;
    pdat->temperature = active_temp;
    pdat->pressure = active_press;
    pdat->timezone_hours = active_timezone;

    // A month outside the table, or a day that would overflow, keeps the
    // default day of year, which the engine refuses.
    if (month >= 1 && month <= 12) {
        int before = month_days[isLeapYear(year)][month];
        if (day <= INT_MAX - before) pdat->day_of_year = day + before;
    }
}
