// The slope explorer's comparison, without GTK: the slopes it compares, one
// sweep of them over a season (run on a worker), and what the window shows
// of the last finished sweep: the best slope by the chosen measure, the
// range the colours span, the selected slope and the one under the pointer;
// the Winkler region of a slope and the day it reaches a degree-day target.
#ifndef VERANTA_SLOPES_SLOPESCOMPARISON_H
#define VERANTA_SLOPES_SLOPESCOMPARISON_H

#include "model/seasonRanking.h"
#include "model/sweepSeason.h"

#include <string>

// The slopes compared: aspect every 15 degrees (24 directions) by tilt 0 to
// 30 every 2.5 degrees (13 steepnesses), index aspect * 13 + tilt, and the
// stored slope itself last.
enum {
    SLOPES_ASPECTS = 24,
    SLOPES_TILTS = 13,
    SLOPES_GRID = SLOPES_ASPECTS * SLOPES_TILTS,
    SLOPES_STORED = SLOPES_GRID,
    SLOPES_COUNT = SLOPES_GRID + 1,
};
// A grid slope's aspect and tilt, degrees.
float slopes_grid_aspect(int index);
float slopes_grid_tilt(int index);

// One sweep: its inputs, its results and its progress. The worker touches
// nothing else.
struct slopes_sweep {
    site_location site;
    season_range season;
    slope slopes[SLOPES_COUNT];
    slope_season results[SLOPES_COUNT];
    sweep_control control;
    int status;        // the sweep's return, -1 until it has run
    bool calibrated;   // the site as typed lies in the calibrated region
    // degC degree days above 10 degC each slope's season should reach; 0 for
    // none. target_days[i]: the day of the season's year slope i reaches it,
    // 0 where the season ends first (only with a target).
    double target;
    int target_days[SLOPES_COUNT];
};

// Why the solar engine cannot compute this site or slope, or null when it
// can; said before a sweep that would only fail.
const char *slopes_site_refusal(const site_location *site, const slope *stored);
// Fills the sweep's inputs: the grid slopes and the stored slope last, and
// the target (0 for none).
void slopes_sweep_prepare(slopes_sweep *sweep, const site_location *site, const season_range *season,
                          const slope *stored, bool calibrated, double target = 0.0);
// Runs the sweep (on the caller's thread); control.cancel stops it soon.
// With a target, each slope's day comes from the very days its season is
// formed from (sweepSeasonToTarget); the seasons are the same to the bit.
void slopes_sweep_run(slopes_sweep *sweep);
// Share of the sweep's days done, 0 to 1.
double slopes_sweep_progress(const slopes_sweep *sweep);
// Null when the finished sweep's figures can be shown: finite, of a sane
// size, and degree days for at least one grid slope (where the regression
// gives none anywhere, as at an elevation of 9 000 m and more, there is no
// best slope to name). Otherwise the sentence the window shows instead.
const char *slopes_sweep_refusal(const slopes_sweep *sweep);

// What the charts show: the results of the last usable sweep.
struct slopes_view {
    bool have;
    site_location site;
    season_range season;
    slope stored;            // as typed
    bool calibrated;         // the site lies in the region of the regression
    slope_season results[SLOPES_COUNT];
    season_measure by;       // what the compass is coloured and ranked by
    float low, high;         // range of that measure over the grid slopes
    int best;                // grid index with the most of it
    gdd_falls falls;         // where the degree-day formula runs backwards
    int selected;            // index 0 .. SLOPES_STORED
    int hover;               // -1 when the pointer is over no slope
    double target;           // degC degree days; 0: none
    int target_days[SLOPES_COUNT];   // as the sweep's
};

// An empty view ranked by degree days.
void slopes_view_clear(slopes_view *view);
// Takes a usable sweep into the view; the best grid slope by the view's
// measure (the first with the most) starts out selected.
void slopes_view_take(slopes_view *view, const slopes_sweep *sweep);
// Colours and ranks by one measure; a selection that was the best slope
// follows the best of the new measure.
void slopes_view_rank_by(slopes_view *view, season_measure by);

// The months of the view's season (1 = January, in season order) in which
// the slope at index (0 .. SLOPES_STORED) gets its degree days from where
// the formula gives fewer degree days for more sun; their count. None
// without a comparison.
int slopes_falling_months(const slopes_view *view, int index, int months[12]);
// The best grid slope by the other measure than the view ranks by.
int slopes_best_by(const slopes_view *view, season_measure by);

// The Winkler region of a slope's season degree days (WINKLER_TOO_COOL ..
// WINKLER_TOO_HOT, winklerRegions.h); -1 without a comparison or for a
// season the regions are not defined on.
int slopes_winkler_region(const slopes_view *view, int index);
// A target as the texts and the table say it: the shortest decimal that
// reads back as the same number, with a point whatever the locale.
std::string slopes_target_number(double target);
// The line under the selected slope: its Winkler region and, for another
// slope, the stored slope's, with their bounds; for another season why no
// region is named. Empty without a comparison.
std::string slopes_winkler_text(const slopes_view *view);
// The date the selected slope reaches the target and, for another slope,
// the stored slope's ("not reached in this season" where the season ends
// first). Empty without a comparison or a target.
std::string slopes_target_text(const slopes_view *view);

// One step of the selection across the compass: the aspect round the
// circle, the tilt between flat and the steepest ring. From the stored
// slope, which has no cell, the first step starts at the best one.
enum slopes_step { SLOPES_TURN_ANTICLOCKWISE, SLOPES_TURN_CLOCKWISE, SLOPES_STEEPER, SLOPES_GENTLER };
void slopes_view_step(slopes_view *view, slopes_step step);

#endif
