// Degree days of a month in the northern zone from the month's irradiation x
// (MJ/m2), with the correction for the elevation relative to 116.
#include "model/gddFalls.h"
#include "model/integration.h"
#include "model/model.h"

float northGDDAt(int month, float x, float elevation) {
    // Degree days per metre of elevation above the base, by month (a
    // temperature lapse with height).
    static const float k[12] = {0.0f,      -0.016221f, -0.092232f, -0.12081f,
                                -0.13742f, -0.19295f,  -0.26874f,  -0.24694f,
                                -0.14155f, -0.062668f, -0.037714f, 0.0f};
    float gdd = gddPolynomial(gddPolynomialIndex(1, month, x), x);

    // Callers only pass 1..12; any other month gets no correction rather
    // than a read past the table.
    if (month >= 1 && month <= 12) {
        float above = elevation - 116.0f;
        float correction = k[month - 1] * above;
        gdd = gdd + correction;
    }
    return gdd < 0.0f ? 0.0f : gdd;
}
