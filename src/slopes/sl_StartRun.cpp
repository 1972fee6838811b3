// A comparison runs on a worker thread so the window never freezes. The
// worker touches only its run; the window hears of the result on the main
// loop, and a bar follows the days done once the sweep takes a moment.
#include "slopes/slopes.h"

#include <cmath>

namespace {

// Shown only when the sweep is not done almost at once.
const gint64 kQuietMicroseconds = 300000;

void freeRun(gpointer data) { delete static_cast<sl_run *>(data); }

void work(GTask *task, gpointer, gpointer data, GCancellable *) {
    sl_run *run = static_cast<sl_run *>(data);
    run->status = sweepSeasonControlled(&run->site, &run->season, run->slopes, SL_SLOPES, run->results,
                                        &run->control);
    g_task_return_boolean(task, TRUE);
}

gboolean followProgress(gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    if (w->running == nullptr) {
        w->progress_source = 0;
        return G_SOURCE_REMOVE;
    }
    if (g_get_monotonic_time() - w->running->started < kQuietMicroseconds) return G_SOURCE_CONTINUE;
    int total = w->running->control.days_total.load();
    int done = w->running->control.days_done.load();
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(w->progress), total > 0 ? static_cast<double>(done) / total : 0.0);
    gtk_widget_show(w->progress);
    return G_SOURCE_CONTINUE;
}

// Finite figures of a sane size, and degree days for at least one slope:
// where the regression gives none anywhere (an elevation of 9 000 and more)
// there is no best slope to name.
bool usable(const sl_run *run) {
    bool anyDegreeDays = false;
    for (int i = 0; i < SL_SLOPES; i++) {
        const slope_season &s = run->results[i];
        if (!std::isfinite(s.season_degree_days) || !std::isfinite(s.season_irradiation)) return false;
        if (std::fabs(s.season_degree_days) > 1e6f || std::fabs(s.season_irradiation) > 1e6f) return false;
        if (i < SL_GRID && s.season_degree_days > 0.0f) anyDegreeDays = true;
    }
    return anyDegreeDays;
}

const char *refusalText(int status) {
    switch (status) {
    case 0:
        return "The degree days are out of range for this site: the regression gives no slope a usable figure "
               "here; no numbers are shown.";
    case SWEEP_BAD_START_DAY:
    case SWEEP_BAD_STOP_DAY:
    case SWEEP_BAD_YEAR:
    case SWEEP_BAD_MONTH_ORDER:
        return "This season cannot be computed; no numbers are shown.";
    case SWEEP_BAD_SITE:
        return "The sun cannot be placed for this site (the solar engine refuses it); no numbers are shown.";
    case SWEEP_BAD_SLOPE:
        return "The stored slope cannot be computed (the solar engine refuses it); no numbers are shown.";
    case SWEEP_NO_MEMORY:
        return "There was not enough memory for the comparison; no numbers are shown.";
    default:
        return "This site and season cannot be computed; no numbers are shown.";
    }
}

void finished(GObject *, GAsyncResult *result, gpointer data) {
    sl_run *run = static_cast<sl_run *>(data);
    g_task_propagate_boolean(G_TASK(result), nullptr);
    sl_window *w = static_cast<sl_window *>(run->owner);
    // Cancelled: the window is gone or waits for a newer run.
    if (w == nullptr) return;
    w->running = nullptr;
    runEnded(&w->progress_source, w->progress);
    if (run->status == 0 && usable(run)) {
        sl_TakeResults(&w->view, run);
        w->view.calibrated = sl_LocaleOK(w);
        gtk_widget_hide(w->message);
    } else {
        gtk_label_set_text(GTK_LABEL(w->message), refusalText(run->status));
        gtk_widget_show(w->message);
    }
    gtk_widget_set_sensitive(w->button_export, w->view.have);
    gtk_widget_set_sensitive(w->button_chart, w->view.have);
    gtk_widget_queue_draw(w->compass);
    sl_ShowSelection(w);
}

}  // namespace

void sl_StartRun(sl_window *w, const site_location *site, const season_range *season, const slope *stored) {
    sl_CancelRun(w);
    sl_run *run = new sl_run();
    run->site = *site;
    run->season = *season;
    for (int i = 0; i < SL_GRID; i++) run->slopes[i] = {sl_GridAspect(i), sl_GridTilt(i)};
    run->slopes[SL_STORED] = *stored;
    run->status = -1;
    w->running = run;
    startWorker(run, &run->control.cancel, w, work, finished, freeRun);
    w->progress_source = g_timeout_add(50, followProgress, w);
}
