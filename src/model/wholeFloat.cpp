// An entry's text read as a real number only when, apart from white space
// around it, the whole text is that one number: "44,13" or "44°N" must not
// quietly become 44. The value is the one atof gives, narrowed to single
// precision, and it must be finite there.
#include "model/model.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

bool wholeFloat(const char *text, float *value) {
    if (text == nullptr) return false;
    char *end = nullptr;
    double read = std::strtod(text, &end);
    if (end == text) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (*end != '\0') return false;
    float narrowed = narrowFloat(read);
    if (!std::isfinite(narrowed)) return false;
    *value = narrowed;
    return true;
}
