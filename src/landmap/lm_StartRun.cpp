// A map is computed on a worker thread so the window never freezes: the
// terrain core computes every band in memory, with the elevations and
// positions the window reads, and the window takes that map as it is. The
// window hears of the result on the main loop; a bar follows the cells done.
#include "landmap/landmap.h"

#include <atomic>

namespace {

std::atomic<int> underWay{0};

void freeRun(gpointer data) {
    delete static_cast<lm_run *>(data);
    underWay--;
}

void work(GTask *task, gpointer, gpointer data, GCancellable *) {
    lm_run *run = static_cast<lm_run *>(data);
    // Taken before the file is read: a change while it computes makes the
    // session compute it again next time.
    lm_FileStamp(run->path, &run->file_size, &run->file_modified);
    dem_source dem;
    int status = openDem(run->path, 0, &dem, &run->refusal);
    auto map = std::make_shared<land_map>();
    if (status == TERRAIN_OK) {
        // What the window reads besides the bands: the readout's elevations
        // and positions, and the edge months' whole irradiation.
        map_wants wants;
        wants.elevations = wants.positions = wants.whole_edge_months = true;
        status = computeMap(&dem, &run->options, nullptr, &wants, &run->control, map.get(), &run->refusal);
    }
    closeDem(&dem);
    if (status != TERRAIN_OK) {
        g_task_return_boolean(task, FALSE);
        return;
    }
    run->result = std::move(map);
    g_task_return_boolean(task, TRUE);
}

gboolean followProgress(gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->running == nullptr) {
        w->progress_source = 0;
        return G_SOURCE_REMOVE;
    }
    long total = w->running->control.cells_total.load(), done = w->running->control.cells_done.load();
    double fraction = total > 0 ? static_cast<double>(done) / total : 0.0;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(w->progress), fraction);
    gchar *text = total > 0 ? g_strdup_printf("%.0f %% of the cells", 100.0 * fraction) : g_strdup("reading the land");
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(w->progress), text);
    g_free(text);
    return G_SOURCE_CONTINUE;
}

void finished(GObject *, GAsyncResult *result, gpointer data) {
    lm_run *run = static_cast<lm_run *>(data);
    bool ok = g_task_propagate_boolean(G_TASK(result), nullptr);
    lm_window *w = static_cast<lm_window *>(run->owner);
    // Cancelled: the window is gone or waits for a newer run.
    if (w == nullptr) return;
    w->running = nullptr;
    runEnded(&w->progress_source, w->progress);
    if (!ok || run->result == nullptr) {
        gchar *text = g_strdup_printf("No map: %s", run->refusal.empty() ? "the computation failed." : run->refusal.c_str());
        gtk_label_set_text(GTK_LABEL(w->status), text);
        gtk_style_context_add_class(gtk_widget_get_style_context(w->status), "failed");
        g_free(text);
        return;
    }
    lm_Remember(run->path, run->file_size, run->file_modified, run->result);
    lm_ShowMap(w, run->result);
    gint64 took = g_get_monotonic_time() - run->started;
    gchar *text = g_strdup_printf("Computed in %.1f s.", took / 1e6);
    gtk_label_set_text(GTK_LABEL(w->status), text);
    g_free(text);
}

}  // namespace

int lm_RunsUnderWay(void) { return underWay.load(); }

void lm_StartRun(lm_window *w, const map_options *options) {
    lm_CancelRun(w);
    std::shared_ptr<const land_map> kept = lm_Remembered(w->land.path, options);
    if (kept != nullptr) {
        lm_ShowMap(w, kept);
        gtk_label_set_text(GTK_LABEL(w->status), "Computed before in this session.");
        return;
    }
    lm_run *run = new lm_run();
    run->path = w->land.path;
    run->options = *options;
    w->running = run;
    underWay++;
    startWorker(run, &run->control.cancel, w, work, finished, freeRun);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(w->progress), 0.0);
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(w->progress), "reading the land");
    gtk_widget_show(w->progress);
    w->progress_source = g_timeout_add(100, followProgress, w);
}

// The run under way stops soon and its result is dropped when it arrives.
void lm_CancelRun(lm_window *w) {
    dropRun(w->running, &w->progress_source);
    w->running = nullptr;
    gtk_widget_hide(w->progress);
}
