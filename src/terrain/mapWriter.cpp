// The map's files: begun as scratch GeoTIFFs beside the targets, filled part
// by part straight from the parts' bands (GDAL reads them through strides,
// no copy), then described, given statistics and overviews, copied in the
// layout of a Cloud Optimized GeoTIFF to the safe writer's temporary files
// and renamed into place; or abandoned with nothing left behind.
#include "terrain/mapWriter.h"
#include "terrain/mapAnchor.h"

#include <algorithm>
#include <cpl_conv.h>
#include <cpl_string.h>
#include <cstdio>
#include <gdal.h>
#include <gdal_priv.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// The tiles of the final file, and the overviews' smallest size.
constexpr int kBlock = 256;
// Rows written between two looks at a cancel: one block row.
constexpr int kRowsAtOnce = kBlock;

bool cancelled(const map_control *control) { return control != nullptr && control->cancel.load(); }

// GDAL's progress callback: stops the step when the run is cancelled.
int CPL_STDCALL goOn(double, const char *, void *data) {
    return cancelled(static_cast<const map_control *>(data)) ? FALSE : TRUE;
}

// The scratch: tiled as the final file, compressed for speed rather than
// size (it lives only until the copy), nodata in every band.
GDALDatasetH createScratch(const land_grid *grid, const std::string &path, int bands) {
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (driver == nullptr) return nullptr;
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256", "BLOCKYSIZE=256",   "COMPRESS=ZSTD", "ZSTD_LEVEL=1",
                             "PREDICTOR=3", "BIGTIFF=YES",    "INTERLEAVE=BAND", "SPARSE_OK=TRUE", nullptr};
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

// Closes the scratch without compressing and writing what GDAL's cache
// still holds of it: the blocks of the windows written last, as many as the
// cache can hold (older ones have been written already), are dropped first.
void dropScratch(map_file *file) {
    if (file->ds == nullptr) return;
    GDALDataset *ds = GDALDataset::FromHandle(static_cast<GDALDatasetH>(file->ds));
    const long block_bytes = static_cast<long>(kBlock) * kBlock * static_cast<long>(sizeof(float));
    const long budget = static_cast<long>(GDALGetCacheMax64() / block_bytes) + 1;
    long dropped = 0;
    for (auto w = file->written.rbegin(); w != file->written.rend() && dropped <= budget; ++w) {
        const int bx0 = (w->x0 - file->x0) / kBlock;
        const int bx1 = (w->x0 - file->x0 + w->width - 1) / kBlock;
        const int by0 = (w->y0 - file->y0) / kBlock;
        const int by1 = (w->y0 - file->y0 + w->height - 1) / kBlock;
        for (int b = 1; b <= ds->GetRasterCount(); b++)
            for (int by = by0; by <= by1; by++)
                for (int bx = bx0; bx <= bx1; bx++, dropped++) ds->GetRasterBand(b)->FlushBlock(bx, by, FALSE);
    }
    // The overviews, a third of the cells at most, whole.
    for (int b = 1; b <= ds->GetRasterCount(); b++) {
        GDALRasterBand *band = ds->GetRasterBand(b);
        for (int k = 0; k < band->GetOverviewCount(); k++) {
            GDALRasterBand *level = band->GetOverview(k);
            if (level == nullptr) continue;
            const int across = (level->GetXSize() + kBlock - 1) / kBlock;
            const int down = (level->GetYSize() + kBlock - 1) / kBlock;
            for (int by = 0; by < down; by++)
                for (int bx = 0; bx < across; bx++) level->FlushBlock(bx, by, FALSE);
        }
    }
    ds->MarkSuppressOnClose();
    GDALClose(file->ds);
    file->ds = nullptr;
    file->written.clear();
}

// Overview factors 2, 4, ... until a level fits one block.
std::vector<int> overviewFactors(int width, int height) {
    std::vector<int> factors;
    for (int f = 2; (width + f / 2 - 1) / (f / 2) > kBlock || (height + f / 2 - 1) / (f / 2) > kBlock; f *= 2)
        factors.push_back(f);
    return factors;
}

