// Value of one locale.txt line ("keyword   value ..."). The line is rewritten
// in place to start at the value; only a space separates keyword and value,
// and the first three characters always belong to the keyword.
#include "model/model.h"

#include <cstdlib>
#include <cstring>

float getDescriptor(char *line) {
    if (line == nullptr) return 0.0f;
    std::size_t n = std::strlen(line);

    // Every index is kept at or below n, so a short line, one without a
    // space or one of spaces only never takes us past its terminator.
    std::size_t i = n < 3 ? n : 3;
    while (i < n && line[i] != ' ') i++;
    std::size_t j = i < n ? i + 1 : n;
    while (j < n && line[j] == ' ') j++;
    std::memmove(line, line + j, n - j + 1);

    double value = std::atof(line);
    return narrowFloat(value);
}
