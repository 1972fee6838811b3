// Summed row by row in double, so a million cells add up without drift.
#include "terrain/mapFigures.h"

#include <cmath>

threshold_area thresholdArea(const float *values, int cols, int rows, const double *row_area, float threshold) {
    threshold_area a{0.0, 0.0};
    for (int r = 0; r < rows; r++) {
        long valid = 0, above = 0;
        const float *v = values + static_cast<long>(r) * cols;
        for (int c = 0; c < cols; c++) {
            if (std::isnan(v[c])) continue;
            valid++;
            if (v[c] >= threshold) above++;
        }
        a.total_ha += valid * row_area[r] / 10000.0;
        a.at_least_ha += above * row_area[r] / 10000.0;
    }
    return a;
}
