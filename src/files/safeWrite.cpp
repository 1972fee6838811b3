// The safe writer: see safeWrite.h for the rules.
#include "files/safeWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
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
    std::random_device random;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        std::string temp = folder + "/." + base + "." + suffix + ".tmp";
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            close(fd);
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

// The one rule of what counts as write-protected, for replacing and for
// deleting alike.
bool writeProtected(const std::string &path, mode_t mode) {
    // Root may write anything; a file that nobody may write is still meant
    // to stay as it is.
    return (mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}
