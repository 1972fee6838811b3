// A time in minutes after midnight as the clock text the windows and the
// self-tests show: hours, minutes and seconds cut off by truncation in single
// precision, then the zone label. The engine's no-rise and no-set markers
// (2999, -2999) go through the same arithmetic.
#include "model/model.h"

#include <cmath>
#include <cstdio>

void clockText(float minutes, const char *zone, char *text, std::size_t size) {
    // Beyond this the hours would not fit the conversions; no caller gets here.
    if (!(std::fabs(minutes) <= 1.0e7f)) {
        std::snprintf(text, size, "--:--:-- %s", zone);
        return;
    }
    int h = static_cast<int>(minutes / 60.0f);
    int m = static_cast<int>(minutes - static_cast<float>(60 * h));
    int s = static_cast<int>(60.0f * (minutes - static_cast<float>(60 * h) - static_cast<float>(m)));
    std::snprintf(text, size, "%2.2d:%2.2d:%2.2d %s", h, m, s, zone);
}
