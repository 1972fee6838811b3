// The run under way stops soon and its result is dropped when it arrives.
#include "landmap/landmap.h"

void lm_CancelRun(lm_window *w) {
    if (w->running != nullptr) {
        w->running->owner = nullptr;
        w->running->control.cancel = true;
        w->running = nullptr;
    }
    if (w->progress_source != 0) {
        g_source_remove(w->progress_source);
        w->progress_source = 0;
    }
    gtk_widget_hide(w->progress);
}
