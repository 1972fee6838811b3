// The terrain map window: built from its UI definition (a resource of the
// program) and wired to its handlers; closed by its button, Escape or the
// window manager alike, each cancelling a computation under way.
#include "landmap/landmap.h"

#include "location/readLocale.h"
#include "model/model.h"
#include "ui/entries.h"
#include "ui/windowFiles.h"
#include "ui/windowTools.h"

#include <cmath>
#include <cstdlib>

lm_window *terrain_open = nullptr;

namespace {

GtkWidget *widget(GtkBuilder *ui, const char *id) { return GTK_WIDGET(gtk_builder_get_object(ui, id)); }

void setStatus(lm_window *w, const char *text, bool failed) { showStatus(w->status, text, failed); }

bool byIrradiation(lm_window *w) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w->colour_irr)); }

lm_scene scene(lm_window *w) {
    lm_scene s{};
    s.map = w->map.get();
    s.image = &w->image;
    s.frame = w->frame;
    s.by_irradiation = byIrradiation(w);
    s.range = s.by_irradiation ? w->irr_range : w->gdd_range;
    s.threshold = w->threshold;
    s.selected_col = w->selected_col;
    s.selected_row = w->selected_row;
    s.site_col = w->site_col;
    s.site_row = w->site_row;
    return s;
}

void refit(lm_window *w) {
    if (w->map == nullptr) return;
    w->frame = mapFit(w->map->grid.width, w->map->grid.height, gtk_widget_get_allocated_width(w->map_area),
                      gtk_widget_get_allocated_height(w->map_area));
    w->fitted = true;
    gtk_widget_queue_draw(w->map_area);
}

void zoomBy(lm_window *w, double factor, double x, double y) {
    if (w->map == nullptr) return;
    // From a whole land in a few pixels to a cell over half the view.
    double scale = w->frame.scale * factor, most = 0.5 * gtk_widget_get_allocated_width(w->map_area);
    map_frame fit = mapFit(w->map->grid.width, w->map->grid.height, gtk_widget_get_allocated_width(w->map_area),
                           gtk_widget_get_allocated_height(w->map_area));
    if (scale < fit.scale / 4.0 || scale > most) return;
    w->frame = mapZoom(&w->frame, factor, x, y);
    w->fitted = false;
    gtk_widget_queue_draw(w->map_area);
}

void zoomCentre(lm_window *w, double factor) {
    zoomBy(w, factor, gtk_widget_get_allocated_width(w->map_area) / 2.0,
           gtk_widget_get_allocated_height(w->map_area) / 2.0);
}

void showSpot(lm_window *w, int col, int row) {
    w->hover_col = col;
    w->hover_row = row;
    gtk_label_set_text(GTK_LABEL(w->readout), spotText(w->map.get(), col, row).c_str());
}

// --- land, compute ---------------------------------------------------------

void onComputeClicked(GtkWidget *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    setStatus(w, "", false);
    map_options options;
    if (!w->land.usable) {
        setStatus(w, "Open an elevation model first (or try the example).", true);
        return;
    }
    if (!lm_ReadEntries(w, &options)) {
        lm_CancelRun(w);
        setStatus(w, "Some entries cannot be used; see the notes beside them.", true);
        return;
    }
    lm_StartRun(w, &options);
}

void onOpenResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) lm_OpenLand(w, path);
        g_free(path);
    }
    w->chooser = nullptr;
    g_object_unref(dialog);
}

void onOpenClicked(GtkWidget *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->chooser != nullptr) return;
    GtkFileChooserNative *dialog = gtk_file_chooser_native_new("Open an elevation model", GTK_WINDOW(w->window),
                                                               GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    addFileFilter(GTK_FILE_CHOOSER(dialog), "GeoTIFF", {"tif", "tiff"});
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Every raster GDAL reads", rasterEndings());
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onOpenResponse), w);
    w->chooser = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void onExampleClicked(GtkWidget *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    std::string example = lm_ExampleLand();
    if (example.empty()) {
        setStatus(w, "The made-up example land is missing from this installation.", true);
        return;
    }
    lm_OpenLand(w, example.c_str());
}

