// A finished sweep becomes what the charts show; the best grid slope is the
// first with the most degree days, and it starts out selected.
#include "slopes/slopes.h"

#include <cstring>

void sl_TakeResults(sl_view *view, const sl_run *run) {
    view->site = run->site;
    view->season = run->season;
    view->stored = run->slopes[SL_STORED];
    std::memcpy(view->results, run->results, sizeof view->results);
    view->best = 0;
    view->low = view->high = view->results[0].season_degree_days;
    for (int i = 1; i < SL_GRID; i++) {
        float gdd = view->results[i].season_degree_days;
        if (gdd > view->high) {
            view->high = gdd;
            view->best = i;
        }
        if (gdd < view->low) view->low = gdd;
    }
    view->selected = view->best;
    view->hover = -1;
    view->have = true;
}
