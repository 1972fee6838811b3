// Maps computed in this session, kept so that going back to a season or an
// unchanged file shows it at once. A few only: a million-cell map holds about 130 MB.
#include "landmap/landmap.h"

#include <deque>

namespace {

std::deque<std::shared_ptr<lm_map>> &kept() {
    static std::deque<std::shared_ptr<lm_map>> maps;
    return maps;
}

bool same(const lm_settings &a, const lm_settings &b) {
    return a.season.year == b.season.year && a.season.start_day == b.season.start_day &&
           a.season.start_month == b.season.start_month && a.season.stop_day == b.season.stop_day &&
           a.season.stop_month == b.season.stop_month && a.shade == b.shade &&
           (!a.shade || (a.directions == b.directions && a.distance == b.distance));
}

}  // namespace

std::shared_ptr<lm_map> lm_Remembered(const std::string &path, const lm_settings *settings) {
    // A file replaced or edited under the same name is computed again.
    long long size = 0;
    long long modified = 0;
    if (!lm_FileStamp(path, &size, &modified)) return nullptr;
    for (const auto &m : kept())
        if (m->path == path && m->file_size == size && m->file_modified == modified && same(m->settings, *settings))
            return m;
    return nullptr;
}

void lm_Remember(const std::shared_ptr<lm_map> &map) {
    auto &maps = kept();
    maps.push_front(map);
    while (maps.size() > 3) maps.pop_back();
}
