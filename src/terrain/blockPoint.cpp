// The sun block of a cell: its centre rounded to the 0.05 degree grid, in
// double, then narrowed. The blocks depend on the cell alone, never on how
// the raster is split, so tiles meet without seams.
#include "terrain/terrain.h"

#include <cmath>

void blockPoint(double latitude, double longitude, float *block_latitude, float *block_longitude) {
    *block_latitude = static_cast<float>(std::round(latitude * 20.0) / 20.0);
    *block_longitude = static_cast<float>(std::round(longitude * 20.0) / 20.0);
}
