// The fixed parameters of both calculators, set at every opening, so that
// whatever a self-test left in the shared state is gone.
#include "model/integration.h"
#include "model/model.h"

void setCalculatorParameters(void) {
    const day_conditions c = calculatorConditions(active_latitude, active_longitude, active_aspect, active_tilt);
    active_timezone = c.timezone;
    active_hour = c.hour;
    active_minute = c.minute;
    active_second = c.second;
    active_dt = c.step;
    active_temp = c.temperature;
    active_press = c.pressure;
}
