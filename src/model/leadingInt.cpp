// The leading integer of an entry's text, as atoi reads it (leading white
// space, an optional sign, digits; 0 when there is none), but clamped to the
// int range instead of overflowing.
#include "model/model.h"

#include <climits>
#include <cstdlib>

int leadingInt(const char *text) {
    if (text == nullptr) return 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
