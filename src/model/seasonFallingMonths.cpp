// The months of a season whose irradiation lies in a falling range of the
// polynomial their zone uses for them.
#include "model/seasonRanking.h"

void seasonFallingMonths(const gdd_falls *falls, const slope_season *season, int zone, bool falling[12]) {
    for (int m = 0; m < 12; m++) {
        float x = season->month_irradiation[m];
        falling[m] = x > 0.0f && gddFalls(falls, zone, m + 1, x);
    }
}
