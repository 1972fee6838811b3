// Degree days of a month in the northern zone from the month's irradiation x
// (MJ/m2), with the correction for the elevation relative to 116. The grouping and
// the precision of every operation are those the regression was fitted with;
// changing either moves the displayed hundredths.
#include "model/integration.h"
#include "model/model.h"

#include <cmath>

float northGDDAt(int month, float x, float elevation) {
    // Degree days per unit of elevation above the base, by month.
    static const float k[12] = {0.0f,      -0.016221f, -0.092232f, -0.12081f,
                                -0.13742f, -0.19295f,  -0.26874f,  -0.24694f,
                                -0.14155f, -0.062668f, -0.037714f, 0.0f};
    const double xd = static_cast<double>(x);
    float gdd;
    if (month > 6) {
        float low = (-51.943f + 0.40056f * x) + ((0.0011463f * x) * x);
        double sum = static_cast<double>(low);
        sum = sum + static_cast<double>(-1.4594e-6f) * std::pow(xd, 3.0);
        gdd = static_cast<float>(sum);
    } else if (xd < 637.2) {
        gdd = (-13.975f + 0.10023f * x) + ((1.5769e-4f * x) * x);
    } else {
        float low = (57.618f + -0.98467f * x) + ((0.0055579f * x) * x);
        double sum = static_cast<double>(low);
        sum = sum + static_cast<double>(-1.0617e-5f) * std::pow(xd, 3.0);
        sum = sum + static_cast<double>(7.1208e-9f) * std::pow(xd, 4.0);
        gdd = static_cast<float>(sum);
    }

    // Callers only pass 1..12; any other month gets no correction rather
    // than a read past the table.
    if (month >= 1 && month <= 12) {
        float above = elevation - 116.0f;
        float correction = k[month - 1] * above;
        gdd = gdd + correction;
    }
    return gdd < 0.0f ? 0.0f : gdd;
}
