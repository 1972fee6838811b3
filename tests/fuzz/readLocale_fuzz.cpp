// libFuzzer target: any content of locale.txt is read without a crash, a
// leak or undefined behaviour, and reading it is repeatable.
#include "location/readLocale.h"
#include "model/model.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

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
    for (int i = 0; i < 5; i++) {
        if (!same(first[i], second[i])) std::abort();
    }
    return 0;
}
