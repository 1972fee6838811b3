// An empty set of placed suns for a season.
#include "terrain/sunCache.h"

sun_cache *newSunCache(const season_range *season) {
    sun_cache *cache = new sun_cache;
    cache->season = *season;
    return cache;
}
