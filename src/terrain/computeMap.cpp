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
    map->layout = band_layout(*options);
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
    const long days = seasonDays(&options->season);
    if ((wants->groups != nullptr || wants->group_count == 1) && wants->group_count > 0 && options->target > 0.0 &&
        static_cast<long>(wants->group_count) * days <= kMaxGroupDays)
        map->group_days = group_running(wants->group_count, static_cast<int>(days));
}

namespace {

// The cells a part reads around it for its horizons (and one for Horn's
// neighbours), as computeMapPart reads them.
void halo(const dem_source *dem, const map_options *options, bool horizons, long *hx, long *hy) {
    double sx = 0.0;
    double sy = 0.0;
    cellSize(dem, dem->height / 2, &sx, &sy);
    *hx = horizons ? static_cast<long>(std::min(1.0e6, std::ceil(options->distance / sx))) + 2 : 1;
    *hy = horizons ? static_cast<long>(std::min(1.0e6, std::ceil(options->distance / sy))) + 2 : 1;
}

// A part's horizons (4 bytes an angle) and its surroundings' elevations
// (4 bytes a cell, clipped to the raster).
double partBytes(const dem_source *dem, int side, int directions, long hx, long hy) {
    const double cells = static_cast<double>(std::min(side, dem->width)) * std::min(side, dem->height);
    const double around = static_cast<double>(std::min<long>(dem->width, side + 2 * hx)) *
                          static_cast<double>(std::min<long>(dem->height, side + 2 * hy));
    return 4.0 * directions * cells + 4.0 * around;
}

}  // namespace

int mapPartSide(const dem_source *dem, const map_options *options, bool horizons) {
    if (!horizons) return kMapPart;
    long hx = 0;
    long hy = 0;
    halo(dem, options, horizons, &hx, &hy);
    int side = kMapPart;
    while (side > 128 && partBytes(dem, side, options->directions, hx, hy) > kMapPartBytes) side -= 16;
    return side;
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
    const int side = mapPartSide(dem, options, options->shade || (wants != nullptr && wants->horizons));
    try {
        newLandMap(dem, options, whole, wants, map);
        for (int y = whole.y0; code == TERRAIN_OK && y < whole.y0 + whole.height; y += side) {
            for (int x = whole.x0; code == TERRAIN_OK && x < whole.x0 + whole.width; x += side) {
                const map_window part = {x, y, std::min(side, whole.x0 + whole.width - x),
                                         std::min(side, whole.y0 + whole.height - y)};
                cache->stamp++;
                code = computeMapPart(dem, part, cache, control, map, refusal, wants != nullptr ? wants->groups : nullptr);
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
// work (its slopes, positions, block keys and horizons unless the map keeps
// them, and its elevations with the search distance around it), and the
// suns alive, some 10 MB each. Parts are taken at their largest.
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
    const double part_angles = wants != nullptr && wants->horizons ? 0.0 : 4.0 * directions;
    return cells * per_cell + part * (8.0 + 16.0 + 12.0 + part_angles) + 4.0 * window + kMapSuns * 10e6;
}
