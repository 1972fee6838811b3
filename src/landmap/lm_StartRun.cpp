// A map is computed on a worker thread so the window never freezes: the
// terrain core computes every band in memory, and the worker adds what the
// window reads (elevations, positions, areas, ranges). The window hears of
// the result on the main loop; a bar follows the cells done.
#include "landmap/landmap.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::atomic<int> underWay{0};

void freeRun(gpointer data) {
    delete static_cast<lm_run *>(data);
    underWay--;
}

// The range of the cells with data, for the colour scale.
void range(const std::vector<float> &v, float *low, float *high) {
    bool any = false;
    for (float x : v) {
        if (std::isnan(x)) continue;
        *low = any ? std::min(*low, x) : x;
        *high = any ? std::max(*high, x) : x;
        any = true;
    }
}

void work(GTask *task, gpointer, gpointer data, GCancellable *) {
    lm_run *run = static_cast<lm_run *>(data);
    dem_source dem;
    map_options options;
    options.season = run->settings.season;
    options.shade = run->settings.shade;
    options.directions = run->settings.directions;
    options.distance = run->settings.distance;
    map_tile tile;
    // Taken before the file is read: a change while it computes makes the
    // session compute it again next time.
    long long size = -1;
    long long modified = 0;
    lm_FileStamp(run->path, &size, &modified);
    int status = openDem(run->path, 0, &dem, &run->refusal);
    if (status == TERRAIN_OK) status = computeMap(&dem, &options, &run->control, &tile, &run->refusal);
    if (status != TERRAIN_OK) {
        closeDem(&dem);
        g_task_return_boolean(task, FALSE);
        return;
    }
    auto m = std::make_shared<lm_map>();
    m->path = run->path;
    m->file_size = size;
    m->file_modified = modified;
    m->settings = run->settings;
    m->options = options;
    demGrid(&dem, &m->grid);
    m->cells_with_data = tile.cells;
    m->cells_outside = tile.cells_outside;
    m->cols = tile.width;
    m->rows = tile.height;
    const long cells = m->cells();
    auto band = [&](int b, std::vector<float> &out) {
        out.assign(tile.values.begin() + b * cells, tile.values.begin() + (b + 1) * cells);
        for (float &x : out)
            if (x == kMapNodata) x = NAN;
    };
    band(0, m->degree_days);
    band(1, m->irradiation);
    band(2, m->tilt);
    band(3, m->aspect);
    band(4, m->shadow);
    // Then each month of the season: its irradiation, then its degree days.
    m->month_irradiation.assign(12 * cells, 0.0f);
    m->month_degree_days.assign(12 * cells, 0.0f);
    std::vector<float> one;
    for (int month = options.season.start_month, b = kMapFixedBands; month <= options.season.stop_month; month++) {
        band(b++, one);
        std::copy(one.begin(), one.end(), m->month_irradiation.begin() + (month - 1) * cells);
        band(b++, one);
        std::copy(one.begin(), one.end(), m->month_degree_days.begin() + (month - 1) * cells);
    }
    tile.values.clear();
    tile.values.shrink_to_fit();
    m->whole_edge_months = std::move(tile.whole_edge_months);

    m->elevation.resize(cells);
    m->latitude.resize(cells);
    m->longitude.resize(cells);
    if (readDemWindow(&dem, 0, 0, m->cols, m->rows, m->elevation.data(), &run->refusal) != TERRAIN_OK ||
        cellLatLon(&dem, 0, 0, m->cols, m->rows, m->latitude.data(), m->longitude.data(), &run->refusal) != TERRAIN_OK) {
        closeDem(&dem);
        g_task_return_boolean(task, FALSE);
        return;
    }
    m->row_area.resize(m->rows);
    for (int r = 0; r < m->rows; r++) {
        double width, height;
        cellSize(&dem, r, &width, &height);
        m->row_area[r] = width * height;
        if (r == m->rows / 2) m->cell_width_m = width;
    }
    closeDem(&dem);
    m->outside_share = tile.cells > 0 ? static_cast<double>(tile.cells_outside) / tile.cells : 0.0;
    range(m->degree_days, &m->gdd_low, &m->gdd_high);
    range(m->irradiation, &m->irr_low, &m->irr_high);
    run->result = m;
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
    lm_Remember(run->result);
    lm_ShowMap(w, run->result);
    gint64 took = g_get_monotonic_time() - run->started;
    gchar *text = g_strdup_printf("Computed in %.1f s.", took / 1e6);
    gtk_label_set_text(GTK_LABEL(w->status), text);
    g_free(text);
}

}  // namespace

int lm_RunsUnderWay(void) { return underWay.load(); }

void lm_StartRun(lm_window *w, const lm_settings *settings) {
    lm_CancelRun(w);
    std::shared_ptr<lm_map> kept = lm_Remembered(w->land.path, settings);
    if (kept != nullptr) {
        lm_ShowMap(w, kept);
        gtk_label_set_text(GTK_LABEL(w->status), "Computed before in this session.");
        return;
    }
    lm_run *run = new lm_run();
    run->path = w->land.path;
    run->settings = *settings;
    w->running = run;
    underWay++;
    startWorker(run, &run->control.cancel, w, work, finished, freeRun);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(w->progress), 0.0);
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(w->progress), "reading the land");
    gtk_widget_show(w->progress);
    w->progress_source = g_timeout_add(100, followProgress, w);
}
