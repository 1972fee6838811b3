// The safe writer: see safeWrite.h for the rules.
#include "files/safeWrite.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void say(std::string *error, const std::string &text) {
    if (error != nullptr) *error = text;
}

std::string because(const char *what, int code) {
    return std::string(what) + " (" + std::strerror(code) + ")";
}

std::string folderOf(const std::string &path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

const char kMark[] = ".veranta-";
const char kEnd[] = ".tmp";

// This host, as 8 hex digits (FNV-1a of its name): a pid means something
// only on the host that gave it, and a folder may be shared between hosts.
std::string hostId() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) name[0] = '\0';
    std::uint32_t h = 2166136261u;
    for (const char *c = name; *c != '\0'; c++) h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", h);
    return text;
}

bool hexDigits(const std::string &s, std::size_t at, std::size_t n) {
    if (at + n > s.size()) return false;
    for (std::size_t i = at; i < at + n; i++)
        if (!std::isxdigit(static_cast<unsigned char>(s[i])) || std::isupper(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// Reads ".NAME.veranta-PID-HOST-RANDOM.tmp"; false for any other name.
bool ourTemporary(const std::string &name, long *pid, std::string *host) {
    const std::size_t end = sizeof kEnd - 1;
    if (name.size() < 2 || name[0] != '.' || name.size() < end ||
        name.compare(name.size() - end, end, kEnd) != 0)
        return false;
    const std::size_t mark = name.rfind(kMark);
    if (mark == std::string::npos || mark == 0) return false;
    std::size_t at = mark + sizeof kMark - 1;
    std::size_t digits = at;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) digits++;
    if (digits == at || digits - at > 10 || digits >= name.size() || name[digits] != '-') return false;
    const long p = std::strtol(name.substr(at, digits - at).c_str(), nullptr, 10);
    at = digits + 1;
    if (!hexDigits(name, at, 8) || at + 8 >= name.size() || name[at + 8] != '-' || !hexDigits(name, at + 9, 8) ||
        at + 17 != name.size() - end || p <= 0)
        return false;
    *pid = p;
    *host = name.substr(at, 8);
    return true;
}

// The temporary's name for base: the whole no longer than the folder takes,
// base cut (at a character's start) to make room for the suffix.
std::string temporaryName(const std::string &folder, const std::string &base, const std::string &suffix) {
    long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0) longest = NAME_MAX;
    const long room = longest - 1 - static_cast<long>(suffix.size());
    std::size_t keep = base.size();
    if (room < static_cast<long>(keep)) {
        keep = room > 0 ? static_cast<std::size_t>(room) : 0;
        while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) keep--;
    }
    return "." + base.substr(0, keep) + suffix;
}

// Follows path through at most 40 symbolic links to the file it names, which
// need not exist yet.
bool followLinks(const std::string &path, std::string *target, struct stat *st, bool *exists, std::string *error) {
    std::string at = path;
    for (int hops = 0; hops <= 40; hops++) {
        if (lstat(at.c_str(), st) != 0) {
            if (errno != ENOENT) {
                say(error, because("the file cannot be looked at", errno));
                return false;
            }
            *exists = false;
            *target = at;
            return true;
        }
        if (!S_ISLNK(st->st_mode)) {
            *exists = true;
            *target = at;
            return true;
        }
        std::string link(4096, '\0');
        ssize_t n = readlink(at.c_str(), &link[0], link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) {
            say(error, "the link cannot be followed");
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        at = link[0] == '/' ? link : folderOf(at) + "/" + link;
    }
    say(error, "the link cannot be followed (too many links)");
    return false;
}

// The checks that hold both before the content is written and just before
// it replaces the target.
bool targetMayBeReplaced(const std::string &target, const struct stat &st, std::string *error) {
    if (!S_ISREG(st.st_mode)) {
        say(error, S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
        return false;
    }
    if (writeProtected(target, st.st_mode)) {
        say(error, "the file is write-protected");
        return false;
    }
    return true;
}

}  // namespace

bool beginSafeWrite(const std::string &path, safe_write *w, std::string *error) {
    *w = safe_write();
    if (path.empty()) {
        say(error, "no file name was given");
        return false;
    }
    struct stat st;
    bool exists = false;
    if (!followLinks(path, &w->target, &st, &exists, error)) return false;
    if (exists && !targetMayBeReplaced(w->target, st, error)) return false;
    w->target_exists = exists;
    if (exists) {
        w->mode = st.st_mode & 07777;
        w->owner = st.st_uid;
        w->group = st.st_gid;
    }
    // A hidden name beside the target: the same file system, so the rename
    // is atomic. Created with the umask applied, like any new file.
    std::string folder = folderOf(w->target);
    std::string base = w->target.substr(w->target.rfind('/') == std::string::npos ? 0 : w->target.rfind('/') + 1);
    removeStaleTemporaries(folder);
    const std::string owner = std::string(kMark) + std::to_string(static_cast<long>(getpid())) + "-" + hostId() + "-";
    std::random_device random;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        std::string temp = folder + "/" + temporaryName(folder, base, owner + suffix + kEnd);
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            // Held while this write lives: the next run's sign that it is not stale.
            flock(fd, LOCK_EX | LOCK_NB);
            w->lock = fd;
            w->temp_path = temp;
            return true;
        }
        if (errno != EEXIST) {
            say(error, because("no file can be created in that folder", errno));
            return false;
        }
    }
    say(error, "no file can be created in that folder");
    return false;
}