// GTK finishes the drag itself (GTK_DEST_DEFAULT_DROP), once.
void onDrop(GtkWidget *, GdkDragContext *, gint, gint, GtkSelectionData *selection, guint, guint, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    gchar **uris = gtk_selection_data_get_uris(selection);
    if (uris != nullptr && uris[0] != nullptr) {
        gchar *path = g_filename_from_uri(uris[0], nullptr, nullptr);
        if (path != nullptr) {
            lm_OpenLand(w, path);
        } else {
            setStatus(w, "Only a file on this computer can be opened.", true);
        }
        g_free(path);
    }
    g_strfreev(uris);
}

// --- colour and threshold ----------------------------------------------------

void onColourChanged(GtkToggleButton *button, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->map == nullptr || !gtk_toggle_button_get_active(button)) return;   // the other button of the pair speaks
    const bool by_irradiation = byIrradiation(w);
    lm_RenderImage(&w->image, w->map.get(), by_irradiation ? &w->irr_range : &w->gdd_range, by_irradiation,
                   w->threshold);
    gtk_widget_queue_draw(w->map_area);
}

void onThresholdMoved(GtkAdjustment *adjustment, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->updating_threshold) return;
    lm_SetThreshold(w, static_cast<float>(gtk_adjustment_get_value(adjustment)));
}

void thresholdTyped(lm_window *w) {
    float value;
    if (w->map == nullptr) return;
    if (wholeFloat(gtk_entry_get_text(GTK_ENTRY(w->entry_threshold)), &value) && std::isfinite(value))
        lm_SetThreshold(w, value);
    else
        lm_SetThreshold(w, w->threshold);   // back to the threshold in force
}

void onThresholdActivate(GtkEntry *, gpointer data) { thresholdTyped(static_cast<lm_window *>(data)); }

gboolean onThresholdFocusOut(GtkWidget *, GdkEvent *, gpointer data) {
    thresholdTyped(static_cast<lm_window *>(data));
    return FALSE;
}

// --- the map -------------------------------------------------------------------

gboolean onDrawMap(GtkWidget *area, cairo_t *cr, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    lm_scene s = scene(w);
    lm_DrawMap(cr, &s, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    return FALSE;
}

gboolean onDrawHistogram(GtkWidget *area, cairo_t *cr, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    lm_DrawHistogram(cr, w->map.get(), &w->gdd_range, w->threshold, gtk_widget_get_allocated_width(area),
                     gtk_widget_get_allocated_height(area));
    return FALSE;
}

gboolean onDrawMonths(GtkWidget *area, cairo_t *cr, gpointer data) {
    drawMonthChart(cr, &static_cast<lm_window *>(data)->months, gtk_widget_get_allocated_width(area),
                   gtk_widget_get_allocated_height(area));
    return FALSE;
}

void onMapResized(GtkWidget *, GdkRectangle *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->fitted) refit(w);
}

gboolean onScroll(GtkWidget *, GdkEventScroll *event, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    double dx = 0, dy = 0;
    if (event->direction == GDK_SCROLL_UP) dy = -1;
    else if (event->direction == GDK_SCROLL_DOWN) dy = 1;
    else if (event->direction == GDK_SCROLL_SMOOTH) gdk_event_get_scroll_deltas(reinterpret_cast<GdkEvent *>(event), &dx, &dy);
    if (dy != 0) zoomBy(w, std::pow(1.25, -dy), event->x, event->y);
    return TRUE;
}

gboolean onPress(GtkWidget *area, GdkEventButton *event, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    gtk_widget_grab_focus(area);
    if (event->button != GDK_BUTTON_PRIMARY || w->map == nullptr) return FALSE;
    w->dragging = true;
    w->drag_x = event->x;
    w->drag_y = event->y;
    g_object_set_data(G_OBJECT(area), "press-x", GINT_TO_POINTER(static_cast<int>(event->x)));
    g_object_set_data(G_OBJECT(area), "press-y", GINT_TO_POINTER(static_cast<int>(event->y)));
    return TRUE;
}

gboolean onRelease(GtkWidget *area, GdkEventButton *event, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (event->button != GDK_BUTTON_PRIMARY || !w->dragging) return FALSE;
    w->dragging = false;
    int px = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(area), "press-x"));
    int py = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(area), "press-y"));
    // A click, not a drag: select the cell under it.
    if (std::fabs(event->x - px) <= 3 && std::fabs(event->y - py) <= 3) {
        int col, row;
        if (mapCellAt(&w->frame, w->map->grid.width, w->map->grid.height, event->x, event->y, &col, &row)) {
            w->selected_col = col;
            w->selected_row = row;
            lm_ShowCell(w);
            gtk_widget_set_sensitive(w->button_months, TRUE);
            gtk_widget_queue_draw(w->map_area);
        }
    }
    return TRUE;
}

