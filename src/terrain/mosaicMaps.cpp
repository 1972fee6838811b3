// The tiles of one run joined into the file the whole run writes. Each tile
// says in its metadata which run it belongs to (the DEM's file, band, size
// and geotransform, the season, the shading) and which window of the DEM's
// grid it holds (DEM_WINDOW); the run's extent is the DEM's whole grid, so
// every cell of it must lie in exactly one tile. The pixels are copied as
// they are, a band of rows at a time, through the one map writer, which
// gives the joined file its bands, units, statistics and overviews; the
// share of cells outside the calibrated region comes from the tiles' counts.
#include "terrain/mapWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cpl_string.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gdal.h>
#include <map>
#include <sys/stat.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

struct tile {
    std::string path;
    GDALDatasetH ds = nullptr;
    std::map<std::string, std::string> metadata;
    map_window window;
    std::vector<std::string> descriptions;
    std::vector<std::string> units;
    std::string crs;
};

struct open_tiles {
    std::vector<tile> tiles;
    ~open_tiles() {
        for (tile &t : tiles)
            if (t.ds != nullptr) GDALClose(t.ds);
    }
};

const char *const kRequired[] = {"CONTENT", "DEM_FILE", "DEM_BAND", "DEM_SIZE", "DEM_GEOTRANSFORM", "DEM_WINDOW"};

bool wholeNumbers(const std::string &text, const char *format, int count, long *out) {
    char tail = 0;
    int n = 0;
    if (count == 2) n = std::sscanf(text.c_str(), format, &out[0], &out[1], &tail);
    if (count == 4) n = std::sscanf(text.c_str(), format, &out[0], &out[1], &out[2], &out[3], &tail);
    return n == count;
}

int openTile(const std::string &path, tile *t, std::string *refusal) {
    t->path = path;
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return say(refusal, TERRAIN_UNREADABLE, path + ": it cannot be read (" + std::strerror(errno) + ")");
    if (!S_ISREG(st.st_mode)) return say(refusal, TERRAIN_UNREADABLE, path + ": it is not a regular file");
    std::string beside;
    if (demNeighbours(path, &beside) != TERRAIN_OK) return say(refusal, TERRAIN_UNREADABLE, path + ": " + beside);
    t->ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (t->ds == nullptr) return say(refusal, TERRAIN_UNREADABLE, path + ": it is not a raster that can be read");
    char **items = GDALGetMetadata(t->ds, nullptr);
    for (char **i = items; i != nullptr && *i != nullptr; i++) {
        char *key = nullptr;
        const char *value = CPLParseNameValue(*i, &key);
        if (key != nullptr && value != nullptr && std::strcmp(key, "AREA_OR_POINT") != 0) t->metadata[key] = value;
        CPLFree(key);
    }
    for (const char *item : kRequired)
        if (t->metadata.count(item) == 0)
            return say(refusal, TERRAIN_UNREADABLE,
                       path + ": it is not a map from veranta-map (its metadata have no " + item + ")");
    long w[4];
    if (!wholeNumbers(t->metadata["DEM_WINDOW"], "%ld,%ld,%ld,%ld%c", 4, w) || w[0] < 0 || w[1] < 0 || w[2] < 1 ||
        w[3] < 1 || w[2] != GDALGetRasterXSize(t->ds) || w[3] != GDALGetRasterYSize(t->ds))
        return say(refusal, TERRAIN_UNREADABLE, path + ": its DEM_WINDOW does not match its size");
    t->window = {static_cast<int>(w[0]), static_cast<int>(w[1]), static_cast<int>(w[2]), static_cast<int>(w[3])};
    for (int b = 1; b <= GDALGetRasterCount(t->ds); b++) {
        GDALRasterBandH band = GDALGetRasterBand(t->ds, b);
        if (GDALGetRasterDataType(band) != GDT_Float32)
            return say(refusal, TERRAIN_UNREADABLE, path + ": it is not a map from veranta-map (not Float32)");
        t->descriptions.push_back(GDALGetDescription(band));
        t->units.push_back(GDALGetRasterUnitType(band));
    }
    const char *crs = GDALGetProjectionRef(t->ds);
    t->crs = crs != nullptr ? crs : "";
    return TERRAIN_OK;
}

