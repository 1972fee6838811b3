// The map as a GeoTIFF on the DEM's grid, computed part by part and each
// part written as soon as it is done, so that memory stays bounded whatever
// the raster's size. The file itself is the map writer's (mapWriter.h), the
// same as for a map already in memory.
#include "terrain/mapParts.h"
#include "terrain/mapWriter.h"
#include "terrain/sunCache.h"

#include <algorithm>
#include <cpl_error.h>
#include <new>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

int run(const dem_source *dem, const map_options *options, int ox, int oy, int ow, int oh, const std::string &output,
        const std::string &horizons_path, map_control *control, map_writer *writer, sun_cache *cache,
        std::string *refusal) {
    map_grid grid;
    demGrid(dem, &grid);
    int code = beginMapWriter(writer, &grid, options, ox, oy, ow, oh, output, horizons_path, refusal);
    if (code != TERRAIN_OK) return code;
    long cells = 0;
    long outside = 0;
    map_tile part;
    for (int y = oy; y < oy + oh; y += kMapPart) {
        for (int x = ox; x < ox + ow; x += kMapPart) {
            const int w = std::min(kMapPart, ox + ow - x);
            const int h = std::min(kMapPart, oy + oh - y);
            cache->stamp++;
            code = computeMapTile(dem, options, x, y, w, h, !horizons_path.empty(), cache, control, &part, refusal);
            if (code != TERRAIN_OK) return code;
            trimSunCache(cache, kMapSuns);
            cells += part.cells;
            outside += part.cells_outside;
            code = writeMapPart(writer, &part, x, y, w, h, refusal);
            if (code != TERRAIN_OK) return code;
        }
    }
    return commitMapWriter(writer, cells, outside, refusal);
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
    map_writer writer;
    sun_cache *cache = newSunCache(&options->season);
    CPLPushErrorHandler(CPLQuietErrorHandler);
    try {
        code = run(dem, options, ox, oy, ow, oh, output, horizons_path, control, &writer, cache, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    CPLPopErrorHandler();
    abandonMapWriter(&writer);
    freeSunCache(cache);
    return code;
}
