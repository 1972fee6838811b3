// The date a season reaches a degree-day target: each day gets its share of
// its month's degree days by the one-day calculator's rule, and the first day
// whose running total reaches the target is the date. One procedure on a
// surface's daily irradiation, shared by the slope sweep and the map's cell
// loop as seasonFromDays is, so the two give the same day; and the date as
// the windows and files say it. No shared state: safe from any thread.
#ifndef VERANTA_MODEL_DEGREEDAYTARGET_H
#define VERANTA_MODEL_DEGREEDAYTARGET_H

#include "model/sweepSeason.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The running degree days of groups of surfaces (a parcel's blocks): for
// each group and each day of the season, the sum of its surfaces' running
// totals from the season's first day, and how many surfaces it holds. The
// sums are kept in fixed point (2^-64 degree days; a total below 2^-41 loses
// its last bits), so that adding surfaces in any order, on any number of
// threads or in any pieces gives the same bits, and a group's mean is that
// of its surfaces' own single-precision totals.
class group_running {
public:
    group_running() = default;
    // groups numbered 1..groups, days the season's (seasonDays).
    group_running(int groups, int days);
    int groups() const { return groups_; }
    int days() const { return days_; }
    // Surface i of group[i] (1..groups; any other number is left out) with
    // its running totals day-major (running[k * count + i] after the
    // season's day k, 0 = its first).
    void add(const std::int32_t *group, const float *running, int count);
    // Adds another's surfaces, of the same days: its group g as this one's
    // group as[g - 1] (as null: as g); a group beyond this one's is left out.
    void merge(const group_running &other, const std::int32_t *as = nullptr);
    long surfaces(int group) const;
    // The group's mean running total after the season's day k, degC degree
    // days; NaN for a group without surfaces.
    double mean(int group, int k) const;
    // The day of the season's year (1 = 1 January) on which the group's
    // mean first reaches target, as targetDaysFromDays judges a surface; 0
    // when the season ends first, -1 for a group without surfaces.
    int reachDay(int group, double target, const season_range *season) const;

private:
    int groups_ = 0;
    int days_ = 0;
    std::vector<__int128> sums_;   // (group - 1) * days + day
    std::vector<long> surfaces_;
    std::vector<unsigned char> broken_;   // a total that was not finite
};

// The season's own days (not the rest of its months); 0 for a season
// sweepSeasonCheck refuses.
int seasonDays(const season_range *season);

// targetDaysFromDays, and when running is not null each surface's running
// totals added to its group's (group[i] for surface i).
void targetDaysFromDaysInGroups(const season_range *season, const int lengths[12], int zone, const float *elevation,
                                const float *daily, int count, double target, int *days,
                                const std::int32_t *group, group_running *running);

// Day (1..31) and month (1..12) of a day of the year; false for a day
// outside the year.
bool dateOfYearDay(int year, int day_of_year, int *day, int *month);

// "14 August" for a day of the year, "not reached in this season" for 0;
// empty for a day outside the year.
std::string targetDateText(int year, int day_of_year);
// "2024-08-14" (ISO 8601), for files; empty for 0 or a day outside the year.
std::string targetIsoDate(int year, int day_of_year);

#endif