// Tiles of one run: the same items but those that name the tile, the same
// bands and the same coordinate system.
int sameRun(const tile &first, const tile &t, std::string *refusal) {
    const std::string why = t.path + " is not of the run of " + first.path + ": ";
    std::map<std::string, std::string> a;
    std::map<std::string, std::string> b;
    for (const auto &i : first.metadata)
        if (!tileMetadataItem(i.first)) a.insert(i);
    for (const auto &i : t.metadata)
        if (!tileMetadataItem(i.first)) b.insert(i);
    for (const auto &i : a) {
        const auto j = b.find(i.first);
        if (j == b.end()) return say(refusal, TERRAIN_BAD_OPTION, why + "it has no " + i.first);
        if (j->second != i.second)
            return say(refusal, TERRAIN_BAD_OPTION, why + "its " + i.first + " is " + j->second + ", not " + i.second);
    }
    for (const auto &j : b)
        if (a.count(j.first) == 0) return say(refusal, TERRAIN_BAD_OPTION, why + "it has " + j.first + " besides");
    if (t.descriptions != first.descriptions || t.units != first.units)
        return say(refusal, TERRAIN_BAD_OPTION, why + "its bands differ");
    if (t.crs != first.crs) return say(refusal, TERRAIN_BAD_OPTION, why + "its coordinate system differs");
    return TERRAIN_OK;
}

// Every cell of the run's window (the DEM's whole grid, or a parcel's
// extent) in exactly one tile. The tiles' edges cut the window into
// rectangles that lie wholly in a tile or outside all, so counting those is
// enough, whatever the tiles' sizes.
int coverage(const std::vector<tile> &tiles, const map_window &run, bool parcel, std::string *refusal) {
    const int x_end = run.x0 + run.width;
    const int y_end = run.y0 + run.height;
    std::vector<int> xs = {run.x0, x_end};
    std::vector<int> ys = {run.y0, y_end};
    for (const tile &t : tiles) {
        const map_window &w = t.window;
        if (w.x0 < run.x0 || w.y0 < run.y0 || w.x0 + w.width > x_end || w.y0 + w.height > y_end)
            return say(refusal, TERRAIN_BAD_OPTION,
                       t.path + ": its DEM_WINDOW lies outside the " + (parcel ? "parcel's extent" : "DEM's grid"));
        xs.push_back(w.x0);
        xs.push_back(w.x0 + w.width);
        ys.push_back(w.y0);
        ys.push_back(w.y0 + w.height);
    }
    for (std::vector<int> *v : {&xs, &ys}) {
        std::sort(v->begin(), v->end());
        v->erase(std::unique(v->begin(), v->end()), v->end());
    }
    const size_t across = xs.size() - 1;
    std::vector<int> owner(across * (ys.size() - 1), -1);
    for (size_t k = 0; k < tiles.size(); k++) {
        const map_window &w = tiles[k].window;
        const size_t i0 = static_cast<size_t>(std::lower_bound(xs.begin(), xs.end(), w.x0) - xs.begin());
        const size_t i1 = static_cast<size_t>(std::lower_bound(xs.begin(), xs.end(), w.x0 + w.width) - xs.begin());
        const size_t j0 = static_cast<size_t>(std::lower_bound(ys.begin(), ys.end(), w.y0) - ys.begin());
        const size_t j1 = static_cast<size_t>(std::lower_bound(ys.begin(), ys.end(), w.y0 + w.height) - ys.begin());
        for (size_t j = j0; j < j1; j++)
            for (size_t i = i0; i < i1; i++) {
                int &o = owner[j * across + i];
                if (o >= 0)
                    return say(refusal, TERRAIN_BAD_OPTION,
                               tiles[static_cast<size_t>(o)].path + " and " + tiles[k].path +
                                   " overlap: both hold the cell at column " + std::to_string(xs[i]) + ", row " +
                                   std::to_string(ys[j]));
                o = static_cast<int>(k);
            }
    }
    // The tile size when the tiles are those of --tile-size, to name the one missing.
    int size = 0;
    for (const tile &t : tiles) size = std::max({size, t.window.width, t.window.height});
    bool aligned = true;
    for (const tile &t : tiles) {
        const map_window &w = t.window;
        aligned = aligned && (w.x0 - run.x0) % size == 0 && (w.y0 - run.y0) % size == 0 &&
                  w.width == std::min(size, x_end - w.x0) && w.height == std::min(size, y_end - w.y0);
    }
    for (size_t j = 0; j + 1 < ys.size(); j++)
        for (size_t i = 0; i < across; i++) {
            if (owner[j * across + i] >= 0) continue;
            const std::string grid = std::string(parcel ? "the parcel's extent of " : "the DEM's grid of ") +
                                     std::to_string(run.width) + " x " + std::to_string(run.height) + " cells";
            if (aligned)
                return say(refusal, TERRAIN_BAD_OPTION,
                           "tile " + std::to_string((xs[i] - run.x0) / size) + "," +
                               std::to_string((ys[j] - run.y0) / size) + " is missing: " + grid + " in tiles of " +
                               std::to_string(size) + " needs " + std::to_string((run.width + size - 1) / size) +
                               " x " + std::to_string((run.height + size - 1) / size) + " tiles");
            return say(refusal, TERRAIN_BAD_OPTION,
                       "a tile is missing: no file holds the cell at column " + std::to_string(xs[i]) + ", row " +
                           std::to_string(ys[j]) + " of " + grid);
        }
    return TERRAIN_OK;
}

