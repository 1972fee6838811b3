// Reads the stored site from locale.txt. The location panel and both
// calculators call this, so all three see the file the same way.
#include "location/readLocale.h"

#include "model/model.h"

#include <cstdio>
#include <cstring>

void readLocale(void) {
    FILE *file = std::fopen("locale.txt", "r");
    if (file == nullptr) {
        haveprefs = 0;
        return;
    }
    haveprefs = 1;

    // A line longer than 127 characters arrives in pieces of at most 127,
    // each classified as a line of its own. A NUL byte ends the text of a
    // piece as far as the classification and the value are concerned.
    char line[128];
    while (std::fgets(line, sizeof line, file) != nullptr) {
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
    std::fclose(file);
}
