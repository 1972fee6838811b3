// The run under way stops soon and its result is dropped when it arrives.
#include "slopes/slopes.h"

void sl_CancelRun(sl_window *w) {
    dropRun(w->running, &w->progress_source);
    w->running = nullptr;
}
