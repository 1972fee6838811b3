// Reading a small file of the working folder (locale.txt, veranta.glade,
// veranta.css) without ever waiting on it: a FIFO, a device or a huge sparse
// file named like one of them must not freeze the program.
#ifndef VERANTA_MODEL_READREGULARFILE_H
#define VERANTA_MODEL_READREGULARFILE_H

#include <cstddef>

// Result of readRegularFile when the path opens but names no regular file.
constexpr int kNotRegularFile = -1;

// Opens path without blocking and, only when it is a regular file, reads at
// most limit bytes of it into a new buffer, with a NUL added after them; the
// caller releases the buffer with free(). Returns 0 with *data, *length set and *more
// telling whether the file goes on beyond the bytes read; otherwise returns
// the errno of the failed open or read, or kNotRegularFile, and leaves the
// outputs untouched.
int readRegularFile(const char *path, std::size_t limit, char **data, std::size_t *length, bool *more);

#endif
