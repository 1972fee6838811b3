// The map's files: begun as temporary files beside the targets, filled part
// by part straight from the parts' bands (GDAL reads them through strides,
// no copy), then described, closed and renamed into place, or abandoned
// with nothing left behind.
#include "terrain/mapWriter.h"

#include <algorithm>
#include <cpl_error.h>
#include <cstdio>
#include <gdal.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// A tiled, compressed Float32 GeoTIFF of the grid, or null.
GDALDatasetH createRaster(const land_grid *grid, const std::string &path, int bands) {
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (driver == nullptr) return nullptr;
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256", "COMPRESS=DEFLATE",
                             "PREDICTOR=3", "BIGTIFF=IF_SAFER", "INTERLEAVE=BAND", nullptr};
    GDALDatasetH ds =
        GDALCreate(driver, path.c_str(), grid->width, grid->height, bands, GDT_Float32, const_cast<char **>(options));
    if (ds == nullptr) return nullptr;
    double transform[6];
    std::copy_n(grid->transform, 6, transform);
    GDALSetGeoTransform(ds, transform);
    GDALSetProjection(ds, grid->crs_wkt.c_str());
    for (int b = 1; b <= bands; b++) GDALSetRasterNoDataValue(GDALGetRasterBand(ds, b), kMapNodata);
    return ds;
}

CPLErr put(void *ds, const land_map *part, const std::vector<float> &values, int bands, const map_window &cells,
           int x0, int y0) {
    const GSpacing pixel = sizeof(float);
    const GSpacing line = pixel * part->grid.width;
    const GSpacing band = line * part->grid.height;
    const size_t first = static_cast<size_t>(cells.y0 - part->grid.y0) * static_cast<size_t>(part->grid.width) +
                         static_cast<size_t>(cells.x0 - part->grid.x0);
    return GDALDatasetRasterIOEx(static_cast<GDALDatasetH>(ds), GF_Write, cells.x0 - x0, cells.y0 - y0, cells.width,
                                 cells.height, const_cast<float *>(values.data() + first), cells.width, cells.height,
                                 GDT_Float32, bands, nullptr, pixel, line, band, nullptr);
}

// Closes a filled raster; false when GDAL failed to finish it.
bool finish(void **ds) {
    CPLErrorReset();
    GDALClose(static_cast<GDALDatasetH>(*ds));
    *ds = nullptr;
    return CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
}

}  // namespace

int beginMapWriter(map_writer *writer, const land_grid *grid, const band_layout *layout, const map_options *options,
                   const std::string &output, const std::string &horizons_path, std::string *refusal) {
    std::string error;
    writer->output = output;
    writer->horizons_path = horizons_path;
    writer->options = *options;
    writer->x0 = grid->x0;
    writer->y0 = grid->y0;
    writer->bands = layout->count();
    if (!beginSafeWrite(output, &writer->map, &error)) return say(refusal, TERRAIN_FAILED, output + ": " + error);
    writer->map_begun = true;
    if (!horizons_path.empty()) {
        if (!beginSafeWrite(horizons_path, &writer->horizons, &error))
            return say(refusal, TERRAIN_FAILED, horizons_path + ": " + error);
        writer->horizons_begun = true;
    }
    GDALDatasetH map = createRaster(grid, writer->map.temp_path, writer->bands);
    writer->map_ds = map;
    if (map == nullptr) return say(refusal, TERRAIN_FAILED, output + ": the GeoTIFF cannot be created");
    for (int b = 0; b < writer->bands; b++)
        GDALSetDescription(GDALGetRasterBand(map, b + 1), (*layout)[b].description.c_str());
    if (writer->horizons_begun) {
        GDALDatasetH horizons = createRaster(grid, writer->horizons.temp_path, options->directions);
        writer->horizons_ds = horizons;
        if (horizons == nullptr) return say(refusal, TERRAIN_FAILED, horizons_path + ": the GeoTIFF cannot be created");
        for (int k = 0; k < options->directions; k++)
            GDALSetDescription(GDALGetRasterBand(horizons, k + 1), horizonBandDescription(options->directions, k).c_str());
    }
    return TERRAIN_OK;
}

