// The whole map in memory, part after part, every band, and the horizons
// when asked for.
#include "terrain/mapParts.h"
#include "terrain/sunCache.h"

#include <algorithm>
#include <new>

int computeMap(const dem_source *dem, const map_options *options, map_control *control, map_tile *map,
               std::string *refusal, bool horizons) {
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    const size_t cells = static_cast<size_t>(dem->width) * static_cast<size_t>(dem->height);
    if (control != nullptr) control->cells_total.store(static_cast<long>(cells));
    sun_cache *cache = newSunCache(&options->season);
    try {
        *map = map_tile{};
        map->width = dem->width;
        map->height = dem->height;
        map->bands = mapBandCount(&options->season);
        map->directions = horizons ? options->directions : 0;
        map->values.assign(static_cast<size_t>(map->bands) * cells, kMapNodata);
        map->horizons.assign(static_cast<size_t>(map->directions) * cells, kMapNodata);
        map->whole_edge_months.assign(2 * cells, kMapNodata);
        map_tile part;
        for (int y = 0; code == TERRAIN_OK && y < dem->height; y += kMapPart) {
            for (int x = 0; code == TERRAIN_OK && x < dem->width; x += kMapPart) {
                const int w = std::min(kMapPart, dem->width - x);
                const int h = std::min(kMapPart, dem->height - y);
                code = computeMapTile(dem, options, x, y, w, h, horizons, cache, control, &part, refusal);
                if (code != TERRAIN_OK) break;
                const size_t pc = static_cast<size_t>(w) * static_cast<size_t>(h);
                for (int r = 0; r < h; r++) {
                    const size_t to = static_cast<size_t>(y + r) * dem->width + x;
                    for (int b = 0; b < map->bands; b++)
                        std::copy_n(&part.values[b * pc + static_cast<size_t>(r) * w], w, &map->values[b * cells + to]);
                    for (int k = 0; k < map->directions; k++)
                        std::copy_n(&part.horizons[k * pc + static_cast<size_t>(r) * w], w, &map->horizons[k * cells + to]);
                    for (int k = 0; k < 2; k++)
                        std::copy_n(&part.whole_edge_months[k * pc + static_cast<size_t>(r) * w], w,
                                    &map->whole_edge_months[k * cells + to]);
                }
                map->cells += part.cells;
                map->cells_outside += part.cells_outside;
            }
        }
    } catch (const std::bad_alloc &) {
        code = TERRAIN_FAILED;
        if (refusal != nullptr) *refusal = "there is not enough memory for it";
    }
    freeSunCache(cache);
    // A cancelled or failed run hands back no map rather than a half-filled one.
    if (code != TERRAIN_OK) *map = map_tile{};
    return code;
}
