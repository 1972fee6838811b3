#include "selftest/selftest.h"

#include "model/model.h"

void storeSeasonCase(void) {
    // The clock values are left as the shared state holds them.
    active_year = 2007;
    active_latitude = 44.133f;
    active_longitude = -123.214f;
    active_elev = 114.0f;
    active_aspect = 180.0f;
    active_tilt = 10.0f;
    active_timezone = -8.0f;
    active_dt = 1;
    active_temp = 15.0f;
    active_press = 1006.0f;
    northsouth = 1;
    setMonthLengths(active_year);
}
