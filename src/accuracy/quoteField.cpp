// A table field as a message quotes it. A field may be as long as a line
// (a header of 50 MB once came back whole in a message); a few dozen
// characters say which field is meant.
#include "accuracy/accuracy.h"

std::string quoteField(const std::string &field) {
    const std::size_t shown = 60;
    if (field.size() <= shown) return "\"" + field + "\"";
    std::size_t n = shown;
    while (n > 0 && (static_cast<unsigned char>(field[n]) & 0xC0) == 0x80) n--;
    return "\"" + field.substr(0, n) + "…\"";
}
