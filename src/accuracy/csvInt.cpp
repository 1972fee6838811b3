// A table field read as an integer only when the whole field is an optional
// sign and decimal digits within the int range.
#include "accuracy/accuracy.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

bool csvInt(const std::string &field, int *value) {
    std::size_t digits = (!field.empty() && (field[0] == '-' || field[0] == '+')) ? 1 : 0;
    if (digits == field.size()) return false;
    for (std::size_t i = digits; i < field.size(); i++) {
        if (field[i] < '0' || field[i] > '9') return false;
    }
    errno = 0;
    long long read = std::strtoll(field.c_str(), nullptr, 10);
    if (errno == ERANGE || read < INT_MIN || read > INT_MAX) return false;
    *value = static_cast<int>(read);
    return true;
}
