// The measured degree days beside the model's estimate for the station's
// site (flat ground): per year with that year's calendar, and the means over
// the complete years; and the CSV that the command-line tool prints and the
// window exports. No GTK, no global state.
#ifndef VERANTA_STATION_STATIONESTIMATE_H
#define VERANTA_STATION_STATIONESTIMATE_H

#include "model/sweepSeason.h"
#include "station/stationSeasons.h"

#include <atomic>
#include <string>
#include <vector>

// The estimate is the degree days of an average season at a site of that
// irradiation and elevation in the calibrated region: the season calculator's
// figure for the site, tilt 0.
struct estimate_year {
    int year;            // the measured year
    int calendar_year;   // the year whose calendar the estimate uses: year, within 2000-2050
    slope_season season;
};

// One row of the comparison: a month of the season (1-12) or the season (0).
struct comparison_row {
    int month;
    int years;                 // complete years of the month (or season) in the file
    double measured = 0.0;     // their mean, °C·day
    double estimate = 0.0;     // the mean of the same years' estimates, °C·day
    double difference = 0.0;   // measured - estimate
    double percent = 0.0;      // of the estimate; NaN when the estimate is 0
};

struct station_comparison {
    site_location site;
    std::vector<estimate_year> years;   // as the figures' years
    std::vector<comparison_row> rows;   // the season's months, then the season
    bool clamped = false;               // some year's estimate uses 2000's or 2050's calendar
    std::string region_note;            // empty inside the calibrated region
};

// 0, or a sweep refusal (sweepSeason.h) for a site the model cannot compute,
// or SWEEP_CANCELLED when *cancel was set.
int compareWithEstimate(const station_figures &figures, const site_location &site, station_comparison *out,
                        std::atomic<bool> *cancel);

// Whether a year's month (1-12) or season (0) takes part in the comparison.
bool monthComplete(const year_figures &year, int month);
// A year's estimate for a month (1-12) or the season (0), °C·day.
double estimateOf(const estimate_year &year, int month);

// A sentence naming how far the site lies outside the calibrated region,
// or "" inside it (tilt 0).
std::string regionDistanceText(const site_location &site);

// The CSV: year,month,days,missing_days,complete,gdd_measured,gdd_estimate,
// difference, then difference_percent, rule, station and site columns,
// estimate_year, target_gdd and the season's first and last day that year
// (ISO dates), so that each row stands alone. One
// row per year and month of the season, then the year's season row, then,
// with a target, its row with the date reached (ISO) in gdd_measured.
// comparison may be null (no site): the estimate columns stay empty.
std::string stationCsv(const station_record &record, const station_figures &figures,
                       const station_comparison *comparison);

#endif
