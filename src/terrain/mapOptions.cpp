// A map's options said wrong before any work: the season (sweepSeasonCheck),
// then the shading's directions and distance, then the target and the
// station the map is anchored to; and the
// window of the raster a tile of a run covers.
#include "terrain/internals.h"
#include "terrain/mapAnchor.h"

#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace {

// What is wrong with a season, naming the day or month that does not exist.
std::string seasonRefusal(const season_range &s, int code) {
    const bool start_month = s.start_month < 1 || s.start_month > 12;
    switch (code) {
        case SWEEP_BAD_YEAR: return "the year must lie between 2000 and 2050";
        case SWEEP_BAD_MONTH:
            return std::to_string(start_month ? s.start_month : s.stop_month) + " is not a month (the season's " +
                   (start_month ? "first" : "last") + " day and month)";
        case SWEEP_BAD_START_DAY:
            return std::to_string(s.start_day) + " " + month_names[s.start_month - 1] +
                   " does not exist (the season's first day)";
        case SWEEP_BAD_STOP_DAY:
            return std::to_string(s.stop_day) + " " + month_names[s.stop_month - 1] +
                   " does not exist (the season's last day)";
        case SWEEP_BAD_MONTH_ORDER: return "the season must not end before it starts";
        default: return "the season cannot be computed";
    }
}

}  // namespace

int checkMapOptions(const map_options *options, std::string *refusal) {
    int lengths[12];
    const int code = sweepSeasonCheck(&options->season, lengths);
    if (code != 0) {
        if (refusal != nullptr) *refusal = seasonRefusal(options->season, code);
        return TERRAIN_BAD_SEASON;
    }
    if (options->directions < 1 || options->directions > 360) {
        if (refusal != nullptr) *refusal = "the number of directions must lie between 1 and 360";
        return TERRAIN_BAD_OPTION;
    }
    if (!std::isfinite(options->distance) || options->distance <= 0.0 || options->distance > 100000.0) {
        if (refusal != nullptr) *refusal = "the search distance must lie above 0 and at most 100000 metres";
        return TERRAIN_BAD_OPTION;
    }
    // 0 is no target; no season holds more than 10000 degree days.
    if (options->target != 0.0 && !(options->target > 0.0 && options->target <= kMaxTarget)) {
        if (refusal != nullptr) *refusal = "the degree-day target must lie above 0 and at most 10000";
        return TERRAIN_BAD_OPTION;
    }
    if (options->anchor.anchored()) {
        std::string why;
        if (!checkMapAnchor(options->anchor, options->season, &why)) {
            if (refusal != nullptr) *refusal = why;
            return TERRAIN_BAD_OPTION;
        }
        // The day a target is reached comes from the estimate's daily values,
        // which anchoring the months does not move.
        if (options->target > 0.0) {
            if (refusal != nullptr) *refusal = "a map anchored to a station takes no degree-day target";
            return TERRAIN_BAD_OPTION;
        }
    }
    return TERRAIN_OK;
}

int extentWindow(const dem_source *dem, const map_extent *extent, map_window *window, std::string *refusal) {
    *window = {0, 0, dem->width, dem->height};
    if (extent == nullptr) return TERRAIN_OK;
    const map_window &within = extent->within;
    const bool part = within.width > 0;
    if (part) {
        if (within.x0 < 0 || within.y0 < 0 || within.height < 1 || within.x0 > dem->width - within.width ||
            within.y0 > dem->height - within.height) {
            if (refusal != nullptr) *refusal = "the part lies outside the raster";
            return TERRAIN_BAD_OPTION;
        }
        *window = within;
    }
    if (extent->tile_size <= 0) return TERRAIN_OK;
    const map_window base = *window;
    const long size = extent->tile_size;
    const long across = (base.width + size - 1) / size;
    const long down = (base.height + size - 1) / size;
    if (extent->tile_column < 0 || extent->tile_row < 0 || extent->tile_column >= across || extent->tile_row >= down) {
        if (refusal != nullptr)
            *refusal = "tile " + std::to_string(extent->tile_column) + "," + std::to_string(extent->tile_row) +
                       " lies outside the " + (part ? "parcel's extent" : "raster") + ", which has " +
                       std::to_string(across) + " x " + std::to_string(down) + " tiles of that size";
        return TERRAIN_BAD_OPTION;
    }
    window->x0 = base.x0 + static_cast<int>(extent->tile_column * size);
    window->y0 = base.y0 + static_cast<int>(extent->tile_row * size);
    window->width = static_cast<int>(std::min<long>(size, base.x0 + base.width - window->x0));
    window->height = static_cast<int>(std::min<long>(size, base.y0 + base.height - window->y0));
    return TERRAIN_OK;
}
