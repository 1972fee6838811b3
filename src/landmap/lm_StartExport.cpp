// The GeoTIFF export writes the map in memory; compressing a million-cell
// map's bands still takes seconds, so it runs on a worker: the window stays
// live, and closing the window before the file is being closed stops it
// with no file left behind.
#include "landmap/landmap.h"

#include "ui/windowFiles.h"

namespace {

void freeExport(gpointer data) { delete static_cast<lm_export *>(data); }

void work(GTask *task, gpointer, gpointer data, GCancellable *) {
    lm_export *e = static_cast<lm_export *>(data);
    GError *error = nullptr;
    bool ok = lm_ExportGeoTiff(e->map.get(), e->path.c_str(), &e->control, &error);
    if (error != nullptr) {
        e->error = error->message;
        g_error_free(error);
    }
    g_task_return_boolean(task, ok);
}

void finished(GObject *, GAsyncResult *result, gpointer data) {
    lm_export *e = static_cast<lm_export *>(data);
    bool ok = g_task_propagate_boolean(G_TASK(result), nullptr);
    lm_window *w = e->owner;
    if (w == nullptr) return;
    w->exporting = nullptr;
    if (w->running == nullptr) gtk_widget_hide(w->progress);
    gtk_widget_set_sensitive(w->button_tif, w->map != nullptr);
    showExportOutcome(w->status, "GeoTIFF", e->path.c_str(), ok, e->error.c_str());
}

}  // namespace

void lm_StartExport(lm_window *w, const char *path) {
    if (w->exporting != nullptr || w->map == nullptr) return;
    lm_export *e = new lm_export();
    e->map = w->map;
    e->path = path;
    e->owner = w;
    w->exporting = e;
    gtk_widget_set_sensitive(w->button_tif, FALSE);
    showStatus(w->status, "Writing the GeoTIFF…", false);
    GTask *task = g_task_new(nullptr, nullptr, finished, e);
    g_task_set_task_data(task, e, freeExport);
    g_task_run_in_thread(task, work);
    g_object_unref(task);
}