int writeMapPart(map_writer *writer, const land_map *part, const map_window &cells, std::string *refusal) {
    const land_grid &g = part->grid;
    const size_t count = static_cast<size_t>(g.cells());
    const int directions = writer->options.directions;
    if (cells.x0 < g.x0 || cells.y0 < g.y0 || cells.width < 1 || cells.height < 1 ||
        cells.x0 + cells.width > g.x0 + g.width || cells.y0 + cells.height > g.y0 + g.height ||
        part->layout.count() != writer->bands || part->values.size() != static_cast<size_t>(writer->bands) * count ||
        (writer->horizons_ds != nullptr &&
         (part->directions != directions || part->horizons.size() != static_cast<size_t>(directions) * count)))
        return say(refusal, TERRAIN_FAILED, writer->output + ": the map does not fit the file");
    if (put(writer->map_ds, part, part->values, writer->bands, cells, writer->x0, writer->y0) != CE_None)
        return say(refusal, TERRAIN_FAILED, writer->output + ": the map cannot be written");
    if (writer->horizons_ds != nullptr &&
        put(writer->horizons_ds, part, part->horizons, directions, cells, writer->x0, writer->y0) != CE_None)
        return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": the horizons cannot be written");
    return TERRAIN_OK;
}

// The horizons are renamed into place first, so that a map never stands
// without the horizons asked for.
int commitMapWriter(map_writer *writer, long cells, long cells_outside, std::string *refusal) {
    const map_options &o = writer->options;
    const season_range &s = o.season;
    GDALDatasetH map = static_cast<GDALDatasetH>(writer->map_ds);
    char text[64];
    GDALSetMetadataItem(map, "YEAR", std::to_string(s.year).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%d/%d to %d/%d", s.start_day, s.start_month, s.stop_day, s.stop_month);
    GDALSetMetadataItem(map, "SEASON", text, nullptr);
    GDALSetMetadataItem(map, "SHADING", o.shade ? "terrain" : "none", nullptr);
    GDALSetMetadataItem(map, "DIRECTIONS", std::to_string(o.directions).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%g", o.distance);
    GDALSetMetadataItem(map, "DISTANCE_METRES", text, nullptr);
    std::snprintf(text, sizeof text, "%.1f%%", cells == 0 ? 0.0 : 100.0 * static_cast<double>(cells_outside) / cells);
    GDALSetMetadataItem(map, "OUTSIDE_CALIBRATED_REGION", text, nullptr);
    if (o.target > 0.0) GDALSetMetadataItem(map, "TARGET_DEGREE_DAYS", targetText(o.target).c_str(), nullptr);

    std::string error;
    if (!finish(&writer->map_ds)) return say(refusal, TERRAIN_FAILED, writer->output + ": the map cannot be written");
    if (writer->horizons_ds != nullptr && !finish(&writer->horizons_ds))
        return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": the horizons cannot be written");
    if (writer->horizons_begun) {
        writer->horizons_begun = false;
        if (!commitSafeWrite(&writer->horizons, &error))
            return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": " + error);
    }
    writer->map_begun = false;
    if (!commitSafeWrite(&writer->map, &error)) return say(refusal, TERRAIN_FAILED, writer->output + ": " + error);
    return TERRAIN_OK;
}

void abandonMapWriter(map_writer *writer) {
    if (writer->map_ds != nullptr) GDALClose(static_cast<GDALDatasetH>(writer->map_ds));
    if (writer->horizons_ds != nullptr) GDALClose(static_cast<GDALDatasetH>(writer->horizons_ds));
    writer->map_ds = writer->horizons_ds = nullptr;
    if (writer->map_begun) abandonSafeWrite(&writer->map);
    if (writer->horizons_begun) abandonSafeWrite(&writer->horizons);
    writer->map_begun = writer->horizons_begun = false;
}
