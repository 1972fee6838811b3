// A season for many slopes of one site, on at most one thread per core.
#include "model/sweepSeason.h"

#include <thread>

int sweepSeasonControlled(const site_location *site, const season_range *season, const slope *slopes, int count,
                          slope_season *results, sweep_control *control) {
    // 0 when the number of cores cannot be told.
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return sweepSeasonThreads(site, season, slopes, count, results, control, cores);
}
