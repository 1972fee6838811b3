// Measured degree days of a station's daily temperatures by a stated rule:
// each year's season month by month, the day a target is reached, and the
// figures across the complete years. No GTK, no global state.
#ifndef VERANTA_STATION_STATIONSEASONS_H
#define VERANTA_STATION_STATIONSEASONS_H

#include "station/stationRecord.h"

#include <string>
#include <vector>

enum gdd_rule {
    GDD_CAPPED,   // max(0, (min(Tmax, 30) + Tmin) / 2 - 10): the rule the estimate's formulas were fitted with
    GDD_NO_CAP,   // max(0, (Tmax + Tmin) / 2 - 10): the Winkler convention
};

// "base 10 °C, daily maximum capped at 30 °C" or "base 10 °C, no cap (Winkler)".
const char *gddRuleName(gdd_rule rule);
// The same in ASCII, for exports: "base 10 degC, daily maximum capped at 30 degC".
const char *gddRuleAscii(gdd_rule rule);

// One day's degree days (°C·day above 10 °C); NaN when either value is missing.
double dayDegreeDays(double tmax, double tmin, gdd_rule rule);

// A season as day and month to day and month, the same in every year.
struct station_season {
    int start_day = 1, start_month = 4, stop_day = 31, stop_month = 10;
};
// The checks of the season entries everywhere else (the last month after
// the first, the days in their months, 29 February allowed): true, or false
// with *why, one sentence.
bool checkStationSeason(const station_season &season, std::string *why);
// The season's first and last day in a given year: 29 February is 28
// February in other years.
void seasonDays(const station_season &season, int year, int *start_day, int *stop_day);

// More missing days than this make a month incomplete.
constexpr int kMostMissingDays = 3;

struct month_figures {
    int month;         // 1-12
    int days;          // days of the month within the season
    int missing;       // of them, without a maximum or minimum
    bool complete;     // missing <= kMostMissingDays
    double gdd;        // summed over the days present, °C·day
};

struct year_figures {
    int year;
    std::vector<month_figures> months;   // the season's months in order
    int days = 0, missing = 0;
    bool complete = false;               // every month of the season complete
    double gdd = 0.0;
    // The running season total at the end of each day of the season; a
    // missing day adds nothing.
    std::vector<double> running;
    // The first day whose running total reaches the target: its index in
    // running, or -1; its date, and the missing days up to it.
    int reached = -1;
    int reached_month = 0, reached_day = 0, missing_to_reached = 0;
};

struct station_figures {
    gdd_rule rule = GDD_CAPPED;
    station_season season;
    double target = 0.0;          // °C·day; 0 for none
    std::vector<year_figures> years;
    // Across the complete years (seasons with every month complete).
    int complete_years = 0;
    double mean = 0.0, lowest = 0.0, highest = 0.0;
    int lowest_year = 0, highest_year = 0;
    int reached_years = 0;        // of the complete years, those whose season reached the target
};

// The figures of every year from the first to the last with a day of the
// season in the record. The season must pass checkStationSeason.
station_figures measureSeasons(const station_record &record, const station_season &season, gdd_rule rule,
                               double target);

// "in 7 of 9 complete years the season reached 1200 degree days (base 10 °C, …)"
// and the like: the across-years sentence the window and notes show.
std::string acrossYearsText(const station_figures &figures);

#endif
