// The run under way stops soon and its result is dropped when it arrives.
#include "landmap/landmap.h"

void lm_CancelRun(lm_window *w) {
    dropRun(w->running, &w->progress_source);
    w->running = nullptr;
    gtk_widget_hide(w->progress);
}
