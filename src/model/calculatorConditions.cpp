// The fixed conditions of both calculators: Pacific standard time, the sun
// placed at noon for sunrise and sunset, a one-minute step and a standard
// atmosphere; and the same conditions on the clock of the site's own zone.
#include "model/integration.h"

#include <cmath>

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

// Whole hours, east positive: across the Pacific zone (-127.5 to -112.5,
// halves rounding away from 0) that is the calculators' -8.
float siteZone(float longitude) {
    const double l = static_cast<double>(longitude);
    // Beyond the engine's longitudes (which it refuses) any zone will do;
    // lround of such a value would be unspecified.
    if (!(std::fabs(l) <= 180.0)) return 0.0f;
    return static_cast<float>(std::lround(l / 15.0));
}

day_conditions siteConditions(float latitude, float longitude, float aspect, float tilt) {
    day_conditions c = calculatorConditions(latitude, longitude, aspect, tilt);
    c.timezone = siteZone(longitude);
    return c;
}
