// Metric cell sizes of a row. For a DEM in degrees the WGS 84 ellipsoid's
// radii of curvature at the row's latitude turn degrees into metres.
#include "terrain/terrain.h"

#include <cmath>

void cellSize(const dem_source *dem, int row, double *width, double *height) {
    if (!dem->geographic) {
        *width = std::fabs(dem->transform[1]) * dem->linear_metres;
        *height = std::fabs(dem->transform[5]) * dem->linear_metres;
        return;
    }
    const double a = 6378137.0;
    const double f = 1.0 / 298.257223563;
    const double e2 = f * (2.0 - f);
    const double radian = 3.14159265358979323846 / 180.0;
    const double phi = (dem->transform[3] + (row + 0.5) * dem->transform[5]) * radian;
    const double s = std::sin(phi);
    const double w = 1.0 - e2 * s * s;
    const double prime_vertical = a / std::sqrt(w);
    const double meridian = a * (1.0 - e2) / (w * std::sqrt(w));
    *width = std::fabs(dem->transform[1]) * radian * prime_vertical * std::cos(phi);
    *height = std::fabs(dem->transform[5]) * radian * meridian;
}
