// The suns a map run has placed, one per block point: those a part's cells
// need and are already placed are reused, the others are placed once,
// several at a time, and those not needed go once too many are kept.
#include "terrain/sunCache.h"

#include "model/runOnThreads.h"

#include <algorithm>

sun_cache *newSunCache(const season_range *season) {
    sun_cache *cache = new sun_cache;
    cache->season = *season;
    return cache;
}

void freeSunCache(sun_cache *cache) {
    if (cache == nullptr) return;
    for (sun_cache::entry &e : cache->entries) freeSunBlock(e.block);
    delete cache;
}

// The suns used longest ago go first (the parts run row by row, so a sun
// still needed is usually one just used).
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

int placeSunBlocks(sun_cache *cache, const std::vector<std::pair<float, float>> &points, size_t keep, int threads,
                   map_control *control, std::vector<const sun_block *> *blocks) {
    cache->stamp++;
    blocks->assign(points.size(), nullptr);
    std::vector<size_t> missing;
    for (size_t i = 0; i < points.size(); i++) {
        bool found = false;
        for (sun_cache::entry &e : cache->entries) {
            if (e.latitude == points[i].first && e.longitude == points[i].second) {
                (*blocks)[i] = e.block;
                e.used = cache->stamp;
                found = true;
                break;
            }
        }
        if (!found) missing.push_back(i);
    }
    trimSunCache(cache, keep > missing.size() ? keep - missing.size() : 0);
    std::vector<sun_block *> placed(missing.size(), nullptr);
    std::vector<int> codes(missing.size(), 0);
    std::atomic<size_t> next{0};
    // Placing a block takes a second or more: the cancel is heard day by day.
    sweep_control stop;
    auto worker = [&] {
        for (;;) {
            const size_t k = next.fetch_add(1);
            if (k >= missing.size()) return;
            if (control != nullptr && control->cancel.load()) {
                codes[k] = SWEEP_CANCELLED;
                continue;
            }
            const std::pair<float, float> &p = points[missing[k]];
            placed[k] = placeSunBlock(p.first, p.second, &cache->season, &stop, &codes[k]);
            if (placed[k] == nullptr && codes[k] == 0) codes[k] = SWEEP_NO_MEMORY;
        }
    };
    const int n = std::max(1, std::min(threads, static_cast<int>(missing.size())));
    {
        const cancel_relay relay(control, &stop);
        runOnThreads(n, worker);
    }
    int code = 0;
    for (size_t k = 0; k < missing.size(); k++) {
        if (placed[k] == nullptr) {
            if (code == 0) code = codes[k];
            continue;
        }
        cache->entries.push_back({points[missing[k]].first, points[missing[k]].second, placed[k], cache->stamp});
        (*blocks)[missing[k]] = placed[k];
    }
    return code;
}
