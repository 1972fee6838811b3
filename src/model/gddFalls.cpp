// Does a month's value lie where its zone's polynomial falls as irradiation
// rises: more sun, fewer degree days? And which zone's polynomials a
// latitude takes.
#include "model/gddFalls.h"

bool gddFalls(const gdd_falls *falls, int zone, int month, float x) {
    int p = gddPolynomialIndex(zone, month, x);
    if (p < 0) return false;
    const double xd = static_cast<double>(x);
    for (int i = 0; i < falls->count[p]; i++)
        if (xd >= falls->range[p][i].low && xd < falls->range[p][i].high) return true;
    return false;
}

// The regression zone of a latitude, compared in double precision.
int gddZone(float latitude) { return static_cast<double>(latitude) > 43.7 ? 1 : 2; }
