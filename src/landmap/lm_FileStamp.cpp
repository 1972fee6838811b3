// What tells a changed elevation model from the one a map was computed from,
// without reading it again.
#include "landmap/landmap.h"

#include <sys/stat.h>

bool lm_FileStamp(const std::string &path, long long *size, long long *modified) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    *size = static_cast<long long>(st.st_size);
    *modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}
