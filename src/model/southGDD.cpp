// Degree days of a month in the southern zone from the month's irradiation x
// (MJ/m2); no elevation correction. Grouping and precision as fitted.
#include "model/model.h"

#include <cmath>

float southGDD(int month, float x) {
    const double xd = static_cast<double>(x);
    float gdd;
    if (month > 6) {
        float low = (141.06f + -3.2648f * x) + ((0.023786f * x) * x);
        double sum = static_cast<double>(low);
        sum = sum + static_cast<double>(-6.109e-5f) * std::pow(xd, 3.0);
        sum = sum + static_cast<double>(7.084e-8f) * std::pow(xd, 4.0);
        sum = sum + static_cast<double>(-3.1199e-11f) * std::pow(xd, 5.0);
        gdd = static_cast<float>(sum);
    } else if (xd < 712.99) {
        float low = (-88.658f + 0.80834f * x) + ((-0.001587f * x) * x);
        double sum = static_cast<double>(low);
        sum = sum + static_cast<double>(1.3977e-6f) * std::pow(xd, 3.0);
        gdd = static_cast<float>(sum);
    } else {
        gdd = -1568.5f + 2.4629f * x;
    }
    return gdd < 0.0f ? 0.0f : gdd;
}
