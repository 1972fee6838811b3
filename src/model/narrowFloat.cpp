// Narrowing a double beyond the float range is undefined behaviour in C++;
// give what round-to-nearest gives instead: up to half an ulp past FLT_MAX
// rounds down to it, from there on to infinity. NaN stays NaN.
#include "model/model.h"

#include <cfloat>
#include <cmath>

float narrowFloat(double value) {
    const double overflow = static_cast<double>(FLT_MAX) + 0x1p103;
    double size = std::fabs(value);
    if (size > static_cast<double>(FLT_MAX)) {
        float big = size >= overflow ? HUGE_VALF : FLT_MAX;
        return value < 0 ? -big : big;
    }
    return static_cast<float>(value);
}
