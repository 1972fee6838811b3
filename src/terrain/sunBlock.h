// Inside a sun block: what the terrain procedures share, not for callers.
#ifndef VERANTA_TERRAIN_SUNBLOCK_H
#define VERANTA_TERRAIN_SUNBLOCK_H

#include "terrain/cellSeason.h"

#include <vector>

// The samples of every day of the season's months at which the sun is up, in
// day and time order, one array per term (so the cell loops read them as
// vectors). Samples with the sun down add nothing to any cell and are left
// out, as the day integration leaves them out.
struct sun_block {
    float latitude;
    float longitude;
    season_range season;
    int lengths[12];
    int days;                       // every day of the season's months
    std::vector<int> day_first;     // day k's samples are [day_first[k], day_first[k + 1])
    std::vector<float> cos_azimuth;  // the engine's sun terms (S_sunTerms)
    std::vector<float> sin_azimuth;
    std::vector<float> sin_zenith;
    std::vector<float> cos_zenith;
    std::vector<float> etr_normal;
    std::vector<double> fade;       // 0.7 to the power of the pressure-corrected air mass
    std::vector<float> elevation;   // 90 minus the refracted zenith, degrees
    std::vector<float> azimuth;     // degrees clockwise from north
};

// A part of the cells, structure of arrays: the engine's surface terms
// (S_surfaceTerms) and the day's sums, which the day's samples update.
struct cell_part {
    int count;
    const float *cos_aspect;
    const float *sin_aspect;
    const float *cos_tilt;
    const float *sin_tilt;
    float *sums;  // J/m2 of the day so far
};

// Where each sample's sun stands among the horizon's directions: between
// direction below[s] and below[s] + 1 (modulo the directions), weight[s] of
// the way; the cells' horizon angles are direction-major,
// angles[k * part count + i].
struct part_horizons {
    const int *below;
    const float *weight;
    const float *angles;
    int directions;
    int *hidden;  // per cell, samples where the slope faces the sun but terrain hides it
};

// The code paths of the cell loop, all giving the same bits. BEST is the
// widest this processor runs; a path it cannot run falls back to BASELINE.
enum cell_path { CELL_PATH_BEST, CELL_PATH_BASELINE, CELL_PATH_AVX2, CELL_PATH_AVX512 };

// The path that runs for the one asked for on this processor.
cell_path cellPathRun(cell_path wanted);

// Adds samples [first, last) of the block to the part's sums, each exactly as
// the day integration adds a sample, and with horizons (may be null) leaves
// out the samples whose sun terrain hides. path is one cellPathRun gave.
void addCellSamples(const sun_block *block, int first, int last, const cell_part *part,
                    const part_horizons *horizons, cell_path path);

// seasonCells (or, with target not null, seasonCellsToTarget) on a chosen
// path, so that tests can compare the paths.
int seasonCellsOn(const sun_block *block, int count, const float *elevation, const slope *slopes,
                  const cell_horizons *horizons, cell_season *results, sweep_control *control, cell_path path,
                  const double *target = nullptr, const std::int32_t *group = nullptr,
                  group_running *running = nullptr);

#endif
