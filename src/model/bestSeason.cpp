// The best of a set of seasons by one measure (its irradiation or its
// degree days); ties go to the first, so the choice does not depend on
// anything but the order given.
#include "model/seasonRanking.h"

float seasonMeasure(const slope_season *season, season_measure by) {
    return by == BY_IRRADIATION ? season->season_irradiation : season->season_degree_days;
}

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
