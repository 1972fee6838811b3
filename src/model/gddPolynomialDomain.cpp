// The irradiation a polynomial is used for, within 0 to GDD_SEARCH_LIMIT: a
// first-half branch only on its side of the zone's threshold.
#include "model/gddFalls.h"

void gddPolynomialDomain(int polynomial, double *low, double *high) {
    *low = 0.0;
    *high = GDD_SEARCH_LIMIT;
    if (polynomial == GDD_NORTH_FIRST_LOW) *high = 637.2;
    if (polynomial == GDD_NORTH_FIRST_HIGH) *low = 637.2;
    if (polynomial == GDD_SOUTH_FIRST_LOW) *high = 712.99;
    if (polynomial == GDD_SOUTH_FIRST_HIGH) *low = 712.99;
}
