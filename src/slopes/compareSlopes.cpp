// The slope explorer window: built from its UI definition (a resource of
// the program), wired to its handlers, closed by its button or the window
// manager alike.
#include "slopes/slopes.h"

#include "location/readLocale.h"
#include "model/model.h"
#include "ui/entries.h"
#include "ui/windowFiles.h"
#include "ui/windowTools.h"

#include <cstring>

sl_window *slopes_open = nullptr;

namespace {

GtkWidget *widget(GtkBuilder *ui, const char *id) { return GTK_WIDGET(gtk_builder_get_object(ui, id)); }

// A stored value as the calculators show it ("%.4f"), without the zeros that
// add nothing: the text reads back to the very same number.
void showStored(GtkWidget *entry, float value) {
    gchar *text = g_strdup_printf("%.4f", static_cast<double>(value));
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == '0' && n >= 2 && text[n - 2] != '.') text[--n] = '\0';
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}

void forgetResults(sl_window *w) {
    w->view.have = false;
    w->view.hover = -1;
    w->view.by = BY_DEGREE_DAYS;
    gtk_widget_set_sensitive(w->button_export, FALSE);
    gtk_widget_set_sensitive(w->button_chart, FALSE);
    gtk_widget_queue_draw(w->compass);
    sl_ShowSelection(w);
}

void onCompare(GtkWidget *, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    sl_CancelRun(w);
    gtk_widget_hide(w->progress);
    forgetResults(w);
    showStatus(w->status, "", false);
    site_location site;
    season_range season;
    slope stored;
    if (!sl_ReadEntries(w, &site, &season, &stored)) {
        gtk_widget_hide(w->banner);
        gtk_label_set_text(GTK_LABEL(w->message), "Some entries cannot be used; see the notes beside them.");
        gtk_widget_show(w->message);
        return;
    }
    const char *refusal = sl_Refusal(&site, &stored);
    if (refusal != nullptr) {
        gtk_widget_hide(w->banner);
        gchar *text = g_strdup_printf("This site cannot be computed: %s No numbers are shown.", refusal);
        gtk_label_set_text(GTK_LABEL(w->message), text);
        g_free(text);
        gtk_widget_show(w->message);
        return;
    }
    gtk_widget_hide(w->message);
    gtk_widget_set_visible(w->banner, !sl_LocaleOK(w));
    gtk_label_set_text(GTK_LABEL(w->selected_title), "Comparing…");
    sl_StartRun(w, &site, &season, &stored);
}

void onClose(GtkWidget *, gpointer data) { gtk_widget_destroy(static_cast<sl_window *>(data)->window); }

void onDestroy(GtkWidget *, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    sl_CancelRun(w);
    closeChooser(&w->chooser);
    g_object_unref(w->ui);
    if (slopes_open == w) slopes_open = nullptr;
    delete w;
}

gboolean onDrawCompass(GtkWidget *area, cairo_t *cr, gpointer data) {
    sl_DrawCompass(cr, &static_cast<sl_window *>(data)->view, gtk_widget_get_allocated_width(area),
                   gtk_widget_get_allocated_height(area));
    return FALSE;
}

