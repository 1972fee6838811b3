// An entry's text read as a whole number only when, apart from white space
// around it, the whole text is that one integer: "1e38" is no day 1. The value
// is the one leadingInt gives (atoi's, clamped to the int range).
#include "model/model.h"

#include <cctype>
#include <cstdlib>

bool wholeInt(const char *text, int *value) {
    if (text == nullptr) return false;
    char *end = nullptr;
    std::strtoll(text, &end, 10);
    if (end == text) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (*end != '\0') return false;
    *value = leadingInt(text);
    return true;
}
