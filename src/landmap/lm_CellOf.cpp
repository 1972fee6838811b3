// The cell whose centre lies nearest the point, if the point lies within
// that cell: within half the spacing of the neighbouring centres each way.
// A projected grid is not aligned with latitude and longitude, so the
// spacing is measured on the grid itself around the cell found.
#include "landmap/landmap.h"

#include <cmath>

bool lm_CellOf(const lm_map *map, double latitude, double longitude, int *col, int *row) {
    if (map->latitude.empty() || map->cols < 2 || map->rows < 2) return false;
    const double k = std::cos(latitude * G_PI / 180.0);
    long best = -1;
    double bestD = 0.0;
    for (long i = 0; i < map->cells(); i++) {
        double dy = map->latitude[i] - latitude, dx = (map->longitude[i] - longitude) * k;
        double d = dx * dx + dy * dy;
        if (best < 0 || d < bestD) {
            best = i;
            bestD = d;
        }
    }
    int c = static_cast<int>(best % map->cols), r = static_cast<int>(best / map->cols);
    auto at = [&](int cc, int rr, double *y, double *x) {
        long j = static_cast<long>(rr) * map->cols + cc;
        *y = map->latitude[j];
        *x = map->longitude[j] * k;
    };
    double y0, x0, y1, x1, y2, x2;
    at(c, r, &y0, &x0);
    at(c == map->cols - 1 ? c - 1 : c + 1, r, &y1, &x1);
    at(c, r == map->rows - 1 ? r - 1 : r + 1, &y2, &x2);
    // The point in the grid's own axes, in cells from the centre found.
    double ax = x1 - x0, ay = y1 - y0, bx = x2 - x0, by = y2 - y0;
    double det = ax * by - ay * bx;
    if (det == 0.0) return false;
    double px = longitude * k - x0, py = latitude - y0;
    double u = (px * by - py * bx) / det, v = (ax * py - ay * px) / det;
    if (std::fabs(u) > 0.5 || std::fabs(v) > 0.5) return false;
    *col = c;
    *row = r;
    return true;
}
