// A season for many slopes of one site, on every core.
#include "model/sweepSeason.h"

int sweepSeason(const site_location *site, const season_range *season, const slope *slopes, int count,
                slope_season *results) {
    return sweepSeasonControlled(site, season, slopes, count, results, nullptr);
}
