// Fresh site from locale.txt and the fixed parameters, at every opening, so
// that whatever a self-test left in the shared state does not carry over.
#include "oneday/oneday.h"

#include "location/readLocale.h"
#include "model/model.h"

void c1_Initialize(void) {
    readLocale();

    active_timezone = -8.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    active_dt = 1;
    active_temp = 15.0f;
    active_press = 1013.0f;
}
