// Which polynomial a zone's degree days take for a month and irradiation:
// the second-half one after June, else the threshold (compared in double
// precision, the high branch from its value on) decides.
#include "model/gddFalls.h"

int gddPolynomialIndex(int zone, int month, float x) {
    const double xd = static_cast<double>(x);
    if (zone == 1) return month > 6 ? GDD_NORTH_SECOND : xd < 637.2 ? GDD_NORTH_FIRST_LOW : GDD_NORTH_FIRST_HIGH;
    if (zone == 2) return month > 6 ? GDD_SOUTH_SECOND : xd < 712.99 ? GDD_SOUTH_FIRST_LOW : GDD_SOUTH_FIRST_HIGH;
    return -1;
}
