// A finished sweep becomes what the charts show; the best grid slope by the
// chosen measure (the first with the most) starts out selected.
#include "slopes/slopes.h"

#include <cstring>

void sl_TakeResults(sl_view *view, const sl_run *run) {
    view->site = run->site;
    view->season = run->season;
    view->stored = run->slopes[SL_STORED];
    std::memcpy(view->results, run->results, sizeof view->results);
    findGddFalls(&view->falls);
    view->best = view->selected = 0;
    sl_RankBy(view, view->by);
    view->hover = -1;
    view->have = true;
}
