// Keeps memory bounded on a large raster: once many suns are kept, those the
// part just computed did not use go (the parts run row by row, so a sun
// still needed is usually one just used).
#include "terrain/sunCache.h"

void trimSunCache(sun_cache *cache, size_t keep) {
    if (cache->entries.size() <= keep) return;
    std::vector<sun_cache::entry> kept;
    for (sun_cache::entry &e : cache->entries) {
        if (e.used == cache->stamp)
            kept.push_back(e);
        else
            freeSunBlock(e.block);
    }
    cache->entries.swap(kept);
}
