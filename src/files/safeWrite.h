// The one way the program writes a file: the content goes to a temporary file
// in the target's folder, which a rename puts in place only once it is whole,
// so a reader sees the old file or the new one and a failure leaves the old
// one. A symbolic link is followed to the file it names, which is replaced
// while the link stays; a replaced file keeps its permission bits; a file
// nobody may write, or that this user may not write, and anything but a
// regular file are refused. Nothing here keeps global state.
//
// The temporary files are named so that they can be told for ours:
// ".NAME.veranta-PID-HOST-RANDOM.tmp" beside the target (NAME shortened so
// that the whole fits the folder's longest name), held locked (flock) by the
// writer while it lives. A writer killed before it could clean up leaves one
// behind; the next write into that folder removes it once its process has
// gone (this host's, no such pid, and no lock held on it).
#ifndef VERANTA_FILES_SAFEWRITE_H
#define VERANTA_FILES_SAFEWRITE_H

#include <cstddef>
#include <string>
#include <sys/types.h>

struct safe_write {
    std::string target;      // the file that will be replaced: the path given, its links followed
    std::string temp_path;   // the temporary file beside it, which the writer fills
    bool target_exists = false;
    mode_t mode = 0;         // the replaced file's permission bits
    uid_t owner = 0;
    gid_t group = 0;
    int lock = -1;           // an open descriptor of the temporary file, flock'ed while the write lives
};

// Writes size bytes to path whole, or leaves everything as it was. *error,
// when given, gets one short sentence for the user on failure.
bool writeFileSafely(const std::string &path, const void *data, std::size_t size, std::string *error);

// For writers that fill a named file themselves (a raster library, a cairo
// surface): follows and checks path and creates an empty temporary file
// w->temp_path beside its target.
bool beginSafeWrite(const std::string &path, safe_write *w, std::string *error);
// Gives the filled temporary file the replaced file's permission bits,
// flushes it to disk and renames it over the target; on failure the
// temporary file is removed and the target is untouched.
bool commitSafeWrite(safe_write *w, std::string *error);
// Removes the temporary file of a write that is given up.
void abandonSafeWrite(safe_write *w);

// Removes the temporary files of this program in folder whose writers are
// gone (see above); the number removed. beginSafeWrite calls it for the
// target's folder.
int removeStaleTemporaries(const std::string &folder);

// Whether two paths name one file: the same file when both exist, else the
// same place once links (dangling ones too, as the writer follows them) and
// "." and ".." are resolved.
bool sameFile(const std::string &a, const std::string &b);

// Whether an existing file of the given mode is one the writer refuses as
// write-protected: nobody may write it, or this user may not. Deleting such
// a file is refused by the same rule.
bool writeProtected(const std::string &path, mode_t mode);

#endif
