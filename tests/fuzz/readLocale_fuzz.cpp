// libFuzzer target: any content of locale.txt is read without a crash, a
// leak or undefined behaviour, repeatably, and with the values that the read
// rule, written out here a second way on the raw bytes, gives.
#include "location/readLocale.h"
#include "model/model.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Pieces of at most 127 bytes that end after a line feed, each read as text
// up to its first NUL; the keyword is the first three characters; the value
// follows the first space from the fourth character on, and any spaces after.
void expected(const uint8_t *data, size_t size, float values[5]) {
    static const char *const keywords[5] = {"lat", "lon", "ele", "asp", "til"};
    size_t pos = 0;
    while (pos < size) {
        size_t end = pos;
        while (end < size && end - pos < 127) {
            if (data[end++] == '\n') break;
        }
        std::string piece(reinterpret_cast<const char *>(data + pos), end - pos);
        pos = end;
        piece = piece.substr(0, piece.find('\0'));
        for (int k = 0; k < 5; k++) {
            if (piece.size() < 3 || piece.compare(0, 3, keywords[k]) != 0) continue;
            size_t space = piece.find(' ', 3);
            std::string value = space == std::string::npos ? "" : piece.substr(space + 1);
            size_t first = value.find_first_not_of(' ');
            value = first == std::string::npos ? "" : value.substr(first);
            values[k] = narrowFloat(std::strtod(value.c_str(), nullptr));
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *file = std::fopen("locale.txt", "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    if (std::fclose(file) != 0) std::abort();

    active_latitude = active_longitude = active_elev = active_aspect = active_tilt = 7.0f;
    haveprefs = 0;
    readLocale();
    if (haveprefs != 1) std::abort();

    // A second reading from the same start gives the very same values.
    float first[5] = {active_latitude, active_longitude, active_elev, active_aspect, active_tilt};
    active_latitude = active_longitude = active_elev = active_aspect = active_tilt = 7.0f;
    readLocale();
    float second[5] = {active_latitude, active_longitude, active_elev, active_aspect, active_tilt};
    float model[5] = {7.0f, 7.0f, 7.0f, 7.0f, 7.0f};
    expected(data, size, model);
    for (int i = 0; i < 5; i++) {
        if (!same(first[i], second[i])) std::abort();
        if (!same(first[i], model[i]) && !(first[i] != first[i] && model[i] != model[i])) std::abort();
    }
    return 0;
}
