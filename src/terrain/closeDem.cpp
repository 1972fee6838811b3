// Closing a DEM opened by openDem (or left half-open by a refusal).
#include "terrain/terrain.h"

#include <gdal.h>

void closeDem(dem_source *dem) {
    if (dem->dataset != nullptr) GDALClose(static_cast<GDALDatasetH>(dem->dataset));
    dem->dataset = nullptr;
    dem->band = nullptr;
}
