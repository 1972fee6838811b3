#include "slopes/slopes.h"

#include <cmath>

void sl_SlopePlace(const sl_compass_layout *l, float aspect, float tilt, double *x, double *y) {
    double a = aspect, t = tilt;
    if (t < 0.0) {
        t = -t;
        a += 180.0;
    }
    double r = std::fmin(t / 2.5 * l->band, l->radius);
    double rad = a * G_PI / 180.0;
    *x = l->cx + r * std::sin(rad);
    *y = l->cy - r * std::cos(rad);
}
