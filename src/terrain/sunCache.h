// The suns a map run has placed, one per block point, and their use.
#ifndef VERANTA_TERRAIN_SUNCACHE_H
#define VERANTA_TERRAIN_SUNCACHE_H

#include "terrain/cellSeason.h"
#include "terrain/internals.h"

#include <vector>

struct sun_cache {
    season_range season;
    struct entry {
        float latitude;
        float longitude;
        sun_block *block;
        long used;   // the stamp of the last part that used it
    };
    std::vector<entry> entries;
    long stamp = 0;
};

// The blocks of points (distinct, in any order, at most keep of them),
// placing those not yet kept on up to threads threads, after freeing the
// least recently used others so that at most keep are kept; each one used is
// stamped with a new cache->stamp. 0, or a sweep_refusal code
// (SWEEP_CANCELLED through control).
int placeSunBlocks(sun_cache *cache, const std::vector<std::pair<float, float>> &points, size_t keep, int threads,
                   map_control *control, std::vector<const sun_block *> *blocks);

// Frees the blocks not stamped with cache->stamp, least recently used first,
// until at most keep are kept.
void trimSunCache(sun_cache *cache, size_t keep);

#endif