// The bands the whole run writes, which every tile must have.
int runBands(const tile &first, std::vector<file_band> *bands, std::string *refusal) {
    const std::string &content = first.metadata.at("CONTENT");
    const std::string why = first.path + ": its bands are not those of a map from veranta-map";
    if (content == "season map") {
        season_range s{};
        long year[1] = {0};
        char tail = 0;
        const auto season = first.metadata.find("SEASON");
        const auto y = first.metadata.find("YEAR");
        if (season == first.metadata.end() || y == first.metadata.end() ||
            std::sscanf(season->second.c_str(), "%d/%d to %d/%d%c", &s.start_day, &s.start_month, &s.stop_day,
                        &s.stop_month, &tail) != 4 ||
            std::sscanf(y->second.c_str(), "%ld%c", &year[0], &tail) != 1)
            return say(refusal, TERRAIN_UNREADABLE, why);
        s.year = static_cast<int>(year[0]);
        // The optional bands and the degree days' anchor as the run's options
        // made them, from the items the writer keeps of those options; a
        // parcel's block numbers (described with its blocks, as every tile
        // describes them) in their place among the optional bands.
        map_options o;
        o.season = s;
        const auto target = first.metadata.find("TARGET_DEGREE_DAYS");
        if (target != first.metadata.end()) o.target = std::strtod(target->second.c_str(), nullptr);
        const auto anchor = first.metadata.find("ANCHOR_STATION");
        if (anchor != first.metadata.end()) o.anchor.station = anchor->second;
        band_layout layout(o);
        if (first.metadata.count("PARCEL_FILE") != 0) {
            const size_t block_band = static_cast<size_t>(band_layout(s).count());   // the first optional band
            if (block_band >= first.descriptions.size()) return say(refusal, TERRAIN_UNREADABLE, why);
            layout.addOptional(
                {map_quantity::block_number, 0, first.descriptions[block_band], first.units[block_band]});
        }
        *bands = mapFileBands(layout);
    } else if (content == "horizon angles") {
        const auto d = first.metadata.find("DIRECTIONS");
        const int directions = d == first.metadata.end() ? 0 : std::atoi(d->second.c_str());
        if (directions < 1 || directions > 360) return say(refusal, TERRAIN_UNREADABLE, why);
        *bands = horizonFileBands(directions);
    } else {
        return say(refusal, TERRAIN_UNREADABLE, first.path + ": it is not a map from veranta-map (CONTENT " + content + ")");
    }
    bool same = bands->size() == first.descriptions.size();
    for (size_t b = 0; same && b < bands->size(); b++)
        same = (*bands)[b].description == first.descriptions[b] && (*bands)[b].unit == first.units[b];
    return same ? TERRAIN_OK : say(refusal, TERRAIN_UNREADABLE, why);
}

long count(const tile &t, const char *item) {
    const auto i = t.metadata.find(item);
    return i == t.metadata.end() ? 0 : std::atol(i->second.c_str());
}

