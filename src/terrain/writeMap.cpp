// A map as a GeoTIFF on the DEM's grid, through the one map writer
// (mapWriter.h): computed part by part with each part written as soon as it
// is done, so that memory stays bounded whatever the raster's size; or a map
// already in memory, written in the same parts, so the window exports what
// it shows without computing the land again.
#include "terrain/mapWriter.h"
#include "terrain/sunCache.h"

#include <algorithm>
#include <new>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

int streamed(const dem_source *dem, const map_options *options, const map_window &window, const std::string &output,
             const std::string &horizons_path, map_control *control, map_writer *writer, sun_cache *cache,
             std::string *refusal) {
    const land_grid grid = gridOfWindow(dem, window);
    const band_layout layout(*options);
    int code = beginMapWriter(writer, &grid, &layout, options, output, horizons_path, refusal);
    if (code != TERRAIN_OK) return code;
    map_wants wants;
    wants.horizons = !horizons_path.empty();
    long cells = 0;
    long outside = 0;
    land_map part;
    const int side = mapPartSide(dem, options, options->shade || wants.horizons);
    for (int y = window.y0; y < window.y0 + window.height; y += side) {
        for (int x = window.x0; x < window.x0 + window.width; x += side) {
            const map_window cells_of = {x, y, std::min(side, window.x0 + window.width - x),
                                         std::min(side, window.y0 + window.height - y)};
            newLandMap(dem, options, cells_of, &wants, &part);
            cache->stamp++;
            code = computeMapPart(dem, cells_of, cache, control, &part, refusal);
            if (code != TERRAIN_OK) return code;
            trimSunCache(cache, kMapSuns);
            cells += part.cells_with_data;
            outside += part.cells_outside;
            code = writeMapPart(writer, &part, cells_of, refusal);
            if (code != TERRAIN_OK) return code;
        }
    }
    return commitMapWriter(writer, cells, outside, refusal);
}

int inMemory(const land_map *map, const std::string &output, const std::string &horizons_path, map_control *control,
             map_writer *writer, std::string *refusal) {
    const land_grid &g = map->grid;
    int code = beginMapWriter(writer, &g, &map->layout, &map->options, output, horizons_path, refusal);
    if (code != TERRAIN_OK) return code;
    for (int y = g.y0; y < g.y0 + g.height; y += kMapPart) {
        for (int x = g.x0; x < g.x0 + g.width; x += kMapPart) {
            if (control != nullptr && control->cancel.load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
            const map_window cells = {x, y, std::min(kMapPart, g.x0 + g.width - x), std::min(kMapPart, g.y0 + g.height - y)};
            code = writeMapPart(writer, map, cells, refusal);
            if (code != TERRAIN_OK) return code;
            if (control != nullptr) control->cells_done.fetch_add(static_cast<long>(cells.width) * cells.height);
        }
    }
    return commitMapWriter(writer, map->cells_with_data, map->cells_outside, refusal);
}

}  // namespace

int writeMap(const dem_source *dem, const map_options *options, const map_extent *extent, const std::string &output,
             const std::string &horizons_path, map_control *control, std::string *refusal) {
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    map_window window;
    code = extentWindow(dem, extent, &window, refusal);
    if (code != TERRAIN_OK) return code;
    if (control != nullptr) control->cells_total.store(static_cast<long>(window.width) * window.height);
    map_writer writer;
    writer.control = control;
    sun_cache *cache = newSunCache(&options->season);
    gdal_failure gdal;
    try {
        code = streamed(dem, options, window, output, horizons_path, control, &writer, cache, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    if (code == TERRAIN_FAILED && refusal != nullptr) *refusal += gdal.said();
    abandonMapWriter(&writer);
    freeSunCache(cache);
    return code;
}

int writeLandMap(const land_map *map, const std::string &output, const std::string &horizons_path,
                 map_control *control, std::string *refusal) {
    int code = checkMapOptions(&map->options, refusal);
    if (code != TERRAIN_OK) return code;
    const land_grid &g = map->grid;
    if (g.width < 1 || g.height < 1 || g.x0 < 0 || g.y0 < 0)
        return say(refusal, TERRAIN_FAILED, output + ": there is no map to write");
    if (control != nullptr) control->cells_total.store(g.cells());
    map_writer writer;
    writer.control = control;
    gdal_failure gdal;
    try {
        code = inMemory(map, output, horizons_path, control, &writer, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    if (code == TERRAIN_FAILED && refusal != nullptr) *refusal += gdal.said();
    abandonMapWriter(&writer);
    return code;
}
