// The stored site and the fixed parameters of a season calculation.
#include "season/season.h"

#include "location/readLocale.h"
#include "model/model.h"

void c2_Initialize(void) {
    readLocale();
    active_timezone = -8.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    active_dt = 1;
    active_temp = 15.0f;
    active_press = 1013.0f;
}
