// Colours and ranks the compass by one measure; a selection that was the
// best slope follows the best of the new measure.
#include "slopes/slopes.h"

void sl_RankBy(sl_view *view, season_measure by) {
    bool followBest = view->selected == view->best;
    view->by = by;
    view->best = bestSeason(view->results, SL_GRID, by, &view->low, &view->high);
    if (followBest) view->selected = view->best;
}
