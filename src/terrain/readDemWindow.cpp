// Elevations of a window in metres, NaN where the DEM has no data; read a
// row at a time so that nothing but the result is held.
#include "terrain/terrain.h"

#include <cmath>
#include <gdal.h>
#include <vector>

int readDemWindow(const dem_source *dem, int x0, int y0, int w, int h, float *metres, std::string *refusal) {
    std::vector<double> row(static_cast<size_t>(w));
    const GDALRasterBandH band = static_cast<GDALRasterBandH>(dem->band);
    for (int r = 0; r < h; r++) {
        if (GDALRasterIO(band, GF_Read, x0, y0 + r, w, 1, row.data(), w, 1, GDT_Float64, 0, 0) != CE_None) {
            if (refusal != nullptr) *refusal = "its elevations cannot be read";
            return TERRAIN_FAILED;
        }
        float *out = metres + static_cast<size_t>(r) * static_cast<size_t>(w);
        for (int c = 0; c < w; c++) {
            const double v = row[static_cast<size_t>(c)];
            const bool missing = !std::isfinite(v) || (dem->has_nodata && v == dem->nodata);
            out[c] = missing ? NAN : static_cast<float>(v * dem->vertical_metres);
        }
    }
    return TERRAIN_OK;
}
