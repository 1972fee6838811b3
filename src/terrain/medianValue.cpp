// The threshold starts at the land's median: half the land reaches it.
#include "terrain/mapFigures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

float medianValue(const float *values, long count) {
    std::vector<float> v;
    v.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; i++)
        if (!std::isnan(values[i])) v.push_back(values[i]);
    if (v.empty()) return std::numeric_limits<float>::quiet_NaN();
    auto mid = v.begin() + static_cast<long>((v.size() - 1) / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}
