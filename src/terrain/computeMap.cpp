// A map in memory: one land_map of a window of the DEM (the whole of it by
// default), its parts computed one after the other straight into it, and
// what such a run needs of memory.
#include "terrain/sunCache.h"

#include <algorithm>
#include <cmath>
#include <new>

void newLandMap(const dem_source *dem, const map_options *options, const map_window &window, const map_wants *wants,
                land_map *map) {
    *map = land_map{};
    map->grid = gridOfWindow(dem, window);
    map->options = *options;
    map->layout = band_layout(options->season);
    const size_t cells = static_cast<size_t>(map->grid.cells());
    map->values.assign(static_cast<size_t>(map->layout.count()) * cells, kMapNodata);
    if (wants == nullptr) return;
    if (wants->elevations) map->elevation.assign(cells, kMapNodata);
    if (wants->positions) {
        map->latitude.assign(cells, 0.0);
        map->longitude.assign(cells, 0.0);
    }
    if (wants->horizons) {
        map->directions = options->directions;
        map->horizons.assign(static_cast<size_t>(options->directions) * cells, kMapNodata);
    }
    if (wants->whole_edge_months) map->whole_edge_months.assign(2 * cells, kMapNodata);
}

int computeMap(const dem_source *dem, const map_options *options, const map_window *window, const map_wants *wants,
               map_control *control, land_map *map, std::string *refusal) {
    *map = land_map{};
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    const map_window whole = window != nullptr ? *window : map_window{0, 0, dem->width, dem->height};
    if (whole.x0 < 0 || whole.y0 < 0 || whole.width < 1 || whole.height < 1 || whole.x0 > dem->width - whole.width ||
        whole.y0 > dem->height - whole.height) {
        if (refusal != nullptr) *refusal = "the part lies outside the raster";
        return TERRAIN_BAD_OPTION;
    }
    if (control != nullptr) control->cells_total.store(static_cast<long>(whole.width) * whole.height);
    sun_cache *cache = newSunCache(&options->season);
    try {
        newLandMap(dem, options, whole, wants, map);
        for (int y = whole.y0; code == TERRAIN_OK && y < whole.y0 + whole.height; y += kMapPart) {
            for (int x = whole.x0; code == TERRAIN_OK && x < whole.x0 + whole.width; x += kMapPart) {
                const map_window part = {x, y, std::min(kMapPart, whole.x0 + whole.width - x),
                                         std::min(kMapPart, whole.y0 + whole.height - y)};
                cache->stamp++;
                code = computeMapPart(dem, part, cache, control, map, refusal);
                trimSunCache(cache, kMapSuns);
            }
        }
    } catch (const std::bad_alloc &) {
        code = TERRAIN_FAILED;
        if (refusal != nullptr) *refusal = "there is not enough memory for it";
    }
    freeSunCache(cache);
    // A cancelled or failed run hands back no map rather than a half-filled one.
    if (code != TERRAIN_OK) *map = land_map{};
    return code;
}

// Per cell: the bands (5 + 2 a month), and the extras kept. Once: a part's
// work (its slopes, positions, block keys and horizons, and its elevations
// with the search distance around it), and the suns alive, some 10 MB each.
double computeMapBytes(double width, double height, const map_wants *wants, int directions, double distance,
                       double cell) {
    const double cells = width * height;
    double per_cell = 4.0 * (5 + 24);
    if (wants != nullptr) {
        per_cell += wants->elevations ? 4.0 : 0.0;
        per_cell += wants->positions ? 16.0 : 0.0;
        per_cell += wants->horizons ? 4.0 * directions : 0.0;
        per_cell += wants->whole_edge_months ? 8.0 : 0.0;
    }
    const double part = std::min(cells, static_cast<double>(kMapPart) * kMapPart);
    const double halo = cell > 0.0 ? 2.0 * std::ceil(distance / cell) : 0.0;
    const double window = std::min(width, kMapPart + halo) * std::min(height, kMapPart + halo);
    return cells * per_cell + part * (8.0 + 16.0 + 12.0 + 4.0 * directions) + 4.0 * window + kMapSuns * 10e6;
}