gboolean onDrawMonths(GtkWidget *area, cairo_t *cr, gpointer data) {
    month_rows rows = sl_MonthRows(&static_cast<sl_window *>(data)->view);
    drawMonthChart(cr, &rows, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    return FALSE;
}

void onRankToggled(GtkToggleButton *button, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    if (!gtk_toggle_button_get_active(button)) return;  // the other button of the pair speaks
    season_measure by = GTK_WIDGET(button) == w->rank_irradiation ? BY_IRRADIATION : BY_DEGREE_DAYS;
    if (w->view.have) {
        sl_RankBy(&w->view, by);
        sl_ShowSelection(w);
    } else {
        w->view.by = by;
    }
    gtk_widget_queue_draw(w->compass);
}

int slopeUnder(sl_window *w, double x, double y) {
    if (!w->view.have) return -1;
    sl_compass_layout l = sl_CompassLayout(gtk_widget_get_allocated_width(w->compass),
                                           gtk_widget_get_allocated_height(w->compass));
    return sl_SlopeAt(&w->view, &l, x, y);
}

gboolean onMotion(GtkWidget *, GdkEventMotion *event, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    int under = slopeUnder(w, event->x, event->y);
    if (under != w->view.hover) {
        w->view.hover = under;
        gtk_widget_queue_draw(w->compass);
    }
    return FALSE;
}

gboolean onLeave(GtkWidget *, GdkEventCrossing *, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    w->view.hover = -1;
    gtk_widget_queue_draw(w->compass);
    return FALSE;
}

gboolean onPress(GtkWidget *, GdkEventButton *event, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
    int under = slopeUnder(w, event->x, event->y);
    if (under < 0) return FALSE;
    w->view.selected = under;
    gtk_widget_queue_draw(w->compass);
    sl_ShowSelection(w);
    return TRUE;
}

gboolean onTooltip(GtkWidget *, gint x, gint y, gboolean keyboard, GtkTooltip *tooltip, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    if (keyboard) return FALSE;
    int under = slopeUnder(w, x, y);
    if (under < 0) return FALSE;
    const sl_view &v = w->view;
    float aspect = under == SL_STORED ? v.stored.aspect : sl_GridAspect(under);
    float tilt = under == SL_STORED ? v.stored.tilt : sl_GridTilt(under);
    gchar *a = aspectText(aspect);
    gchar *t = decimalText(tilt, 1);
    gchar *g = decimalText(v.results[under].season_degree_days, 2);
    gchar *i = decimalText(v.results[under].season_irradiation, 1);
    const char *role = under == SL_STORED ? "stored slope"
                       : under != v.best  ? ""
                       : v.by == BY_IRRADIATION ? "sunniest slope"
                                                : "best slope by degree days";
    gchar *text = g_strdup_printf("%s%saspect %s, tilt %s°\n%s degree days (°C above 10 °C)\n%s MJ/m² (clear-sky direct beam)",
                                  role, *role != '\0' ? "\n" : "", a, t, g, i);
    gtk_tooltip_set_text(tooltip, text);
    g_free(text);
    g_free(a);
    g_free(t);
    g_free(g);
    g_free(i);
    return TRUE;
}

gboolean onCompassKey(GtkWidget *, GdkEventKey *event, gpointer data) {
    sl_window *w = static_cast<sl_window *>(data);
    if (!w->view.have || !sl_MoveSelection(&w->view, event->keyval)) return FALSE;
    gtk_widget_queue_draw(w->compass);
    sl_ShowSelection(w);
    return TRUE;
}

gboolean onCompassFocus(GtkWidget *area, GdkEventButton *, gpointer) {
    gtk_widget_grab_focus(area);
    return FALSE;
}

void name(GtkWidget *widget, const char *text) { atk_object_set_name(gtk_widget_get_accessible(widget), text); }

void exportChosen(gpointer data, int chart, const char *path) { sl_ExportTo(static_cast<sl_window *>(data), chart, path); }

void choose(sl_window *w, bool chart) {
    if (chart)
        chooseExport(GTK_WINDOW(w->window), &w->chooser, "Save chart", "slopes.png", "PNG, SVG or PDF",
                     {"png", "svg", "pdf"}, exportChosen, w, 1);
    else
        chooseExport(GTK_WINDOW(w->window), &w->chooser, "Export table", "slopes.csv", "CSV table", {"csv"},
                     exportChosen, w, 0);
}

void onExportTable(GtkWidget *, gpointer data) { choose(static_cast<sl_window *>(data), false); }

void onSaveChart(GtkWidget *, gpointer data) { choose(static_cast<sl_window *>(data), true); }

}  // namespace

bool sl_ExportTo(sl_window *w, bool chart, const char *path) {
    GError *error = nullptr;
    bool ok = chart ? sl_SaveChart(&w->view, path, &error) : sl_ExportTable(&w->view, path, &error);
    showExportOutcome(w->status, chart ? "Chart" : "Table", path, ok, error != nullptr ? error->message : nullptr);
    if (error != nullptr) g_error_free(error);
    return ok;
}

