// The best of a set of seasons by one measure; ties go to the first, so the
// choice does not depend on anything but the order given.
#include "model/seasonRanking.h"

int bestSeason(const slope_season *seasons, int count, season_measure by, float *low, float *high) {
    if (count <= 0) return -1;
    int best = 0;
    *low = *high = seasonMeasure(&seasons[0], by);
    for (int i = 1; i < count; i++) {
        float value = seasonMeasure(&seasons[i], by);
        if (value > *high) {
            *high = value;
            best = i;
        }
        if (value < *low) *low = value;
    }
    return best;
}
