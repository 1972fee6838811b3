// Where each degree-day polynomial falls as irradiation rises, found from its
// values: a scan in steps of 1 MJ/m2 brackets each turning point, and a
// ternary search on the values themselves places it (to about 0.01 MJ/m2,
// the float results' own resolution there).
#include "model/gddFalls.h"

#include <cmath>

namespace {

float at(int polynomial, double x) { return gddPolynomial(polynomial, static_cast<float>(x)); }

// The extremum in [a, b]: a maximum when the values rise then fall.
double turningPoint(int polynomial, double a, double b, bool maximum) {
    for (int i = 0; i < 80 && b - a > 1e-4; i++) {
        double m1 = a + (b - a) / 3.0, m2 = b - (b - a) / 3.0;
        float f1 = at(polynomial, m1), f2 = at(polynomial, m2);
        if (maximum ? f1 < f2 : f1 > f2)
            a = m1;
        else
            b = m2;
    }
    return 0.5 * (a + b);
}

}  // namespace

void findGddFalls(gdd_falls *out) {
    for (int p = 0; p < GDD_POLYNOMIALS; p++) {
        double low, high;
        gddPolynomialDomain(p, &low, &high);
        int count = 0;
        bool falling = false;
        double start = low;
        for (double x = low; x < high; x += 1.0) {
            double next = std::fmin(x + 1.0, high);
            bool falls = at(p, next) < at(p, x);
            if (falls == falling) continue;
            // The turn lies within a step of x, on the domain.
            double edge = x == low ? low : turningPoint(p, std::fmax(low, x - 1.0), next, falls);
            if (falls) {
                start = edge;
            } else if (count < GDD_MAX_FALLS) {
                out->range[p][count++] = {start, edge};
            }
            falling = falls;
        }
        // Still falling at the top: the range stays open.
        if (falling && count < GDD_MAX_FALLS) out->range[p][count++] = {start, high};
        if (falling && high >= GDD_SEARCH_LIMIT) out->range[p][count - 1].high = HUGE_VAL;
        out->count[p] = count;
    }
}