void compareSlopes(GtkWindow *parent) {
    loadWindowStyle("/org/veranta/slopes.css");
    sl_window *w = new sl_window();
    GtkBuilder *ui = gtk_builder_new_from_resource("/org/veranta/slopes.ui");
    w->ui = ui;
    w->window = widget(ui, "slopes_window");
    w->entry_lat = widget(ui, "sl_lat");
    w->entry_lon = widget(ui, "sl_lon");
    w->entry_elev = widget(ui, "sl_elev");
    w->entry_aspect = widget(ui, "sl_aspect");
    w->entry_tilt = widget(ui, "sl_tilt");
    w->msg_lat = widget(ui, "sl_lat_msg");
    w->msg_lon = widget(ui, "sl_lon_msg");
    w->msg_elev = widget(ui, "sl_elev_msg");
    w->msg_aspect = widget(ui, "sl_aspect_msg");
    w->msg_tilt = widget(ui, "sl_tilt_msg");
    w->entry_year = widget(ui, "sl_year");
    w->entry_startday = widget(ui, "sl_startday");
    w->entry_stopday = widget(ui, "sl_stopday");
    w->combo_startmonth = widget(ui, "sl_startmonth");
    w->combo_stopmonth = widget(ui, "sl_stopmonth");
    w->msg_year = widget(ui, "sl_year_msg");
    w->msg_start = widget(ui, "sl_start_msg");
    w->msg_stop = widget(ui, "sl_stop_msg");
    w->button_compare = widget(ui, "sl_compare");
    w->progress = widget(ui, "sl_progress");
    w->banner = widget(ui, "sl_banner");
    w->message = widget(ui, "sl_message");
    w->compass = widget(ui, "sl_compass");
    w->month_chart = widget(ui, "sl_month_chart");
    w->selected_title = widget(ui, "sl_selected");
    w->difference = widget(ui, "sl_difference");
    w->months_store = GTK_LIST_STORE(gtk_builder_get_object(ui, "sl_months_store"));
    w->months_view = widget(ui, "sl_months_view");
    w->falling_note = widget(ui, "sl_falling_note");
    w->rank_irradiation = widget(ui, "sl_rank_irradiation");
    w->rank_degree_days = widget(ui, "sl_rank_degree_days");
    w->button_export = widget(ui, "sl_export_table");
    w->button_chart = widget(ui, "sl_save_chart");
    w->status = widget(ui, "sl_status");
    w->button_close = widget(ui, "sl_close");
    w->view.hover = -1;
    // The legend and its key follow the switch from the start, not only after a Compare.
    w->view.by = BY_DEGREE_DAYS;

    // The stored site, read as the calculators read it, and the usual season.
    readLocale();
    setCalculatorParameters();
    if (haveprefs == 1) {
        showStored(w->entry_lat, active_latitude);
        showStored(w->entry_lon, active_longitude);
        showStored(w->entry_elev, active_elev);
        showStored(w->entry_aspect, active_aspect);
        showStored(w->entry_tilt, active_tilt);
    }
    const season_entries season = {w->entry_year, w->entry_startday, w->combo_startmonth, w->entry_stopday,
                                   w->combo_stopmonth, w->msg_year, w->msg_start, w->msg_stop};
    showSeasonDefaults(&season);

    gtk_widget_add_events(w->compass, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_LEAVE_NOTIFY_MASK |
                                          GDK_KEY_PRESS_MASK);
    gtk_widget_set_can_focus(w->compass, TRUE);
    name(w->compass, "Compass of slopes");
    name(w->months_view, "Months of the selected slope");
    name(w->month_chart, "Degree days by month of the selected slope");
    name(w->combo_startmonth, "From month");
    name(w->combo_stopmonth, "To month");
    describeSiteEntries(w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt);
    describeWidget(w->entry_year, nullptr, "Year of the season, 2000 to 2050");
    describeWidget(w->entry_startday, "From day", "First day of the season");
    describeWidget(w->entry_stopday, "To day", "Last day of the season");
    windowKeys(w->window, w->button_close, &w->button_compare, 1);
    g_signal_connect(w->compass, "key-press-event", G_CALLBACK(onCompassKey), w);
    g_signal_connect(w->compass, "button-press-event", G_CALLBACK(onCompassFocus), w);
    g_signal_connect(w->window, "destroy", G_CALLBACK(onDestroy), w);
    g_signal_connect(w->button_compare, "clicked", G_CALLBACK(onCompare), w);
    g_signal_connect(w->button_close, "clicked", G_CALLBACK(onClose), w);
    g_signal_connect(w->button_export, "clicked", G_CALLBACK(onExportTable), w);
    g_signal_connect(w->button_chart, "clicked", G_CALLBACK(onSaveChart), w);
    g_signal_connect(w->compass, "draw", G_CALLBACK(onDrawCompass), w);
    g_signal_connect(w->month_chart, "draw", G_CALLBACK(onDrawMonths), w);
    g_signal_connect(w->compass, "motion-notify-event", G_CALLBACK(onMotion), w);
    g_signal_connect(w->compass, "leave-notify-event", G_CALLBACK(onLeave), w);
    g_signal_connect(w->compass, "button-press-event", G_CALLBACK(onPress), w);
    g_signal_connect(w->compass, "query-tooltip", G_CALLBACK(onTooltip), w);
    g_signal_connect(w->rank_irradiation, "toggled", G_CALLBACK(onRankToggled), w);
    g_signal_connect(w->rank_degree_days, "toggled", G_CALLBACK(onRankToggled), w);

    // Above the main window, and never larger than the screen's work area:
    // the content scrolls instead, the buttons stay in reach.
    if (parent != nullptr) gtk_window_set_transient_for(GTK_WINDOW(w->window), parent);
    GdkRectangle area = {0, 0, 1120, 840};
    GdkDisplay *display = gdk_display_get_default();
    GdkMonitor *monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
    if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
    gtk_window_set_default_size(GTK_WINDOW(w->window), MIN(1120, area.width - 20), MIN(840, area.height - 40));

    slopes_open = w;
    sl_ShowSelection(w);
    gtk_widget_show(w->window);
    gtk_widget_grab_focus(w->entry_lat);
}
