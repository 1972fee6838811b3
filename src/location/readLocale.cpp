// Reads the stored site from locale.txt. The location panel and both
// calculators call this, so all three see the file the same way.
#include "location/readLocale.h"

#include "model/model.h"
#include "model/readRegularFile.h"

#include <cstdlib>
#include <cstring>

namespace {

// A site file is five short lines; what lies beyond this is never looked at,
// so a huge (or sparse) file costs no more than a small one.
const std::size_t kLocaleLimit = 64 * 1024;

void classify(char *line) {
    if (std::strncmp(line, "lat", 3) == 0) {
        active_latitude = getDescriptor(line);
    } else if (std::strncmp(line, "lon", 3) == 0) {
        active_longitude = getDescriptor(line);
    } else if (std::strncmp(line, "ele", 3) == 0) {
        active_elev = getDescriptor(line);
    } else if (std::strncmp(line, "asp", 3) == 0) {
        active_aspect = getDescriptor(line);
    } else if (std::strncmp(line, "til", 3) == 0) {
        active_tilt = getDescriptor(line);
    }
}

}  // namespace

void readLocale(void) {
    // Anything but a regular file (a FIFO, a device, a folder) counts as a
    // file that cannot be opened.
    char *text = nullptr;
    std::size_t length = 0;
    bool more = false;
    if (readRegularFile("locale.txt", kLocaleLimit, &text, &length, &more) != 0) {
        haveprefs = 0;
        return;
    }
    haveprefs = 1;

    // Cut as fgets with a buffer of 128 would cut it: a line longer than 127
    // characters arrives in pieces of at most 127, each classified as a line
    // of its own. A NUL byte ends the text of a piece as far as the
    // classification and the value are concerned.
    char line[128];
    std::size_t pos = 0;
    while (pos < length) {
        std::size_t n = 0;
        while (n < sizeof line - 1 && pos < length) {
            char c = text[pos++];
            line[n++] = c;
            if (c == '\n') break;
        }
        line[n] = '\0';
        classify(line);
    }
    std::free(text);
}
