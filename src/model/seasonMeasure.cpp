#include "model/seasonRanking.h"

float seasonMeasure(const slope_season *season, season_measure by) {
    return by == BY_IRRADIATION ? season->season_irradiation : season->season_degree_days;
}
