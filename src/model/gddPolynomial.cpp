// The value of one of the six degree-day polynomials at a month's
// irradiation x (MJ/m2), before the elevation correction and before negative
// values are cut to 0. The grouping and the precision of every operation are
// those the regression was fitted with; changing either moves the displayed
// hundredths.
#include "model/gddFalls.h"

#include <cmath>

float gddPolynomial(int polynomial, float x) {
    const double xd = static_cast<double>(x);
    switch (polynomial) {
        case GDD_NORTH_FIRST_LOW:
            return (-13.975f + 0.10023f * x) + ((1.5769e-4f * x) * x);
        case GDD_NORTH_FIRST_HIGH: {
            float low = (57.618f + -0.98467f * x) + ((0.0055579f * x) * x);
            double sum = static_cast<double>(low);
            sum = sum + static_cast<double>(-1.0617e-5f) * std::pow(xd, 3.0);
            sum = sum + static_cast<double>(7.1208e-9f) * std::pow(xd, 4.0);
            return static_cast<float>(sum);
        }
        case GDD_NORTH_SECOND: {
            float low = (-51.943f + 0.40056f * x) + ((0.0011463f * x) * x);
            double sum = static_cast<double>(low);
            sum = sum + static_cast<double>(-1.4594e-6f) * std::pow(xd, 3.0);
            return static_cast<float>(sum);
        }
        case GDD_SOUTH_FIRST_LOW: {
            float low = (-88.658f + 0.80834f * x) + ((-0.001587f * x) * x);
            double sum = static_cast<double>(low);
            sum = sum + static_cast<double>(1.3977e-6f) * std::pow(xd, 3.0);
            return static_cast<float>(sum);
        }
        case GDD_SOUTH_FIRST_HIGH:
            return -1568.5f + 2.4629f * x;
        case GDD_SOUTH_SECOND: {
            float low = (141.06f + -3.2648f * x) + ((0.023786f * x) * x);
            double sum = static_cast<double>(low);
            sum = sum + static_cast<double>(-6.109e-5f) * std::pow(xd, 3.0);
            sum = sum + static_cast<double>(7.084e-8f) * std::pow(xd, 4.0);
            sum = sum + static_cast<double>(-3.1199e-11f) * std::pow(xd, 5.0);
            return static_cast<float>(sum);
        }
        default:
            return 0.0f;
    }
}
