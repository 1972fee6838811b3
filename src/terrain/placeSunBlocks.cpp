// The suns of a part's block points: those already placed are reused, the
// others are placed once, several at a time.
#include "terrain/sunCache.h"

#include "model/runOnThreads.h"

#include <algorithm>

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
    auto worker = [&] {
        for (;;) {
            const size_t k = next.fetch_add(1);
            if (k >= missing.size()) return;
            if (control != nullptr && control->cancel.load()) {
                codes[k] = SWEEP_CANCELLED;
                continue;
            }
            const std::pair<float, float> &p = points[missing[k]];
            placed[k] = placeSunBlock(p.first, p.second, &cache->season, nullptr, &codes[k]);
            if (placed[k] == nullptr && codes[k] == 0) codes[k] = SWEEP_NO_MEMORY;
        }
    };
    const int n = std::max(1, std::min(threads, static_cast<int>(missing.size())));
    runOnThreads(n, worker);
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
