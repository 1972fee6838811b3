// The date a season reaches a degree-day target: each day gets its share of
// its month's degree days by the one-day calculator's rule, and the first day
// whose running total reaches the target is the date. One procedure on a
// surface's daily irradiation, shared by the slope sweep and the map's cell
// loop as seasonFromDays is, so the two give the same day; and the date as
// the windows and files say it. No shared state: safe from any thread.
#ifndef VERANTA_MODEL_DEGREEDAYTARGET_H
#define VERANTA_MODEL_DEGREEDAYTARGET_H

#include "model/sweepSeason.h"

#include <string>

// A day's degree days as the one-day calculator gives them: the day's share
// of its whole month's irradiation (MJ/m2) times the whole month's degree
// days (zoneGDD), in single precision; 0 when the month gets no more than
// 0.01 MJ/m2.
float dayDegreeDays(float day_irradiation, float month_irradiation, float month_degree_days);

// The day of the season's year (1 = 1 January) whose running total of
// degree days, from the season's first day, first reaches target (is at
// least target), for each of count surfaces: days[i], 0 when the season ends
// first. The days' degree days are dayDegreeDays of whole months, added in
// single precision in day order. daily holds every day of the season's
// months, day-major as the sweep and the cell loop keep them: surface i's
// irradiation (MJ/m2) on day d at daily[d * count + i]; elevation[i] is its
// elevation in metres, zone and lengths as seasonFromDays takes them. A
// target of 0 or less is reached on the first day; one that is not a number
// never.
void targetDaysFromDays(const season_range *season, const int lengths[12], int zone, const float *elevation,
                        const float *daily, int count, double target, int *days);

// Day (1..31) and month (1..12) of a day of the year; false for a day
// outside the year.
bool dateOfYearDay(int year, int day_of_year, int *day, int *month);

// "14 August" for a day of the year, "not reached in this season" for 0;
// empty for a day outside the year.
std::string targetDateText(int year, int day_of_year);
// "2024-08-14" (ISO 8601), for files; empty for 0 or a day outside the year.
std::string targetIsoDate(int year, int day_of_year);

#endif
