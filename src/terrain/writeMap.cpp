// The map as a GeoTIFF on the DEM's grid, part by part so that memory stays
// bounded, through the safe writer: GDAL fills a temporary file beside the
// target, which takes the target's name only once it is whole.
#include "files/safeWrite.h"
#include "terrain/mapParts.h"
#include "terrain/sunCache.h"

#include <algorithm>
#include <cpl_error.h>
#include <cstdio>
#include <gdal.h>
#include <new>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// A tiled, compressed Float32 GeoTIFF of the extent, or null.
GDALDatasetH createRaster(const dem_source *dem, const std::string &path, int x0, int y0, int w, int h, int bands) {
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (driver == nullptr) return nullptr;
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256", "COMPRESS=DEFLATE",
                             "PREDICTOR=3", "BIGTIFF=IF_SAFER", "INTERLEAVE=BAND", nullptr};
    GDALDatasetH ds = GDALCreate(driver, path.c_str(), w, h, bands, GDT_Float32, const_cast<char **>(options));
    if (ds == nullptr) return nullptr;
    const double *t = dem->transform;
    double transform[6] = {t[0] + x0 * t[1], t[1], 0.0, t[3] + y0 * t[5], 0.0, t[5]};
    GDALSetGeoTransform(ds, transform);
    GDALSetProjection(ds, dem->crs_wkt.c_str());
    for (int b = 1; b <= bands; b++) GDALSetRasterNoDataValue(GDALGetRasterBand(ds, b), kMapNodata);
    return ds;
}

struct outputs {
    safe_write map;
    safe_write horizons;
    bool map_begun = false;
    bool horizons_begun = false;
    GDALDatasetH map_ds = nullptr;
    GDALDatasetH horizons_ds = nullptr;

    void abandon() {
        if (map_ds != nullptr) GDALClose(map_ds);
        if (horizons_ds != nullptr) GDALClose(horizons_ds);
        map_ds = horizons_ds = nullptr;
        if (map_begun) abandonSafeWrite(&map);
        if (horizons_begun) abandonSafeWrite(&horizons);
        map_begun = horizons_begun = false;
    }
};

// Closes a filled raster; false when GDAL failed to finish it.
bool finish(GDALDatasetH *ds) {
    CPLErrorReset();
    GDALClose(*ds);
    *ds = nullptr;
    return CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
}

