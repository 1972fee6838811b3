// Opened with O_NONBLOCK, so a FIFO does not wait for a writer, and checked
// with fstat before a byte is read, so a device such as /dev/zero is never
// read at all. A regular file is read only up to the caller's limit.
#include "model/readRegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// read() that carries on after a signal; -1 with errno on failure.
ssize_t readSome(int fd, char *buffer, std::size_t size) {
    ssize_t n;
    do {
        n = read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

}  // namespace

int readRegularFile(const char *path, std::size_t limit, char **data, std::size_t *length, bool *more) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        return kNotRegularFile;
    }

    // Sized by the file, one byte over so that the end shows without a
    // second buffer; grown only for a file that grew since, so a small file
    // read with a generous limit takes little memory.
    std::size_t capacity = limit;
    if (st.st_size >= 0 && static_cast<std::uintmax_t>(st.st_size) < limit) {
        capacity = static_cast<std::size_t>(st.st_size) + 1;
    }
    char *buffer = static_cast<char *>(std::malloc(capacity + 1));
    if (buffer == nullptr) {
        close(fd);
        return ENOMEM;
    }
    std::size_t total = 0;
    while (total < limit) {
        if (total == capacity) {
            std::size_t grown = capacity > limit / 2 ? limit : std::max<std::size_t>(capacity * 2, 4096);
            if (grown > limit) grown = limit;
            char *larger = static_cast<char *>(std::realloc(buffer, grown + 1));
            if (larger == nullptr) {
                std::free(buffer);
                close(fd);
                return ENOMEM;
            }
            buffer = larger;
            capacity = grown;
        }
        ssize_t n = readSome(fd, buffer + total, capacity - total);
        if (n < 0) {
            int error = errno;
            std::free(buffer);
            close(fd);
            return error;
        }
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    // The size fstat gave may be out of date; one more byte tells for sure.
    char probe;
    bool beyond = total == limit && readSome(fd, &probe, 1) > 0;
    close(fd);

    buffer[total] = '\0';
    *data = buffer;
    *length = total;
    *more = beyond;
    return 0;
}
