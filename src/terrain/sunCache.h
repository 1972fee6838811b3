// The suns a map run has placed, one per block point, and their use.
#ifndef VERANTA_TERRAIN_SUNCACHE_H
#define VERANTA_TERRAIN_SUNCACHE_H

#include "terrain/cellSeason.h"
#include "terrain/terrain.h"

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

// The blocks of points (distinct, in any order), placing those not yet kept,
// on up to threads threads; each one used is stamped with cache->stamp.
// 0, or a sweep_refusal code (SWEEP_CANCELLED through control).
int placeSunBlocks(sun_cache *cache, const std::vector<std::pair<float, float>> &points, int threads,
                   map_control *control, std::vector<const sun_block *> *blocks);

// Frees the blocks the current part did not use once more than keep are kept.
void trimSunCache(sun_cache *cache, size_t keep);

#endif
