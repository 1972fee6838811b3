// The months of a season whose degree days come from a falling range of the
// polynomial their zone uses for them. A month the season takes only part of
// gets its share of the whole month's degree days, so the whole month's
// irradiation decides, not the part's.
#include "model/seasonRanking.h"

void seasonFallingMonths(const gdd_falls *falls, const slope_season *season, int zone, bool falling[12]) {
    for (int m = 0; m < 12; m++) {
        float x = season->month_whole_irradiation[m];
        falling[m] = x > 0.0f && gddFalls(falls, zone, m + 1, x);
    }
}
