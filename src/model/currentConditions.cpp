// The day-integration conditions held in the shared calculation state.
#include "model/integration.h"
#include "model/model.h"

day_conditions currentConditions(void) {
    day_conditions c;
    c.latitude = active_latitude;
    c.longitude = active_longitude;
    c.aspect = active_aspect;
    c.tilt = active_tilt;
    c.temperature = active_temp;
    c.pressure = active_press;
    c.timezone = active_timezone;
    c.hour = active_hour;
    c.minute = active_minute;
    c.second = active_second;
    c.step = active_dt;
    return c;
}
