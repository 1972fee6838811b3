// Equal classes across the map's range, so the histogram's bars line up with
// the legend's scale.
#include "terrain/mapFigures.h"

#include <cmath>

void areaClasses(const float *values, int cols, int rows, const double *row_area, float low, float high,
                 int classes, double *hectares) {
    for (int k = 0; k < classes; k++) hectares[k] = 0.0;
    if (classes <= 0) return;
    const double width = (static_cast<double>(high) - low) / classes;
    for (int r = 0; r < rows; r++) {
        const float *v = values + static_cast<long>(r) * cols;
        for (int c = 0; c < cols; c++) {
            if (std::isnan(v[c])) continue;
            double d = width > 0.0 ? std::floor((v[c] - static_cast<double>(low)) / width) : 0.0;
            int k = d < 0.0 ? 0 : d >= classes ? classes - 1 : static_cast<int>(d);
            hectares[k] += row_area[r] / 10000.0;
        }
    }
}
