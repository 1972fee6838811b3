// A table field read as a real number only when the whole field is that one
// finite number: "12.5x", "" or "nan" would otherwise slip into the figures.
#include "accuracy/accuracy.h"

#include <cmath>
#include <cstdlib>

bool csvReal(const std::string &field, double *value) {
    if (field.empty()) return false;
    const char *text = field.c_str();
    char *end = nullptr;
    double read = std::strtod(text, &end);
    if (end != text + field.size() || !std::isfinite(read)) return false;
    *value = read;
    return true;
}
