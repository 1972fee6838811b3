// An azimuth difference near the zenith means little on the sky: the sun
// there moves through many degrees of azimuth in a small arc. Measuring it
// as the arc along the sun's almucantar weighs it by the sine of the zenith.
#include "accuracy/accuracy.h"

#include <cmath>

double skyAzimuthError(double engine, double ephemeris, double zenith) {
    double d = std::fmod(engine - ephemeris, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    const double pi = 3.14159265358979323846;
    return std::fabs(d) * std::sin(zenith * (pi / 180.0));
}
