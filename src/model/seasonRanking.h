// Ranking a season's slopes by one measure: the season's clear-sky
// irradiation or its degree days. They need not agree: where the degree-day
// formula falls with more sun, the sunniest slope is not the one with the
// most degree days.
#ifndef VERANTA_MODEL_SEASONRANKING_H
#define VERANTA_MODEL_SEASONRANKING_H

#include "model/gddFalls.h"
#include "model/sweepSeason.h"

enum season_measure { BY_IRRADIATION, BY_DEGREE_DAYS };

// The season's irradiation (MJ/m2) or degree days.
float seasonMeasure(const slope_season *season, season_measure by);

// The index of the first of count seasons with the most of the measure, and
// the measure's lowest and highest value; -1 for no seasons.
int bestSeason(const slope_season *seasons, int count, season_measure by, float *low, float *high);

// Which months of a season (index 0 = January) lie where the zone's formula
// gives fewer degree days for more sun (falls from findGddFalls), judged by
// the whole month's irradiation that the degree days come from; months with
// no irradiation are not.
void seasonFallingMonths(const gdd_falls *falls, const slope_season *season, int zone, bool falling[12]);

#endif
