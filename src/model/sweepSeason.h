// A season's irradiation and degree days for many slopes of one site at once,
// without the shared calculation state: safe to call from any thread.
#ifndef VERANTA_MODEL_SWEEPSEASON_H
#define VERANTA_MODEL_SWEEPSEASON_H

#include <atomic>

struct site_location { float latitude; float longitude; float elevation; };  // west negative
struct season_range { int year; int start_day; int start_month; int stop_day; int stop_month; };
struct slope { float aspect; float tilt; };
struct slope_season {
    float month_irradiation[12];   // MJ/m2, index 0 = January; 0 for months outside the season
    float month_degree_days[12];
    float season_irradiation;      // the months summed in month order
    float season_degree_days;
};

// 0 on success; non-zero, with nothing written, for an input it cannot compute
// (no season by the season window's checks, a site the engine refuses, count < 0).
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

#endif
