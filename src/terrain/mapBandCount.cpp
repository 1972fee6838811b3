// How many bands a map of the season has: five, then two for each month.
#include "terrain/terrain.h"

int mapBandCount(const season_range *season) {
    return kMapFixedBands + 2 * (season->stop_month - season->start_month + 1);
}