// Each band's overviews by its own rule: levels made empty for every band
// at once (GeoTIFF makes them for all bands or none), then filled band by band.
bool buildOverviews(GDALDatasetH ds, const std::vector<file_band> &bands, map_control *control) {
    std::vector<int> factors = overviewFactors(GDALGetRasterXSize(ds), GDALGetRasterYSize(ds));
    if (factors.empty()) return true;
    if (GDALBuildOverviews(ds, "NONE", static_cast<int>(factors.size()), factors.data(), 0, nullptr, goOn, control) !=
        CE_None)
        return false;
    for (int b = 0; b < static_cast<int>(bands.size()); b++) {
        GDALRasterBandH band = GDALGetRasterBand(ds, b + 1);
        std::vector<GDALRasterBandH> levels;
        for (int k = 0; k < GDALGetOverviewCount(band); k++) levels.push_back(GDALGetOverview(band, k));
        const char *how = bands[static_cast<size_t>(b)].nearest ? "NEAREST" : "AVERAGE";
        if (GDALRegenerateOverviews(band, static_cast<int>(levels.size()), levels.data(), how, goOn, control) != CE_None)
            return false;
    }
    return true;
}

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

map_metadata gridMetadata(const char *content, const land_grid &g) {
    const double *t = g.raster_transform;
    return {
        {"CONTENT", content},
        {"DEM_FILE", g.raster_file},
        {"DEM_BAND", std::to_string(g.raster_band)},
        {"DEM_SIZE", std::to_string(g.raster_width) + " x " + std::to_string(g.raster_height)},
        {"DEM_GEOTRANSFORM", number(t[0]) + " " + number(t[1]) + " " + number(t[2]) + " " + number(t[3]) + " " +
                                 number(t[4]) + " " + number(t[5])},
        {"DEM_WINDOW", std::to_string(g.x0) + "," + std::to_string(g.y0) + "," + std::to_string(g.width) + "," +
                           std::to_string(g.height)},
    };
}

// A parcel's run says its outline and the extent its tiles share out; a
// map of fetched elevations, their source and attribution.
void addSourceMetadata(const land_grid &g, map_metadata *m) {
    if (!g.elevation_source.empty()) m->push_back({"ELEVATION_SOURCE", g.elevation_source});
    if (!g.elevation_attribution.empty()) m->push_back({"ELEVATION_ATTRIBUTION", g.elevation_attribution});
    if (g.parcel_file.empty()) return;
    m->push_back({"PARCEL_FILE", g.parcel_file});
    m->push_back({"RUN_WINDOW", std::to_string(g.run_x0) + "," + std::to_string(g.run_y0) + "," +
                                    std::to_string(g.run_width) + "," + std::to_string(g.run_height)});
}

}  // namespace

std::vector<file_band> mapFileBands(const band_layout &layout) {
    std::vector<file_band> bands;
    for (int b = 0; b < layout.count(); b++)
        bands.push_back({layout[b].description, layout[b].unit,
                         layout[b].quantity == map_quantity::aspect || layout[b].quantity == map_quantity::block_number});
    return bands;
}

std::vector<file_band> horizonFileBands(int directions) {
    std::vector<file_band> bands;
    for (int k = 0; k < directions; k++) bands.push_back({horizonBandDescription(directions, k), "degree", false});
    return bands;
}

map_metadata seasonMetadata(const land_grid &grid, const map_options &o, long cells, long cells_outside) {
    const season_range &s = o.season;
    map_metadata m = gridMetadata("season map", grid);
    addSourceMetadata(grid, &m);
    char text[64];
    m.push_back({"YEAR", std::to_string(s.year)});
    std::snprintf(text, sizeof text, "%d/%d to %d/%d", s.start_day, s.start_month, s.stop_day, s.stop_month);
    m.push_back({"SEASON", text});
    m.push_back({"SHADING", o.shade ? "terrain" : "none"});
    m.push_back({"DIRECTIONS", std::to_string(o.directions)});
    std::snprintf(text, sizeof text, "%g", o.distance);
    m.push_back({"DISTANCE_METRES", text});
    if (o.target > 0.0) m.push_back({"TARGET_DEGREE_DAYS", targetText(o.target)});
    if (o.anchor.anchored()) {
        m.push_back({"ANCHOR_STATION", o.anchor.station});
        m.push_back({"ANCHOR_SITE", anchorSiteText(o.anchor)});
        m.push_back({"ANCHOR_OFFSETS_GDD", anchorOffsetsText(o.anchor, s)});
    }
    for (const auto &item : countMetadata(cells, cells_outside)) m.push_back(item);
    return m;
}

map_metadata countMetadata(long cells, long cells_outside) {
    char share[32];
    std::snprintf(share, sizeof share, "%.1f%%", cells == 0 ? 0.0 : 100.0 * static_cast<double>(cells_outside) / cells);
    return {{"OUTSIDE_CALIBRATED_REGION", share},
            {"CELLS_WITH_ELEVATION", std::to_string(cells)},
            {"CELLS_OUTSIDE_CALIBRATED_REGION", std::to_string(cells_outside)}};
}

