// Places the sun once for a date at the clock time of the shared state and
// returns that day's sunrise and sunset (minutes after local standard
// midnight). Leaves pd filled for the date, ready for getDaysIrr to step.
#include "model/model.h"

#include <climits>

void getDayBounds(int day, int month, int year, float *sunrise, float *sunset) {
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

    S_solpos(pdat);

    *sunrise = pdat->sunrise_minutes;
    *sunset = pdat->sunset_minutes;
}
