#include "selftest/selftest.h"

#include "model/model.h"

void storeFixedCase(void) {
    active_year = 1999;
    active_month = 7;
    active_day = 22;
    active_daynum = 203;
    active_hour = 9;
    active_minute = 45;
    active_second = 37;
    active_timezone = -5.0f;
    active_latitude = 33.65f;
    active_longitude = -84.43f;
    active_aspect = 135.0f;
    active_tilt = 33.65f;
    active_temp = 27.0f;
    active_press = 1006.0f;
    active_dt = 1;
}
