// The fixed conditions of both calculators: Pacific standard time, the sun
// placed at noon for sunrise and sunset, a one-minute step and a standard
// atmosphere.
#include "model/integration.h"

day_conditions calculatorConditions(float latitude, float longitude, float aspect, float tilt) {
    day_conditions c;
    c.latitude = latitude;
    c.longitude = longitude;
    c.aspect = aspect;
    c.tilt = tilt;
    c.temperature = 15.0f;
    c.pressure = 1013.0f;
    c.timezone = -8.0f;
    c.hour = 12;
    c.minute = 0;
    c.second = 0;
    c.step = 1;
    return c;
}