int join(const std::vector<std::string> &paths, const std::string &output, map_control *control, map_file *file,
         std::string *refusal) {
    if (paths.empty()) return say(refusal, TERRAIN_BAD_OPTION, "no tile was given");
    for (size_t k = 0; k < paths.size(); k++) {
        if (sameFile(paths[k], output))
            return say(refusal, TERRAIN_BAD_OPTION,
                       "the output " + output + " is the tile " + paths[k] + "; choose another file for the mosaic");
        for (size_t j = 0; j < k; j++)
            if (sameFile(paths[j], paths[k])) return say(refusal, TERRAIN_BAD_OPTION, paths[k] + " is given twice");
    }
    open_tiles open;
    open.tiles.resize(paths.size());
    for (size_t k = 0; k < paths.size(); k++) {
        const int code = openTile(paths[k], &open.tiles[k], refusal);
        if (code != TERRAIN_OK) return code;
    }
    const tile &first = open.tiles.front();
    for (const tile &t : open.tiles) {
        const int code = sameRun(first, t, refusal);
        if (code != TERRAIN_OK) return code;
    }
    long size[2];
    double transform[6];
    char tail = 0;
    if (!wholeNumbers(first.metadata.at("DEM_SIZE"), "%ld x %ld%c", 2, size) || size[0] < 1 || size[1] < 1 ||
        size[0] > 1000000000L || size[1] > 1000000000L ||
        std::sscanf(first.metadata.at("DEM_GEOTRANSFORM").c_str(), "%lf %lf %lf %lf %lf %lf%c", &transform[0],
                    &transform[1], &transform[2], &transform[3], &transform[4], &transform[5], &tail) != 6)
        return say(refusal, TERRAIN_UNREADABLE, first.path + ": its DEM_SIZE or DEM_GEOTRANSFORM cannot be read");
    const int width = static_cast<int>(size[0]);
    const int height = static_cast<int>(size[1]);
    // A parcel's run covers its extent, RUN_WINDOW; any other the whole grid.
    map_window run = {0, 0, width, height};
    const bool parcel = first.metadata.count("RUN_WINDOW") != 0;
    long r[4];
    if (parcel && (!wholeNumbers(first.metadata.at("RUN_WINDOW"), "%ld,%ld,%ld,%ld%c", 4, r) || r[0] < 0 ||
                   r[1] < 0 || r[2] < 1 || r[3] < 1 || r[0] + r[2] > width || r[1] + r[3] > height))
        return say(refusal, TERRAIN_UNREADABLE, first.path + ": its RUN_WINDOW does not fit its DEM_SIZE");
    if (parcel) run = {static_cast<int>(r[0]), static_cast<int>(r[1]), static_cast<int>(r[2]), static_cast<int>(r[3])};
    int code = coverage(open.tiles, run, parcel, refusal);
    if (code != TERRAIN_OK) return code;
    std::vector<file_band> bands;
    code = runBands(first, &bands, refusal);
    if (code != TERRAIN_OK) return code;

    land_grid grid;
    grid.x0 = run.x0;
    grid.y0 = run.y0;
    grid.width = run.width;
    grid.height = run.height;
    std::copy_n(transform, 6, grid.transform);
    grid.transform[0] = transform[0] + run.x0 * transform[1];
    grid.transform[3] = transform[3] + run.y0 * transform[5];
    grid.crs_wkt = first.crs;
    if (control != nullptr) control->cells_total.store(static_cast<long>(run.width) * run.height);
    code = beginMapFile(file, &grid, bands, output, refusal);
    if (code != TERRAIN_OK) return code;

    // A band of rows of a tile at a time, some 64 MB at most.
    const size_t n = bands.size();
    long with_data = 0;
    long outside = 0;
    std::vector<float> values;
    for (const tile &t : open.tiles) {
        const map_window &w = t.window;
        const int rows = static_cast<int>(std::max<size_t>(1, std::min<size_t>(static_cast<size_t>(w.height),
                                                                                (16u << 20) / (n * static_cast<size_t>(w.width)))));
        values.resize(n * static_cast<size_t>(w.width) * static_cast<size_t>(rows));
        for (int r = 0; r < w.height; r += rows) {
            if (control != nullptr && control->cancel.load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
            const int h = std::min(rows, w.height - r);
            if (GDALDatasetRasterIO(t.ds, GF_Read, 0, r, w.width, h, values.data(), w.width, h, GDT_Float32,
                                    static_cast<int>(n), nullptr, 0, 0, 0) != CE_None)
                return say(refusal, TERRAIN_FAILED, t.path + ": its cells cannot be read");
            code = putMapFile(file, values.data(), w.x0, w.y0 + r, w.width, h, {w.x0, w.y0 + r, w.width, h}, control,
                              refusal);
            if (code != TERRAIN_OK) return code;
            if (control != nullptr) control->cells_done.fetch_add(static_cast<long>(w.width) * h);
        }
        with_data += count(t, "CELLS_WITH_ELEVATION");
        outside += count(t, "CELLS_OUTSIDE_CALIBRATED_REGION");
    }

    map_metadata metadata;
    for (const auto &item : first.metadata)
        if (item.first != "DEM_WINDOW" && !tileMetadataItem(item.first)) metadata.push_back(item);
    metadata.push_back({"DEM_WINDOW", std::to_string(run.x0) + "," + std::to_string(run.y0) + "," +
                                          std::to_string(run.width) + "," + std::to_string(run.height)});
    if (first.metadata.count("CELLS_WITH_ELEVATION") != 0)
        for (const auto &item : countMetadata(with_data, outside)) metadata.push_back(item);
    if (control != nullptr) {
        control->cells_with_data.store(with_data);
        control->cells_outside.store(outside);
    }
    code = finishMapFile(file, metadata, control, refusal);
    if (code == TERRAIN_OK) code = commitMapFile(file, refusal);
    return code;
}

}  // namespace

int mosaicMaps(const std::vector<std::string> &tiles, const std::string &output, map_control *control,
               std::string *refusal) {
    GDALAllRegister();
    map_file file;
    gdal_failure gdal;
    int code = join(tiles, output, control, &file, refusal);
    if (code == TERRAIN_FAILED && refusal != nullptr) *refusal += gdal.said();
    abandonMapFile(&file);
    return code;
}
