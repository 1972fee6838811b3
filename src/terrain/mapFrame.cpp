// How a grid of cells lies on the screen: fitted to an area with a little
// margin, so the edge of the land is never under the window's border; zoomed
// about the pointer, so a wheel zoom goes where the grower looks; and the
// cell under a point.
#include "terrain/mapFigures.h"

#include <algorithm>
#include <cmath>

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

map_frame mapZoom(const map_frame *frame, double factor, double px, double py) {
    map_frame f = *frame;
    f.scale = frame->scale * factor;
    f.x = px - (px - frame->x) * factor;
    f.y = py - (py - frame->y) * factor;
    return f;
}

// A cell owns its top and left edges; the grid's far edges belong to no cell.
bool mapCellAt(const map_frame *frame, int cols, int rows, double px, double py, int *col, int *row) {
    if (!(frame->scale > 0.0)) return false;
    double c = std::floor((px - frame->x) / frame->scale), r = std::floor((py - frame->y) / frame->scale);
    if (!(c >= 0.0 && c < cols && r >= 0.0 && r < rows)) return false;
    *col = static_cast<int>(c);
    *row = static_cast<int>(r);
    return true;
}
