// Fit leaves a little margin so the edge of the land is never under the
// window's border.
#include "terrain/mapFigures.h"

#include <algorithm>

map_frame mapFit(int cols, int rows, double width, double height) {
    const double margin = 8.0;
    map_frame f{0.0, 0.0, 1.0};
    if (cols <= 0 || rows <= 0) return f;
    double w = std::max(1.0, width - 2.0 * margin), h = std::max(1.0, height - 2.0 * margin);
    f.scale = std::min(w / cols, h / rows);
    f.x = (width - cols * f.scale) / 2.0;
    f.y = (height - rows * f.scale) / 2.0;
    return f;
}
