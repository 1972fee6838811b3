// Maps computed in this session, kept by file (its path, size and
// modification time) and options, so that going back to a season or an
// unchanged file shows it at once. A few only: a million-cell map holds 100
// to 150 MB (7 to 12 months, with its elevations and positions).
#include "landmap/landmap.h"

#include <deque>
#include <sys/stat.h>

namespace {

// A map and the file it was computed from, as the file was then.
struct remembered {
    std::string path;
    long long file_size;
    long long file_modified;
    std::shared_ptr<const land_map> map;
};

std::deque<remembered> &kept() {
    static std::deque<remembered> maps;
    return maps;
}

bool same(const map_options &a, const map_options &b) {
    return a.season.year == b.season.year && a.season.start_day == b.season.start_day &&
           a.season.start_month == b.season.start_month && a.season.stop_day == b.season.stop_day &&
           a.season.stop_month == b.season.stop_month && a.shade == b.shade &&
           (!a.shade || (a.directions == b.directions && a.distance == b.distance));
}

}  // namespace

// What tells a changed elevation model from the one a map was computed from,
// without reading it again.
bool lm_FileStamp(const std::string &path, long long *size, long long *modified) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    *size = static_cast<long long>(st.st_size);
    *modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

std::shared_ptr<const land_map> lm_Remembered(const std::string &path, const map_options *options) {
    // A file replaced or edited under the same name is computed again.
    long long size = 0;
    long long modified = 0;
    if (!lm_FileStamp(path, &size, &modified)) return nullptr;
    for (const remembered &m : kept())
        if (m.path == path && m.file_size == size && m.file_modified == modified && same(m.map->options, *options))
            return m.map;
    return nullptr;
}

void lm_Remember(const std::string &path, long long size, long long modified,
                 const std::shared_ptr<const land_map> &map) {
    auto &maps = kept();
    maps.push_front({path, size, modified, map});
    while (maps.size() > 3) maps.pop_back();
}
