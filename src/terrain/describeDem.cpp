// What the map window shows of a DEM before any work: its name, size in
// cells and hectares, cell size, coordinate reference system and the range
// of its elevations in metres.
#include "terrain/terrain.h"

#include <cpl_error.h>
#include <gdal.h>

int describeDem(const dem_source *dem, dem_description *description, std::string *refusal) {
    (void)refusal;
    dem_description d{};
    const size_t slash = dem->path.rfind('/');
    d.file_name = slash == std::string::npos ? dem->path : dem->path.substr(slash + 1);
    d.width = dem->width;
    d.height = dem->height;
    d.crs_name = dem->crs_name;
    cellSize(dem, dem->height / 2, &d.cell_width, &d.cell_height);
    double area = 0.0;
    for (int r = 0; r < dem->height; r++) {
        double w = 0.0;
        double h = 0.0;
        cellSize(dem, r, &w, &h);
        area += w * h * dem->width;
    }
    d.hectares = area / 10000.0;
    double range[2] = {0.0, 0.0};
    CPLPushErrorHandler(CPLQuietErrorHandler);
    d.any_elevation = GDALComputeRasterMinMax(static_cast<GDALRasterBandH>(dem->band), FALSE, range) == CE_None;
    CPLPopErrorHandler();
    if (d.any_elevation) {
        d.lowest = range[0] * dem->vertical_metres;
        d.highest = range[1] * dem->vertical_metres;
    }
    *description = d;
    return TERRAIN_OK;
}