int run(const dem_source *dem, const map_options *options, int ox, int oy, int ow, int oh, const std::string &output,
        const std::string &horizons_path, map_control *control, outputs *out, sun_cache *cache, std::string *refusal) {
    std::string error;
    if (!beginSafeWrite(output, &out->map, &error)) return say(refusal, TERRAIN_FAILED, output + ": " + error);
    out->map_begun = true;
    if (!horizons_path.empty()) {
        if (!beginSafeWrite(horizons_path, &out->horizons, &error))
            return say(refusal, TERRAIN_FAILED, horizons_path + ": " + error);
        out->horizons_begun = true;
    }
    const int bands = mapBandCount(&options->season);
    out->map_ds = createRaster(dem, out->map.temp_path, ox, oy, ow, oh, bands);
    if (out->map_ds == nullptr) return say(refusal, TERRAIN_FAILED, output + ": the GeoTIFF cannot be created");
    for (int b = 0; b < bands; b++)
        GDALSetDescription(GDALGetRasterBand(out->map_ds, b + 1), mapBandDescription(&options->season, b).c_str());
    if (out->horizons_begun) {
        out->horizons_ds = createRaster(dem, out->horizons.temp_path, ox, oy, ow, oh, options->directions);
        if (out->horizons_ds == nullptr)
            return say(refusal, TERRAIN_FAILED, horizons_path + ": the GeoTIFF cannot be created");
        for (int k = 0; k < options->directions; k++)
            GDALSetDescription(GDALGetRasterBand(out->horizons_ds, k + 1),
                               horizonBandDescription(options->directions, k).c_str());
    }

    long cells = 0;
    long outside = 0;
    map_tile part;
    for (int y = oy; y < oy + oh; y += kMapPart) {
        for (int x = ox; x < ox + ow; x += kMapPart) {
            const int w = std::min(kMapPart, ox + ow - x);
            const int h = std::min(kMapPart, oy + oh - y);
            cache->stamp++;
            const int code = computeMapTile(dem, options, x, y, w, h, out->horizons_begun, cache, control, &part, refusal);
            if (code != TERRAIN_OK) return code;
            trimSunCache(cache, kMapKeptSuns);
            cells += part.cells;
            outside += part.cells_outside;
            if (GDALDatasetRasterIO(out->map_ds, GF_Write, x - ox, y - oy, w, h, part.values.data(), w, h, GDT_Float32,
                                    bands, nullptr, 0, 0, 0) != CE_None)
                return say(refusal, TERRAIN_FAILED, output + ": the map cannot be written");
            if (out->horizons_ds != nullptr &&
                GDALDatasetRasterIO(out->horizons_ds, GF_Write, x - ox, y - oy, w, h, part.horizons.data(), w, h,
                                    GDT_Float32, options->directions, nullptr, 0, 0, 0) != CE_None)
                return say(refusal, TERRAIN_FAILED, horizons_path + ": the horizons cannot be written");
        }
    }

    const season_range &s = options->season;
    char text[64];
    GDALSetMetadataItem(out->map_ds, "YEAR", std::to_string(s.year).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%d/%d to %d/%d", s.start_day, s.start_month, s.stop_day, s.stop_month);
    GDALSetMetadataItem(out->map_ds, "SEASON", text, nullptr);
    GDALSetMetadataItem(out->map_ds, "SHADING", options->shade ? "terrain" : "none", nullptr);
    GDALSetMetadataItem(out->map_ds, "DIRECTIONS", std::to_string(options->directions).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%g", options->distance);
    GDALSetMetadataItem(out->map_ds, "DISTANCE_METRES", text, nullptr);
    std::snprintf(text, sizeof text, "%.1f%%", cells == 0 ? 0.0 : 100.0 * static_cast<double>(outside) / cells);
    GDALSetMetadataItem(out->map_ds, "OUTSIDE_CALIBRATED_REGION", text, nullptr);

    if (!finish(&out->map_ds)) return say(refusal, TERRAIN_FAILED, output + ": the map cannot be written");
    if (out->horizons_ds != nullptr && !finish(&out->horizons_ds))
        return say(refusal, TERRAIN_FAILED, horizons_path + ": the horizons cannot be written");
    if (out->horizons_begun) {
        out->horizons_begun = false;
        if (!commitSafeWrite(&out->horizons, &error)) return say(refusal, TERRAIN_FAILED, horizons_path + ": " + error);
    }
    out->map_begun = false;
    if (!commitSafeWrite(&out->map, &error)) return say(refusal, TERRAIN_FAILED, output + ": " + error);
    return TERRAIN_OK;
}

}  // namespace

int writeMap(const dem_source *dem, const map_options *options, const map_extent *extent, const std::string &output,
             const std::string &horizons_path, map_control *control, std::string *refusal) {
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    int ox = 0;
    int oy = 0;
    int ow = dem->width;
    int oh = dem->height;
    if (extent != nullptr && extent->tile_size > 0) {
        const long size = extent->tile_size;
        const long across = (dem->width + size - 1) / size;
        const long down = (dem->height + size - 1) / size;
        if (extent->tile_column < 0 || extent->tile_row < 0 || extent->tile_column >= across || extent->tile_row >= down)
            return say(refusal, TERRAIN_BAD_OPTION,
                       "tile " + std::to_string(extent->tile_column) + "," + std::to_string(extent->tile_row) +
                           " lies outside the raster, which has " + std::to_string(across) + " x " +
                           std::to_string(down) + " tiles of that size");
        ox = static_cast<int>(extent->tile_column * size);
        oy = static_cast<int>(extent->tile_row * size);
        ow = static_cast<int>(std::min<long>(size, dem->width - ox));
        oh = static_cast<int>(std::min<long>(size, dem->height - oy));
    }
    if (control != nullptr) control->cells_total.store(static_cast<long>(ow) * oh);
    outputs out;
    sun_cache *cache = newSunCache(&options->season);
    CPLPushErrorHandler(CPLQuietErrorHandler);
    try {
        code = run(dem, options, ox, oy, ow, oh, output, horizons_path, control, &out, cache, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    CPLPopErrorHandler();
    out.abandon();
    freeSunCache(cache);
    return code;
}
