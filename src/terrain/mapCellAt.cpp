// A cell owns its top and left edges; the grid's far edges belong to no cell.
#include "terrain/mapFigures.h"

#include <cmath>

bool mapCellAt(const map_frame *frame, int cols, int rows, double px, double py, int *col, int *row) {
    if (!(frame->scale > 0.0)) return false;
    double c = std::floor((px - frame->x) / frame->scale), r = std::floor((py - frame->y) / frame->scale);
    if (!(c >= 0.0 && c < cols && r >= 0.0 && r < rows)) return false;
    *col = static_cast<int>(c);
    *row = static_cast<int>(r);
    return true;
}
