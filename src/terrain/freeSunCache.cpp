// Frees every placed sun and the set.
#include "terrain/sunCache.h"

void freeSunCache(sun_cache *cache) {
    if (cache == nullptr) return;
    for (sun_cache::entry &e : cache->entries) freeSunBlock(e.block);
    delete cache;
}
