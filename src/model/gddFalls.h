// The six degree-day polynomials (two zones; the first half-year in two
// branches split at a threshold, the second half-year in one) and where each
// falls as irradiation rises. There the formula gives fewer degree days for
// more sun, so such months are compared by irradiation, not degree days.
// No shared state: safe to call from any thread.
#ifndef VERANTA_MODEL_GDDFALLS_H
#define VERANTA_MODEL_GDDFALLS_H

enum gdd_polynomial {
    GDD_NORTH_FIRST_LOW,    // months 1-6, x < 637.2
    GDD_NORTH_FIRST_HIGH,   // months 1-6, x >= 637.2
    GDD_NORTH_SECOND,       // months 7-12
    GDD_SOUTH_FIRST_LOW,    // months 1-6, x < 712.99
    GDD_SOUTH_FIRST_HIGH,   // months 1-6, x >= 712.99
    GDD_SOUTH_SECOND,       // months 7-12
    GDD_POLYNOMIALS
};

// Irradiation searched, MJ/m2: more than any clear-sky month on any slope.
const double GDD_SEARCH_LIMIT = 2000.0;
enum { GDD_MAX_FALLS = 4 };

// A falling range [low, high) in MJ/m2; high is HUGE_VAL when the
// polynomial still falls at the search limit.
struct gdd_range { double low, high; };
struct gdd_falls {
    int count[GDD_POLYNOMIALS];
    gdd_range range[GDD_POLYNOMIALS][GDD_MAX_FALLS];
};

// The polynomial's value (no elevation correction, negative values kept).
float gddPolynomial(int polynomial, float x);
// The polynomial the zone (1 north, 2 south) uses for the month and x; -1
// for no zone.
int gddPolynomialIndex(int zone, int month, float x);
// Where the polynomial applies, within 0 to GDD_SEARCH_LIMIT.
void gddPolynomialDomain(int polynomial, double *low, double *high);
// Every falling range of every polynomial, within its domain.
void findGddFalls(gdd_falls *out);
// True when the month's value x lies in a falling range of the polynomial
// that the zone uses for it.
bool gddFalls(const gdd_falls *falls, int zone, int month, float x);

// The zone whose polynomials a latitude takes: 1 north of 43.7, else 2.
int gddZone(float latitude);

#endif
