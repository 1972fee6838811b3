// The map's files begun: GDAL fills temporary files beside the targets, which
// take the targets' names only once whole (commitMapWriter).
#include "terrain/mapWriter.h"

#include <gdal.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// A tiled, compressed Float32 GeoTIFF of the extent, or null.
GDALDatasetH createRaster(const map_grid *grid, const std::string &path, int x0, int y0, int w, int h, int bands) {
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (driver == nullptr) return nullptr;
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256", "COMPRESS=DEFLATE",
                             "PREDICTOR=3", "BIGTIFF=IF_SAFER", "INTERLEAVE=BAND", nullptr};
    GDALDatasetH ds = GDALCreate(driver, path.c_str(), w, h, bands, GDT_Float32, const_cast<char **>(options));
    if (ds == nullptr) return nullptr;
    const double *t = grid->transform;
    double transform[6] = {t[0] + x0 * t[1], t[1], 0.0, t[3] + y0 * t[5], 0.0, t[5]};
    GDALSetGeoTransform(ds, transform);
    GDALSetProjection(ds, grid->crs_wkt.c_str());
    for (int b = 1; b <= bands; b++) GDALSetRasterNoDataValue(GDALGetRasterBand(ds, b), kMapNodata);
    return ds;
}

}  // namespace

int beginMapWriter(map_writer *writer, const map_grid *grid, const map_options *options, int x0, int y0, int w, int h,
                   const std::string &output, const std::string &horizons_path, std::string *refusal) {
    std::string error;
    writer->output = output;
    writer->horizons_path = horizons_path;
    writer->options = *options;
    writer->x0 = x0;
    writer->y0 = y0;
    writer->bands = mapBandCount(&options->season);
    if (!beginSafeWrite(output, &writer->map, &error)) return say(refusal, TERRAIN_FAILED, output + ": " + error);
    writer->map_begun = true;
    if (!horizons_path.empty()) {
        if (!beginSafeWrite(horizons_path, &writer->horizons, &error))
            return say(refusal, TERRAIN_FAILED, horizons_path + ": " + error);
        writer->horizons_begun = true;
    }
    GDALDatasetH map = createRaster(grid, writer->map.temp_path, x0, y0, w, h, writer->bands);
    writer->map_ds = map;
    if (map == nullptr) return say(refusal, TERRAIN_FAILED, output + ": the GeoTIFF cannot be created");
    for (int b = 0; b < writer->bands; b++)
        GDALSetDescription(GDALGetRasterBand(map, b + 1), mapBandDescription(&options->season, b).c_str());
    if (writer->horizons_begun) {
        GDALDatasetH horizons = createRaster(grid, writer->horizons.temp_path, x0, y0, w, h, options->directions);
        writer->horizons_ds = horizons;
        if (horizons == nullptr) return say(refusal, TERRAIN_FAILED, horizons_path + ": the GeoTIFF cannot be created");
        for (int k = 0; k < options->directions; k++)
            GDALSetDescription(GDALGetRasterBand(horizons, k + 1), horizonBandDescription(options->directions, k).c_str());
    }
    return TERRAIN_OK;
}
