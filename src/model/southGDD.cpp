// Degree days of a month in the southern zone from the month's irradiation x
// (MJ/m2); no elevation correction.
#include "model/gddFalls.h"
#include "model/model.h"

float southGDD(int month, float x) {
    float gdd = gddPolynomial(gddPolynomialIndex(2, month, x), x);
    return gdd < 0.0f ? 0.0f : gdd;
}
