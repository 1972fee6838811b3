// The season of every cell of a piece of land. Cells whose centres round to
// the same point of a 0.05 degree grid share one sun block: the sun is placed
// there once per sample of the season, and every cell reuses it. Nothing here
// keeps global state; a placed block is read-only and may be shared by threads.
#ifndef VERANTA_TERRAIN_CELLSEASON_H
#define VERANTA_TERRAIN_CELLSEASON_H

#include "model/degreeDayTarget.h"
#include "model/sweepSeason.h"

#include <cstdint>

// The terrain's horizon around each cell: angles[cell * directions + k] is the
// elevation angle, in degrees and never below 0, of the horizon in the
// direction k * 360 / directions, clockwise from north.
struct cell_horizons {
    int directions;
    const float *angles;
};

struct cell_season {
    float month_irradiation[12];   // MJ/m2, index 0 = January; 0 outside the season
    float month_degree_days[12];
    float month_whole_irradiation[12];   // the whole month's, which its degree days come from
    float season_irradiation;
    float season_degree_days;
    // Samples of the season's days (not the rest of its months) where the
    // slope faces the sun but terrain hides it, times the step: minutes.
    float shadow_minutes;
    // With a target (seasonCellsToTarget): the day of the season's year
    // (1 = 1 January) on which the cell's degree days reach it, 0 when the
    // season ends first; always 0 without one.
    int target_day;
};

// The season's sun at one block point (latitude, longitude east-positive as
// given), placed once.
struct sun_block;

// Null, with *refusal set to a sweep_refusal code, for a season
// sweepSeasonCheck refuses or a point the engine refuses, or when cancelled through control (may be null;
// only its cancel flag is read). *refusal is 0 on success.
sun_block *placeSunBlock(float latitude, float longitude, const season_range *season, sweep_control *control,
                         int *refusal);
void freeSunBlock(sun_block *block);

// Each cell's season: without horizons exactly, to the bit, sweepSeason for the
// site (block latitude, longitude, elevation[i]) and slopes[i]. With horizons,
// a sample whose sun stands at or below the cell's horizon at the sun's azimuth
// (linear between directions) contributes 0 and every other sample exactly what
// it contributes without them. 0 on success, else a sweep_refusal code with
// nothing written: SWEEP_BAD_SITE for an elevation that is not finite,
// SWEEP_BAD_SLOPE for a slope the sweep refuses (not finite, |tilt| > 180,
// |aspect| > 360), SWEEP_BAD_ARGUMENTS for null pointers, count < 0 or fewer
// than 1 direction, SWEEP_CANCELLED when control's cancel flag is set (control
// may be null; its counters are left alone, the caller knows its cells).
// A flat cell is written with aspect -1 and tilt 0; the sweep takes that slope
// as it is, and at tilt 0 the aspect changes no bit, so it is computed as is.
// Single-threaded; call it from as many threads as wanted on one block. A call
// has a fixed cost of about a millisecond (the block's samples among the
// directions), so give it cells by the thousand.
int seasonCells(const sun_block *block, int count, const float *elevation, const slope *slopes,
                const cell_horizons *horizons, cell_season *results, sweep_control *control);

// seasonCells, the same bits, and each cell's target_day for target (degC
// degree days): targetDaysFromDays (degreeDayTarget.h) on the cell's own daily
// values, shaded where horizons shade. Without horizons exactly the day
// sweepSeasonToTarget gives for the same site and slope. With running not
// null, each cell's running degree days are added to its group's, group[i]
// being cell i's (0: none).
int seasonCellsToTarget(const sun_block *block, int count, const float *elevation, const slope *slopes,
                        const cell_horizons *horizons, double target, cell_season *results, sweep_control *control,
                        const std::int32_t *group = nullptr, group_running *running = nullptr);

#endif
