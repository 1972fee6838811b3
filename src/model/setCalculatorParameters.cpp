// The fixed parameters of both calculators: Pacific standard time, the sun
// placed at noon, a one-minute step and a standard atmosphere. Set at every
// opening, so that whatever a self-test left in the shared state is gone.
#include "model/model.h"

void setCalculatorParameters(void) {
    active_timezone = -8.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    active_dt = 1;
    active_temp = 15.0f;
    active_press = 1013.0f;
}
