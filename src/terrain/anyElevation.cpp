// Whether a DEM has any elevation at all: read row by row up to the first
// cell with data, so a usual DEM costs one row and none is held whole.
#include "terrain/terrain.h"

#include <cmath>
#include <vector>

int anyElevation(const dem_source *dem, bool *any, std::string *refusal) {
    *any = false;
    std::vector<float> row(static_cast<size_t>(dem->width));
    for (int r = 0; r < dem->height && !*any; r++) {
        const int code = readDemWindow(dem, 0, r, dem->width, 1, row.data(), refusal);
        if (code != TERRAIN_OK) return code;
        for (float v : row)
            if (!std::isnan(v)) {
                *any = true;
                break;
            }
    }
    return TERRAIN_OK;
}
