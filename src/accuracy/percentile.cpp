// The value at index floor(p * (n - 1)) of the sorted values: no
// interpolation, so every figure is one that was actually measured.
#include "accuracy/accuracy.h"

#include <algorithm>
#include <cmath>

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    double at = std::floor(p * static_cast<double>(values.size() - 1));
    std::size_t index = at <= 0 ? 0 : static_cast<std::size_t>(at);
    return values[std::min(index, values.size() - 1)];
}