bool commitSafeWrite(safe_write *w, std::string *error) {
    if (w->temp_path.empty()) {
        say(error, "nothing was written");
        return false;
    }
    int code = 0;
    const char *what = nullptr;
    int fd = open(w->temp_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        code = errno;
        what = "the written file is gone";
    } else {
        if (w->target_exists) {
            // The owner only where this user may give it.
            if (fchown(fd, w->owner, w->group) != 0) {
            }
            if (fchmod(fd, w->mode) != 0) {
                code = errno;
                what = "the file's permissions cannot be kept";
            }
        }
        if (code == 0 && fsync(fd) != 0) {
            code = errno;
            what = "the file cannot be flushed to disk";
        }
        close(fd);
    }
    // The target may have changed while the content was written.
    struct stat st;
    if (code == 0 && lstat(w->target.c_str(), &st) == 0 && !targetMayBeReplaced(w->target, st, error)) {
        abandonSafeWrite(w);
        return false;
    }
    if (code == 0 && std::rename(w->temp_path.c_str(), w->target.c_str()) != 0) {
        code = errno;
        what = "the file cannot be put in place";
    }
    if (code != 0) {
        say(error, because(what, code));
        abandonSafeWrite(w);
        return false;
    }
    w->temp_path.clear();
    if (w->lock >= 0) close(w->lock);
    w->lock = -1;
    int folder = open(folderOf(w->target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void abandonSafeWrite(safe_write *w) {
    if (!w->temp_path.empty()) unlink(w->temp_path.c_str());
    w->temp_path.clear();
    if (w->lock >= 0) close(w->lock);
    w->lock = -1;
}

// Conservative: a name not ours, another host's, a pid that is alive (or
// that this user may not signal), a file locked or not regular all stay.
int removeStaleTemporaries(const std::string &folder) {
    DIR *d = opendir(folder.c_str());
    if (d == nullptr) return 0;
    const std::string host = hostId();
    int removed = 0;
    while (const dirent *e = readdir(d)) {
        long pid = 0;
        std::string made_on;
        const std::string name = e->d_name;
        if (!ourTemporary(name, &pid, &made_on) || made_on != host || pid == static_cast<long>(getpid())) continue;
        if (pid > INT_MAX || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const std::string path = folder + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            unlink(path.c_str()) == 0)
            removed++;
        close(fd);
    }
    closedir(d);
    return removed;
}

bool writeFileSafely(const std::string &path, const void *data, std::size_t size, std::string *error) {
    safe_write w;
    if (!beginSafeWrite(path, &w, error)) return false;
    int fd = open(w.temp_path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        say(error, because("the file cannot be written", errno));
        abandonSafeWrite(&w);
        return false;
    }
    const char *at = static_cast<const char *>(data);
    std::size_t left = size;
    while (left > 0) {
        ssize_t n = write(fd, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int code = n < 0 ? errno : EIO;
            close(fd);
            say(error, because("the file cannot be written", code));
            abandonSafeWrite(&w);
            return false;
        }
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    if (close(fd) != 0) {
        say(error, because("the file cannot be written", errno));
        abandonSafeWrite(&w);
        return false;
    }
    return commitSafeWrite(&w, error);
}

namespace {

namespace fs = std::filesystem;

// Where a path leads: a link followed to what it names, even when that does
// not exist yet (the safe writer writes there), then made absolute and
// normal with its existing folders' links resolved.
fs::path leadsTo(fs::path p) {
    std::error_code error;
    p = fs::absolute(p, error);
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, error)); hops++) {
        const fs::path target = fs::read_symlink(p, error);
        if (error) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    const fs::path canonical = fs::weakly_canonical(p, error);
    return error ? fs::absolute(p, error).lexically_normal() : canonical;
}

}  // namespace

bool sameFile(const std::string &a, const std::string &b) {
    std::error_code ea;
    std::error_code eb;
    const bool xa = fs::exists(a, ea);
    const bool xb = fs::exists(b, eb);
    if (xa && xb) {
        std::error_code e;
        return fs::equivalent(a, b, e);
    }
    return xa == xb && leadsTo(a) == leadsTo(b);
}

// The one rule of what counts as write-protected, for replacing and for
// deleting alike.
bool writeProtected(const std::string &path, mode_t mode) {
    // Root may write anything; a file that nobody may write is still meant
    // to stay as it is.
    return (mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}