gboolean onMotion(GtkWidget *, GdkEventMotion *event, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->map == nullptr) return FALSE;
    if (w->dragging) {
        w->frame.x += event->x - w->drag_x;
        w->frame.y += event->y - w->drag_y;
        w->drag_x = event->x;
        w->drag_y = event->y;
        w->fitted = false;
        gtk_widget_queue_draw(w->map_area);
    }
    int col = -1, row = -1;
    if (!mapCellAt(&w->frame, w->map->grid.width, w->map->grid.height, event->x, event->y, &col, &row)) col = row = -1;
    if (col != w->hover_col || row != w->hover_row) showSpot(w, col, row);
    return FALSE;
}

gboolean onLeave(GtkWidget *, GdkEventCrossing *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    if (w->hover_col >= 0) showSpot(w, -1, -1);
    return FALSE;
}

void onZoomIn(GtkWidget *, gpointer data) { zoomCentre(static_cast<lm_window *>(data), 1.5); }
void onZoomOut(GtkWidget *, gpointer data) { zoomCentre(static_cast<lm_window *>(data), 1.0 / 1.5); }
void onFit(GtkWidget *, gpointer data) { refit(static_cast<lm_window *>(data)); }

gboolean onKey(GtkWidget *, GdkEventKey *event, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    // + and − zoom unless the grower is typing in an entry.
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(w->window));
    if (focus != nullptr && GTK_IS_ENTRY(focus)) return FALSE;
    switch (event->keyval) {
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
        zoomCentre(w, 1.5);
        return TRUE;
    case GDK_KEY_minus:
    case GDK_KEY_KP_Subtract:
        zoomCentre(w, 1.0 / 1.5);
        return TRUE;
    default:
        return FALSE;
    }
}

// --- exports and closing -------------------------------------------------------

// A saved map says what it shows: the land (by its file's name), the season
// and the shading.
std::string caption(lm_window *w) {
    std::string name;
    if (w->land.path == lm_ExampleLand()) {
        name = "a made-up example land (not a real place)";
    } else {
        gchar *base = g_path_get_basename(w->land.path.c_str());
        gchar *display = g_filename_display_name(base);
        name = display;
        g_free(display);
        g_free(base);
    }
    return mapCaption(*w->map, name);
}

void exportChosen(gpointer data, int kind, const char *path) { lm_ExportTo(static_cast<lm_window *>(data), kind, path); }

void chooseExport(lm_window *w, int kind) {
    static const char *const titles[] = {"Export GeoTIFF", "Save map", "Export area table", "Export cell months"};
    static const char *const names[] = {"land-map.tif", "land-map.png", "land-areas.csv", "cell-months.csv"};
    static const char *const filters[] = {"GeoTIFF", "PNG, SVG or PDF", "CSV table", "CSV table"};
    static const std::vector<std::string> endings[] = {{"tif", "tiff"}, {"png", "svg", "pdf"}, {"csv"}, {"csv"}};
    if (w->map == nullptr) return;
    ::chooseExport(GTK_WINDOW(w->window), &w->chooser, titles[kind], names[kind], filters[kind], endings[kind],
                   exportChosen, w, kind);
}

void onExportTif(GtkWidget *, gpointer data) { chooseExport(static_cast<lm_window *>(data), 0); }
void onSaveMap(GtkWidget *, gpointer data) { chooseExport(static_cast<lm_window *>(data), 1); }
void onExportAreas(GtkWidget *, gpointer data) { chooseExport(static_cast<lm_window *>(data), 2); }
void onExportMonths(GtkWidget *, gpointer data) { chooseExport(static_cast<lm_window *>(data), 3); }

void onClose(GtkWidget *, gpointer data) { gtk_widget_destroy(static_cast<lm_window *>(data)->window); }

void onDestroy(GtkWidget *, gpointer data) {
    lm_window *w = static_cast<lm_window *>(data);
    lm_CancelRun(w);
    if (w->exporting != nullptr) {
        w->exporting->owner = nullptr;
        w->exporting->control.cancel = true;
    }
    closeChooser(&w->chooser);
    lm_FreeImage(&w->image);
    g_object_unref(w->ui);
    if (terrain_open == w) terrain_open = nullptr;
    delete w;
}

}  // namespace

