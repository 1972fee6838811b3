// The season of many cells under one sun block, on the fastest path this
// processor has.
#include "terrain/sunBlock.h"

int seasonCells(const sun_block *block, int count, const float *elevation, const slope *slopes,
                const cell_horizons *horizons, cell_season *results, sweep_control *control) {
    return seasonCellsOn(block, count, elevation, slopes, horizons, results, control, CELL_PATH_BEST);
}
