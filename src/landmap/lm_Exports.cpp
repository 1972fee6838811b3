// The window's files of a map: the area table and a cell's months as CSV,
// and the GeoTIFF, each written whole or not at all through the safe
// writer. The texts are the terrain core's (mapTexts.h); the GeoTIFF is the
// core's own writer's, the one veranta-map uses, so the file is exactly what
// the command-line tool writes for the same land and settings, bands,
// metadata and all, and nothing is computed again. Compressing a
// million-cell map's bands still takes seconds, so the GeoTIFF is written on
// a worker: the window stays live, and closing the window before the file
// is being closed stops it with no file left behind.
#include "landmap/landmap.h"

#include "files/safeWrite.h"
#include "ui/windowFiles.h"

namespace {

bool writeText(const std::string &text, const char *path, GError **error) {
    std::string why;
    const bool ok = writeFileSafely(path, text.data(), text.size(), &why);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    return ok;
}

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

bool lm_ExportAreas(const land_map *map, float threshold, const char *path, GError **error) {
    return writeText(areaTableCsv(*map, threshold), path, error);
}

bool lm_ExportMonths(const land_map *map, int col, int row, const char *path, GError **error) {
    gdd_falls falls;
    findGddFalls(&falls);
    std::string csv;
    if (!cellMonthsCsv(*map, col, row, &falls, &csv)) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "no cell with data is selected");
        return false;
    }
    return writeText(csv, path, error);
}

bool lm_ExportGeoTiff(const land_map *map, const char *path, map_control *control, GError **error) {
    std::string refusal;
    const int status = writeLandMap(map, path, "", control, &refusal);
    if (status != TERRAIN_OK)
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED,
                            status == TERRAIN_CANCELLED ? "cancelled" : refusal.c_str());
    return status == TERRAIN_OK;
}

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