map_metadata horizonMetadata(const land_grid &grid, const map_options &o) {
    map_metadata m = gridMetadata("horizon angles", grid);
    addSourceMetadata(grid, &m);
    char text[64];
    m.push_back({"DIRECTIONS", std::to_string(o.directions)});
    std::snprintf(text, sizeof text, "%g", o.distance);
    m.push_back({"DISTANCE_METRES", text});
    return m;
}

bool tileMetadataItem(const std::string &name) {
    return name == "DEM_WINDOW" || name == "CELLS_WITH_ELEVATION" || name == "CELLS_OUTSIDE_CALIBRATED_REGION" ||
           name == "OUTSIDE_CALIBRATED_REGION";
}

int beginMapFile(map_file *file, const land_grid *grid, const std::vector<file_band> &bands, const std::string &path,
                 std::string *refusal) {
    *file = map_file{};
    file->path = path;
    file->x0 = grid->x0;
    file->y0 = grid->y0;
    file->width = grid->width;
    file->height = grid->height;
    file->bands = bands;
    std::string error;
    if (!beginSafeWrite(path, &file->target, &error)) return say(refusal, TERRAIN_FAILED, path + ": " + error);
    file->begun = true;
    if (!beginSafeWrite(path, &file->scratch, &error)) return say(refusal, TERRAIN_FAILED, path + ": " + error);
    GDALDatasetH ds = createScratch(grid, file->scratch.temp_path, static_cast<int>(bands.size()));
    file->ds = ds;
    if (ds == nullptr) return say(refusal, TERRAIN_FAILED, path + ": the GeoTIFF cannot be created");
    for (size_t b = 0; b < bands.size(); b++) {
        GDALRasterBandH band = GDALGetRasterBand(ds, static_cast<int>(b) + 1);
        GDALSetDescription(band, bands[b].description.c_str());
        GDALSetRasterUnitType(band, bands[b].unit.c_str());
    }
    return TERRAIN_OK;
}

int putMapFile(map_file *file, const float *values, int origin_x, int origin_y, int stride_width, int stride_height,
               const map_window &cells, map_control *control, std::string *refusal) {
    if (file->ds == nullptr || cells.x0 < file->x0 || cells.y0 < file->y0 || cells.width < 1 || cells.height < 1 ||
        cells.x0 + cells.width > file->x0 + file->width || cells.y0 + cells.height > file->y0 + file->height ||
        cells.x0 < origin_x || cells.y0 < origin_y || cells.x0 + cells.width > origin_x + stride_width ||
        cells.y0 + cells.height > origin_y + stride_height)
        return say(refusal, TERRAIN_FAILED, file->path + ": the map does not fit the file");
    const GSpacing pixel = sizeof(float);
    const GSpacing line = pixel * stride_width;
    const GSpacing band = line * stride_height;
    for (int y = cells.y0; y < cells.y0 + cells.height; y += kRowsAtOnce) {
        if (cancelled(control)) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        const int rows = std::min(kRowsAtOnce, cells.y0 + cells.height - y);
        const size_t first = static_cast<size_t>(y - origin_y) * static_cast<size_t>(stride_width) +
                             static_cast<size_t>(cells.x0 - origin_x);
        if (GDALDatasetRasterIOEx(static_cast<GDALDatasetH>(file->ds), GF_Write, cells.x0 - file->x0, y - file->y0,
                                  cells.width, rows, const_cast<float *>(values + first), cells.width, rows,
                                  GDT_Float32, static_cast<int>(file->bands.size()), nullptr, pixel, line, band,
                                  nullptr) != CE_None)
            return say(refusal, TERRAIN_FAILED, file->path + ": the map cannot be written");
        file->written.push_back({cells.x0, y, cells.width, rows});
    }
    return TERRAIN_OK;
}