bool lm_ExportTo(lm_window *w, int kind, const char *path) {
    static const char *const what[] = {"GeoTIFF", "Map", "Area table", "Cell months"};
    GError *error = nullptr;
    bool ok = false;
    if (w->map == nullptr) {
        g_set_error_literal(&error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no map yet");
    } else if (kind == 0) {
        lm_StartExport(w, path);
        return true;
    } else if (kind == 1) {
        lm_scene s = scene(w);
        ok = lm_SaveMap(&s, caption(w), path, &error);
    } else if (kind == 2) {
        ok = lm_ExportAreas(w->map.get(), w->threshold, path, &error);
    } else {
        ok = lm_ExportMonths(w->map.get(), w->selected_col, w->selected_row, path, &error);
    }
    showExportOutcome(w->status, what[kind], path, ok, error != nullptr ? error->message : nullptr);
    if (error != nullptr) g_error_free(error);
    return ok;
}

void mapTheLand(GtkWindow *parent) {
    loadWindowStyle("/org/veranta/terrain.css");
    lm_window *w = new lm_window();
    GtkBuilder *ui = gtk_builder_new_from_resource("/org/veranta/terrain.ui");
    w->ui = ui;
    w->window = widget(ui, "terrain_window");
    w->button_open = widget(ui, "tm_open");
    w->button_example = widget(ui, "tm_example");
    w->land_info = widget(ui, "tm_land_info");
    w->refusal = widget(ui, "tm_refusal");
    w->entry_year = widget(ui, "tm_year");
    w->entry_startday = widget(ui, "tm_startday");
    w->entry_stopday = widget(ui, "tm_stopday");
    w->combo_startmonth = widget(ui, "tm_startmonth");
    w->combo_stopmonth = widget(ui, "tm_stopmonth");
    w->msg_year = widget(ui, "tm_year_msg");
    w->msg_start = widget(ui, "tm_start_msg");
    w->msg_stop = widget(ui, "tm_stop_msg");
    w->shade = widget(ui, "tm_shade");
    w->entry_directions = widget(ui, "tm_directions");
    w->entry_distance = widget(ui, "tm_distance");
    w->msg_directions = widget(ui, "tm_directions_msg");
    w->msg_distance = widget(ui, "tm_distance_msg");
    w->button_compute = widget(ui, "tm_compute");
    w->progress = widget(ui, "tm_progress");
    w->threshold_scale = widget(ui, "tm_threshold_scale");
    w->entry_threshold = widget(ui, "tm_threshold");
    w->threshold_adj = GTK_ADJUSTMENT(gtk_builder_get_object(ui, "tm_threshold_adj"));
    w->answer = widget(ui, "tm_answer");
    w->histogram = widget(ui, "tm_histogram");
    w->banner = widget(ui, "tm_banner");
    w->colour_gdd = widget(ui, "tm_colour_gdd");
    w->colour_irr = widget(ui, "tm_colour_irr");
    w->falling_note = widget(ui, "tm_falling_note");
    w->button_zoom_in = widget(ui, "tm_zoom_in");
    w->button_zoom_out = widget(ui, "tm_zoom_out");
    w->button_fit = widget(ui, "tm_fit");
    w->map_area = widget(ui, "tm_map");
    w->readout = widget(ui, "tm_readout");
    w->selected_title = widget(ui, "tm_selected");
    w->month_chart = widget(ui, "tm_month_chart");
    w->months_store = GTK_LIST_STORE(gtk_builder_get_object(ui, "tm_months_store"));
    w->button_tif = widget(ui, "tm_export_tif");
    w->button_map = widget(ui, "tm_save_map");
    w->button_areas = widget(ui, "tm_export_areas");
    w->button_months = widget(ui, "tm_export_months");
    w->status = widget(ui, "tm_status");
    w->button_close = widget(ui, "tm_close");
    w->hover_col = w->hover_row = w->selected_col = w->selected_row = w->site_col = w->site_row = -1;
    w->frame = {0.0, 0.0, 1.0};

    // The explorer's season defaults: 1 April to 31 October of this year.
    const season_entries season = {w->entry_year, w->entry_startday, w->combo_startmonth, w->entry_stopday,
                                   w->combo_stopmonth, w->msg_year, w->msg_start, w->msg_stop};
    showSeasonDefaults(&season);
    showInt(w->entry_directions, 32);
    showInt(w->entry_distance, 5000);
    findGddFalls(&w->falls);
    // The stored site, marked on every map shown: no Save can happen while
    // this window is open (one window at a time).
    readLocale();
    setCalculatorParameters();
    if (haveprefs == 1) {
        // The calculators take a longitude of 0 or more as west.
        w->site_known = true;
        w->site_latitude = active_latitude;
        w->site_longitude = active_longitude >= 0.0f ? -static_cast<double>(active_longitude) : active_longitude;
    }
    for (GtkWidget *b : {w->button_tif, w->button_map, w->button_areas, w->button_months, w->threshold_scale,
                         w->entry_threshold, w->button_zoom_in, w->button_zoom_out, w->button_fit})
        gtk_widget_set_sensitive(b, FALSE);

    if (parent != nullptr) gtk_window_set_transient_for(GTK_WINDOW(w->window), parent);
    // Escape closes; Enter stays with the entry it is typed in (the threshold).
    windowKeys(w->window, w->button_close, nullptr, 0);
    gtk_drag_dest_set(w->window, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_dest_add_uri_targets(w->window);
    gtk_widget_add_events(w->map_area, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                           GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK);
    g_signal_connect(w->window, "destroy", G_CALLBACK(onDestroy), w);
    g_signal_connect(w->window, "key-press-event", G_CALLBACK(onKey), w);
    g_signal_connect(w->window, "drag-data-received", G_CALLBACK(onDrop), w);
    g_signal_connect(w->button_open, "clicked", G_CALLBACK(onOpenClicked), w);
    g_signal_connect(w->button_example, "clicked", G_CALLBACK(onExampleClicked), w);
    g_signal_connect(w->button_compute, "clicked", G_CALLBACK(onComputeClicked), w);
    g_signal_connect(w->colour_gdd, "toggled", G_CALLBACK(onColourChanged), w);
    g_signal_connect(w->colour_irr, "toggled", G_CALLBACK(onColourChanged), w);
    g_signal_connect(w->threshold_adj, "value-changed", G_CALLBACK(onThresholdMoved), w);
    g_signal_connect(w->entry_threshold, "activate", G_CALLBACK(onThresholdActivate), w);
    g_signal_connect(w->entry_threshold, "focus-out-event", G_CALLBACK(onThresholdFocusOut), w);
    g_signal_connect(w->map_area, "draw", G_CALLBACK(onDrawMap), w);
    g_signal_connect(w->map_area, "size-allocate", G_CALLBACK(onMapResized), w);
    g_signal_connect(w->map_area, "scroll-event", G_CALLBACK(onScroll), w);
    g_signal_connect(w->map_area, "button-press-event", G_CALLBACK(onPress), w);
    g_signal_connect(w->map_area, "button-release-event", G_CALLBACK(onRelease), w);
    g_signal_connect(w->map_area, "motion-notify-event", G_CALLBACK(onMotion), w);
    g_signal_connect(w->map_area, "leave-notify-event", G_CALLBACK(onLeave), w);
    g_signal_connect(w->histogram, "draw", G_CALLBACK(onDrawHistogram), w);
    g_signal_connect(w->month_chart, "draw", G_CALLBACK(onDrawMonths), w);
    g_signal_connect(w->button_zoom_in, "clicked", G_CALLBACK(onZoomIn), w);
    g_signal_connect(w->button_zoom_out, "clicked", G_CALLBACK(onZoomOut), w);
    g_signal_connect(w->button_fit, "clicked", G_CALLBACK(onFit), w);
    g_signal_connect(w->button_tif, "clicked", G_CALLBACK(onExportTif), w);
    g_signal_connect(w->button_map, "clicked", G_CALLBACK(onSaveMap), w);
    g_signal_connect(w->button_areas, "clicked", G_CALLBACK(onExportAreas), w);
    g_signal_connect(w->button_months, "clicked", G_CALLBACK(onExportMonths), w);
    g_signal_connect(w->button_close, "clicked", G_CALLBACK(onClose), w);

    terrain_open = w;
    lm_ShowCell(w);
    gtk_widget_show(w->window);
    gtk_widget_grab_focus(w->button_example);
}
