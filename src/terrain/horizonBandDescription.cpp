// The description of a horizon band: its direction.
#include "terrain/terrain.h"

#include <cstdio>

std::string horizonBandDescription(int directions, int k) {
    char text[80];
    std::snprintf(text, sizeof text, "horizon angle (degrees) towards %.4g degrees from north",
                  360.0 * k / directions);
    return text;
}
