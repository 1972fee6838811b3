// The grid of a DEM as a map written from it needs it.
#include "terrain/terrain.h"

#include <algorithm>

void demGrid(const dem_source *dem, map_grid *grid) {
    std::copy_n(dem->transform, 6, grid->transform);
    grid->crs_wkt = dem->crs_wkt;
}
