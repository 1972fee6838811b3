// The compass fills the height of its area, with room for the direction
// marks around it and the legend to its right.
#include "slopes/slopes.h"

#include <algorithm>

sl_compass_layout sl_CompassLayout(double width, double height) {
    sl_compass_layout l{};
    const double legend = 115.0, margin = 34.0;
    double size = std::max(std::min(width - legend, height), 120.0);
    l.radius = size / 2.0 - margin;
    // Tilt 0 is the centre disc; each 2.5 degrees more is one band outwards.
    l.band = l.radius / (SL_TILTS - 0.5);
    l.cx = std::max((width - legend) / 2.0, size / 2.0);
    l.cy = height / 2.0;
    l.legend_x = l.cx + size / 2.0 + 10.0;
    l.legend_w = 18.0;
    l.legend_h = std::min(l.radius * 1.2, height - 150.0);
    l.legend_y = l.cy - l.radius;
    return l;
}
