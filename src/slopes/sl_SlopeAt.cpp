// Which slope lies under a point of the compass: the stored slope's mark
// first (it may sit between cells), then the cell of aspect and tilt.
#include "slopes/slopes.h"

#include <cmath>

int sl_SlopeAt(const sl_view *view, const sl_compass_layout *l, double x, double y) {
    if (view->have) {
        double sx, sy;
        sl_SlopePlace(l, view->stored.aspect, view->stored.tilt, &sx, &sy);
        if (std::hypot(x - sx, y - sy) <= 7.0) return SL_STORED;
    }
    double dx = x - l->cx, dy = y - l->cy;
    double r = std::hypot(dx, dy);
    if (r > l->radius) return -1;
    int tilt = static_cast<int>(std::lround(r / l->band));
    if (tilt > SL_TILTS - 1) tilt = SL_TILTS - 1;
    double degrees = std::atan2(dx, -dy) * 180.0 / G_PI;
    if (degrees < 0.0) degrees += 360.0;
    int aspect = static_cast<int>(std::lround(degrees / 15.0)) % SL_ASPECTS;
    // Flat ground is one slope whatever its direction.
    if (tilt == 0) aspect = 0;
    return aspect * SL_TILTS + tilt;
}
