// A map's options said wrong before any work: the season by the season
// window's own checks, then the shading's directions and distance.
#include "terrain/terrain.h"

#include <cmath>

int checkMapOptions(const map_options *options, std::string *refusal) {
    int lengths[12];
    const int code = sweepSeasonCheck(&options->season, lengths);
    const char *text = nullptr;
    switch (code) {
        case 0: break;
        case SWEEP_BAD_START_DAY: text = "the season's first day does not exist in its month"; break;
        case SWEEP_BAD_STOP_DAY: text = "the season's last day does not exist in its month"; break;
        case SWEEP_BAD_YEAR: text = "the year must lie between 2000 and 2050"; break;
        case SWEEP_BAD_MONTH_ORDER: text = "the season must end in a later month than it starts"; break;
        default: text = "the season cannot be computed"; break;
    }
    if (text != nullptr) {
        if (refusal != nullptr) *refusal = text;
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
    return TERRAIN_OK;
}