int finishMapFile(map_file *file, const map_metadata &metadata, map_control *control, std::string *refusal) {
    GDALDatasetH ds = static_cast<GDALDatasetH>(file->ds);
    if (ds == nullptr) return say(refusal, TERRAIN_FAILED, file->path + ": the map cannot be written");
    for (const auto &item : metadata) GDALSetMetadataItem(ds, item.first.c_str(), item.second.c_str(), nullptr);
    for (size_t b = 0; b < file->bands.size(); b++) {
        double low, high, mean, deviation;
        // A band without a single value (a tile of nodata) has none to
        // store: not a failure of the file, and not said.
        CPLPushErrorHandler(CPLQuietErrorHandler);
        const CPLErr e = GDALComputeRasterStatistics(GDALGetRasterBand(ds, static_cast<int>(b) + 1), FALSE, &low,
                                                     &high, &mean, &deviation, goOn, control);
        CPLPopErrorHandler();
        if (e != CE_None && cancelled(control)) return say(refusal, TERRAIN_CANCELLED, "cancelled");
    }
    if (!buildOverviews(ds, file->bands, control)) {
        if (cancelled(control)) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        return say(refusal, TERRAIN_FAILED, file->path + ": its overviews cannot be made");
    }
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256",  "COMPRESS=DEFLATE",
                             "PREDICTOR=3", "BIGTIFF=IF_SAFER", "INTERLEAVE=BAND", "COPY_SRC_OVERVIEWS=YES",
                             nullptr};
    CPLErrorReset();
    GDALDatasetH copy = GDALCreateCopy(GDALGetDriverByName("GTiff"), file->target.temp_path.c_str(), ds, FALSE,
                                       const_cast<char **>(options), goOn, control);
    if (copy == nullptr) {
        if (cancelled(control)) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        return say(refusal, TERRAIN_FAILED, file->path + ": the map cannot be written");
    }
    GDALClose(copy);
    if (CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal)
        return say(refusal, TERRAIN_FAILED, file->path + ": the map cannot be written");
    if (cancelled(control)) return say(refusal, TERRAIN_CANCELLED, "cancelled");
    // The scratch has served: dropped unwritten.
    dropScratch(file);
    abandonSafeWrite(&file->scratch);
    file->finished = true;
    return TERRAIN_OK;
}

int commitMapFile(map_file *file, std::string *refusal) {
    std::string error;
    if (!file->finished) return say(refusal, TERRAIN_FAILED, file->path + ": the map cannot be written");
    file->begun = false;
    if (!commitSafeWrite(&file->target, &error)) return say(refusal, TERRAIN_FAILED, file->path + ": " + error);
    return TERRAIN_OK;
}

void abandonMapFile(map_file *file) {
    dropScratch(file);
    abandonSafeWrite(&file->scratch);
    if (file->begun) abandonSafeWrite(&file->target);
    file->begun = false;
    file->finished = false;
}

int beginMapWriter(map_writer *writer, const land_grid *grid, const band_layout *layout, const map_options *options,
                   const std::string &output, const std::string &horizons_path, std::string *refusal) {
    writer->options = *options;
    writer->grid = *grid;
    writer->with_horizons = !horizons_path.empty();
    int code = beginMapFile(&writer->map, grid, mapFileBands(*layout), output, refusal);
    if (code == TERRAIN_OK && writer->with_horizons)
        code = beginMapFile(&writer->horizons, grid, horizonFileBands(options->directions), horizons_path, refusal);
    return code;
}

int writeMapPart(map_writer *writer, const land_map *part, const map_window &cells, std::string *refusal) {
    const land_grid &g = part->grid;
    const size_t count = static_cast<size_t>(g.cells());
    const int directions = writer->options.directions;
    const size_t bands = writer->map.bands.size();
    if (part->layout.count() != static_cast<int>(bands) || part->values.size() != bands * count ||
        (writer->with_horizons &&
         (part->directions != directions || part->horizons.size() != static_cast<size_t>(directions) * count)))
        return say(refusal, TERRAIN_FAILED, writer->map.path + ": the map does not fit the file");
    int code = putMapFile(&writer->map, part->values.data(), g.x0, g.y0, g.width, g.height, cells, writer->control,
                          refusal);
    if (code == TERRAIN_OK && writer->with_horizons)
        code = putMapFile(&writer->horizons, part->horizons.data(), g.x0, g.y0, g.width, g.height, cells,
                          writer->control, refusal);
    return code;
}

// Both files are finished before either is renamed, and the horizons are
// renamed first, so that a map never stands without the horizons asked for.
int commitMapWriter(map_writer *writer, long cells, long cells_outside, std::string *refusal) {
    int code = finishMapFile(&writer->map, seasonMetadata(writer->grid, writer->options, cells, cells_outside),
                             writer->control, refusal);
    if (code == TERRAIN_OK && writer->with_horizons)
        code = finishMapFile(&writer->horizons, horizonMetadata(writer->grid, writer->options), writer->control, refusal);
    if (code == TERRAIN_OK && writer->with_horizons) code = commitMapFile(&writer->horizons, refusal);
    if (code == TERRAIN_OK) code = commitMapFile(&writer->map, refusal);
    return code;
}

void abandonMapWriter(map_writer *writer) {
    abandonMapFile(&writer->map);
    abandonMapFile(&writer->horizons);
}
