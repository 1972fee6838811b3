// Keeps memory bounded: the suns a batch of cells does not use go, those
// used longest ago first (the parts run row by row, so a sun still needed is
// usually one just used).
#include "terrain/sunCache.h"

#include <algorithm>

void trimSunCache(sun_cache *cache, size_t keep) {
    if (cache->entries.size() <= keep) return;
    std::stable_sort(cache->entries.begin(), cache->entries.end(),
                     [](const sun_cache::entry &a, const sun_cache::entry &b) { return a.used > b.used; });
    std::vector<sun_cache::entry> kept;
    for (sun_cache::entry &e : cache->entries) {
        if (e.used == cache->stamp || kept.size() < keep)
            kept.push_back(e);
        else
            freeSunBlock(e.block);
    }
    cache->entries.swap(kept);
}
