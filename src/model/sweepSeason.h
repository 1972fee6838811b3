// A season's irradiation and degree days for many slopes of one site at once,
// without the shared calculation state: safe to call from any thread. The
// days are the site's own, on the clock of the standard zone nearest its
// longitude (siteZone in integration.h).
#ifndef VERANTA_MODEL_SWEEPSEASON_H
#define VERANTA_MODEL_SWEEPSEASON_H

#include <atomic>

struct site_location { float latitude; float longitude; float elevation; };  // west negative
struct season_range { int year; int start_day; int start_month; int stop_day; int stop_month; };
struct slope { float aspect; float tilt; };

// The months of a season with their first and last days, as the season
// window steps through them: the first month from the start day, the last up
// to the stop day, the others whole; their count (0 for a season without
// months in order).
int seasonMonths(const season_range *season, int months[12], int first[12], int last[12]);
struct slope_season {
    float month_irradiation[12];   // MJ/m2, index 0 = January; 0 for months outside the season
    float month_degree_days[12];
    // MJ/m2 of the whole month, which its degree days are computed from (the
    // regression takes whole months): more than month_irradiation where the
    // season takes only part of the month.
    float month_whole_irradiation[12];
    float season_irradiation;      // the months summed in month order
    float season_degree_days;
};

// 0 on success; non-zero, with nothing written, for an input it cannot compute
// (no season by sweepSeasonCheck, a site the engine refuses, count < 0).
int sweepSeason(const site_location *site, const season_range *season,
                const slope *slopes, int count, slope_season *results);

// Progress and cancellation for a sweep run on a worker. days_total is set
// before any day is integrated, days_done counts integrated days as they
// finish (from any of the sweep's threads); setting cancel makes the sweep
// stop soon and return non-zero with nothing written.
struct sweep_control {
    std::atomic<int> days_total{0};
    std::atomic<int> days_done{0};
    std::atomic<bool> cancel{false};
};

// sweepSeason with progress and cancellation; control may be null.
int sweepSeasonControlled(const site_location *site, const season_range *season,
                          const slope *slopes, int count, slope_season *results,
                          sweep_control *control);

// Why a sweep returned non-zero. The season's checks (sweepSeasonCheck) are
// the season window's, except that a season may start and end in one month.
enum sweep_refusal {
    SWEEP_BAD_ARGUMENTS = 1,    // a null pointer, or count < 0
    SWEEP_BAD_START_DAY = 2,    // no such day in the start month
    SWEEP_BAD_STOP_DAY = 3,     // no such day in the stop month
    SWEEP_BAD_YEAR = 4,         // outside 2000-2050
    SWEEP_BAD_MONTH_ORDER = 5,  // the season ends before it starts
    SWEEP_BAD_SITE = 6,         // not finite, or refused by the engine
    SWEEP_BAD_SLOPE = 7,        // not finite, or refused by the engine
    SWEEP_CANCELLED = 8,
    SWEEP_NO_MEMORY = 9,
    SWEEP_BAD_MONTH = 10,       // a start or stop month outside 1-12
};

// 0 for a season of whole days in order within one year, else its refusal,
// checked in this order: the year, the months, the start day, the stop day,
// the order; lengths gets the year's month lengths once the months are known.
int sweepSeasonCheck(const season_range *season, int lengths[12]);

// sweepSeasonControlled on at most threads threads (below 1 counts as 1);
// the results do not depend on the number. The others use one per core.
int sweepSeasonThreads(const site_location *site, const season_range *season, const slope *slopes, int count,
                       slope_season *results, sweep_control *control, int threads);

// sweepSeasonThreads, the same results to the bit, and for each slope the day
// its degree days reach target (degC degree days): target_days[i] is the day
// of the season's year (1 = 1 January) on which the running total of
// slopes[i]'s days first reaches it, 0 when the season ends first
// (targetDaysFromDays in degreeDayTarget.h). Nothing is written on a refusal.
int sweepSeasonToTarget(const site_location *site, const season_range *season, const slope *slopes, int count,
                        double target, slope_season *results, int *target_days, sweep_control *control,
                        int threads);

#endif
