// The slope explorer window: its template (slopes.ui, a resource of the
// program) gives its widgets and binds its handlers; the comparison runs as
// a job on a worker thread; closing by its button, Escape or the window
// manager alike cancels it.
#include "slopes/slopesWindow.h"

#include "location/readLocale.h"
#include "model/model.h"
#include "model/winklerRegions.h"
#include "slopes/slopesCharts.h"
#include "slopes/slopesExports.h"
#include "ui/entries.h"
#include "ui/slopeFigures.h"
#include "ui/windowFiles.h"
#include "ui/windowJob.h"
#include "ui/windowTools.h"

#include <cmath>
#include <cstring>

SlopesWindow *slopes_open = nullptr;

struct _SlopesWindow {
    GtkWindow parent_instance;
    // From the template.
    GtkWidget *lat, *lon, *elev, *aspect, *tilt;
    GtkWidget *lat_msg, *lon_msg, *elev_msg, *aspect_msg, *tilt_msg;
    GtkWidget *year, *startday, *stopday, *startmonth, *stopmonth;
    GtkWidget *year_msg, *start_msg, *stop_msg;
    GtkWidget *target, *target_msg;
    GtkWidget *compare, *progress, *banner, *message;
    GtkWidget *compass, *month_chart, *selected, *difference;
    GtkWidget *winkler, *target_date;
    GtkListStore *months_store;
    GtkWidget *months_view, *falling_note;
    GtkWidget *rank_irradiation, *rank_degree_days;
    GtkWidget *export_table, *save_chart, *save_report, *status, *close;
    // Its own.
    GtkFileChooserNative *chooser;   // the export's file chooser while it is open
    window_job job;                  // the comparison under way
    slopes_view view;
};

G_DEFINE_TYPE(SlopesWindow, slopes_window, GTK_TYPE_WINDOW)

namespace {

// A stored value as the calculators show it ("%.4f"), without the zeros that
// add nothing: the text reads back to the very same number.
void showStored(GtkWidget *entry, float value) {
    gchar *text = g_strdup_printf("%.4f", static_cast<double>(value));
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == '0' && n >= 2 && text[n - 2] != '.') text[--n] = '\0';
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}

season_entries seasonEntries(SlopesWindow *self) {
    return {self->year,      self->startday, self->startmonth, self->stopday,
            self->stopmonth, self->year_msg, self->start_msg,  self->stop_msg};
}

// The entries read by the calculators' rule for text that is not wholly one
// number: such text is never used, and says so beside its entry. The first
// failing check of the season decides its note as in the season window.
bool readEntries(SlopesWindow *self, site_location *site, season_range *season, slope *stored, double *target) {
    site_location s{};
    slope t{};
    double goal = 0.0;
    bool ok = entryNumber(self->lat, self->lat_msg, &s.latitude);
    ok = entryNumber(self->lon, self->lon_msg, &s.longitude) && ok;
    ok = entryNumber(self->elev, self->elev_msg, &s.elevation) && ok;
    ok = entryNumber(self->aspect, self->aspect_msg, &t.aspect) && ok;
    ok = entryNumber(self->tilt, self->tilt_msg, &t.tilt) && ok;
    ok = entryTarget(self->target, self->target_msg, &goal) && ok;
    // As the calculators do: a typed longitude of 0 or more is taken as west.
    if (s.longitude >= 0.0f) s.longitude = -s.longitude;
    const season_entries entries = seasonEntries(self);
    season_range r{};
    bool seasonOk = readSeason(&entries, &r);
    if (!ok || !seasonOk) return false;
    *site = s;
    *season = r;
    *stored = t;
    *target = goal;
    return true;
}

// The typed site against the region the degree days are calibrated for, as
// the one-day window tests it.
bool typedSiteCalibrated(SlopesWindow *self) {
    return siteInRegion(self->lat, self->lon, self->elev, self->aspect, self->tilt);
}

gchar *slopeName(const slopes_view *v, int index) {
    float aspect = index == SLOPES_STORED ? v->stored.aspect : slopes_grid_aspect(index);
    float tilt = index == SLOPES_STORED ? v->stored.tilt : slopes_grid_tilt(index);
    gchar *t = decimalText(tilt, std::fmod(tilt, 1.0f) == 0.0f ? 0 : 1);
    gchar *text;
    if (index != SLOPES_STORED && tilt == 0.0f) {
        text = g_strdup("flat ground (tilt 0°)");
    } else {
        gchar *a = aspectText(aspect);
        text = g_strdup_printf("aspect %s, tilt %s°", a, t);
        g_free(a);
    }
    g_free(t);
    return text;
}

// A gain carries its plus sign; one that rounds to nothing carries none.
gchar *signedNumber(double value, int decimals) {
    gchar *text = decimalText(value, decimals);
    if (value <= 0.0 || g_ascii_strtod(text, nullptr) == 0.0) return text;
    gchar *plus = g_strconcat("+", text, nullptr);
    g_free(text);
    return plus;
}

void describeCompass(SlopesWindow *self) {
    gchar *text = slopes_compass_description(&self->view, gtk_label_get_text(GTK_LABEL(self->selected)));
    atk_object_set_description(gtk_widget_get_accessible(self->compass), text);
    g_free(text);
}

// The Winkler region of the selected and the stored slope (or why none is
// named), its source and what it leaves out in the tooltip; the date they
// reach the target, when one was given.
void showRegionAndTarget(SlopesWindow *self) {
    const slopes_view *v = &self->view;
    const std::string region = slopes_winkler_text(v);
    gtk_label_set_text(GTK_LABEL(self->winkler), region.c_str());
    gchar *tip = winklerSeason(v->season)
                     ? g_strdup_printf("%s\n\n%s", winklerSourceText(), winklerNoteText())
                     : g_strdup(winklerSourceText());
    gtk_widget_set_tooltip_text(self->winkler, tip);
    g_free(tip);
    gtk_widget_set_visible(self->winkler, !region.empty());
    const std::string date = slopes_target_text(v);
    gtk_label_set_text(GTK_LABEL(self->target_date), date.c_str());
    gtk_widget_set_visible(self->target_date, !date.empty());
}

// The selected slope in words and in its month table: the season's degree
// days and irradiation, and how far it lies above or below the stored slope.
void showSelection(SlopesWindow *self) {
    const slopes_view *v = &self->view;
    if (!v->have) {
        gtk_list_store_clear(self->months_store);
        gtk_label_set_text(GTK_LABEL(self->selected), "Press Compare to see every slope of the site.");
        gtk_label_set_text(GTK_LABEL(self->difference), "");
        gtk_widget_hide(self->winkler);
        gtk_widget_hide(self->target_date);
        gtk_widget_hide(self->falling_note);
        describeCompass(self);
        gtk_widget_queue_draw(self->month_chart);
        return;
    }
    const slope_season &s = v->results[v->selected];
    const slope_season &stored = v->results[SLOPES_STORED];

    gchar *name = slopeName(v, v->selected);
    const char *role = v->selected == SLOPES_STORED ? "Stored slope"
                       : v->selected != v->best     ? "Selected"
                       : v->by == BY_IRRADIATION    ? "Best slope by irradiation"
                                                    : "Best slope";
    // Ranked by degree days, the best slope's months where the formula runs
    // backwards are said, with the best by irradiation beside it.
    gchar *caveat = v->selected == v->best ? slopes_best_caveat(v) : nullptr;
    gchar *title = caveat != nullptr ? g_strdup_printf("%s: %s. %s", role, name, caveat)
                                     : g_strdup_printf("%s: %s", role, name);
    g_free(caveat);
    gtk_label_set_text(GTK_LABEL(self->selected), title);
    g_free(title);
    g_free(name);

    gchar *gdd = decimalText(s.season_degree_days, 2);
    gchar *irr = decimalText(s.season_irradiation, 1);
    gchar *text;
    if (v->selected == SLOPES_STORED) {
        text = g_strdup_printf("%s degree days and %s MJ/m² (clear-sky direct beam) over the season.", gdd, irr);
    } else {
        double delta = static_cast<double>(s.season_degree_days) - stored.season_degree_days;
        gchar *d = signedNumber(delta, 2);
        gchar *storedName = slopeName(v, SLOPES_STORED);
        gchar *percent = stored.season_degree_days != 0.0f
                             ? signedNumber(100.0 * delta / stored.season_degree_days, 1)
                             : g_strdup("–");
        text = g_strdup_printf("%s degree days and %s MJ/m² (clear-sky direct beam) over the season: %s degree days (%s %%) "
                               "against the stored slope (%s).",
                               gdd, irr, d, percent, storedName);
        g_free(d);
        g_free(storedName);
        g_free(percent);
    }
    gtk_label_set_text(GTK_LABEL(self->difference), text);
    g_free(text);
    g_free(gdd);
    g_free(irr);
    showRegionAndTarget(self);

    month_rows rows = slopes_month_rows(v);
    monthTable(self->months_store, &rows);
    bool marked = false;
    for (int i = 0; i < rows.count; i++) marked = marked || rows.falling[i];
    gtk_label_set_text(GTK_LABEL(self->falling_note), marked ? fallingNote() : "");
    gtk_widget_set_visible(self->falling_note, marked);
    describeCompass(self);
    gtk_widget_queue_draw(self->month_chart);
}

// What the switch says the compass is coloured and ranked by.
season_measure chosenMeasure(SlopesWindow *self) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->rank_irradiation)) ? BY_IRRADIATION
                                                                                  : BY_DEGREE_DAYS;
}

void forgetResults(SlopesWindow *self) {
    slopes_view_clear(&self->view);
    self->view.by = chosenMeasure(self);
    gtk_widget_set_sensitive(self->export_table, FALSE);
    gtk_widget_set_sensitive(self->save_chart, FALSE);
    gtk_widget_set_sensitive(self->save_report, FALSE);
    gtk_widget_queue_draw(self->compass);
    showSelection(self);
}

// The comparison as a job: the sweep runs on the worker, the window takes
// its results on the main loop.
void sweepWork(gpointer data) { slopes_sweep_run(static_cast<slopes_sweep *>(data)); }

double sweepProgress(gconstpointer data) { return slopes_sweep_progress(static_cast<const slopes_sweep *>(data)); }

void sweepDone(GtkWidget *window, gpointer data) {
    SlopesWindow *self = SLOPES_WINDOW(window);
    const slopes_sweep *sweep = static_cast<const slopes_sweep *>(data);
    const char *refusal = slopes_sweep_refusal(sweep);
    if (refusal == nullptr) {
        slopes_view_take(&self->view, sweep);
        gtk_widget_hide(self->message);
    } else {
        gtk_label_set_text(GTK_LABEL(self->message), refusal);
        gtk_widget_show(self->message);
    }
    gtk_widget_set_sensitive(self->export_table, self->view.have);
    gtk_widget_set_sensitive(self->save_chart, self->view.have);
    gtk_widget_set_sensitive(self->save_report, self->view.have);
    gtk_widget_queue_draw(self->compass);
    showSelection(self);
}

void freeSweep(gpointer data) { delete static_cast<slopes_sweep *>(data); }

const window_job_calls kSweepCalls = {sweepWork, sweepProgress, sweepDone, freeSweep, nullptr};

void onCompare(GtkButton *, SlopesWindow *self) {
    windowJobCancel(&self->job);
    gtk_widget_hide(self->progress);
    forgetResults(self);
    showStatus(self->status, "", false);
    site_location site;
    season_range season;
    slope stored;
    double target = 0.0;
    if (!readEntries(self, &site, &season, &stored, &target)) {
        gtk_widget_hide(self->banner);
        gtk_label_set_text(GTK_LABEL(self->message), "Some entries cannot be used; see the notes beside them.");
        gtk_widget_show(self->message);
        return;
    }
    const char *refusal = slopes_site_refusal(&site, &stored);
    if (refusal != nullptr) {
        gtk_widget_hide(self->banner);
        gchar *text = g_strdup_printf("This site cannot be computed: %s No numbers are shown.", refusal);
        gtk_label_set_text(GTK_LABEL(self->message), text);
        g_free(text);
        gtk_widget_show(self->message);
        return;
    }
    gtk_widget_hide(self->message);
    const bool calibrated = typedSiteCalibrated(self);
    gtk_widget_set_visible(self->banner, !calibrated);
    gtk_label_set_text(GTK_LABEL(self->selected), "Comparing…");
    slopes_sweep *sweep = new slopes_sweep();
    slopes_sweep_prepare(sweep, &site, &season, &stored, calibrated, target);
    windowJobStart(&self->job, GTK_WIDGET(self), sweep, &kSweepCalls, &sweep->control.cancel, self->progress);
}

void onClose(GtkButton *, SlopesWindow *self) { gtk_widget_destroy(GTK_WIDGET(self)); }

gboolean onDrawCompass(GtkWidget *area, cairo_t *cr, SlopesWindow *self) {
    slopes_compass_draw(cr, &self->view, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    return FALSE;
}

gboolean onDrawMonths(GtkWidget *area, cairo_t *cr, SlopesWindow *self) {
    month_rows rows = slopes_month_rows(&self->view);
    drawMonthChart(cr, &rows, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    return FALSE;
}

void onRankToggled(GtkToggleButton *button, SlopesWindow *self) {
    if (!gtk_toggle_button_get_active(button)) return;  // the other button of the pair speaks
    season_measure by = GTK_WIDGET(button) == self->rank_irradiation ? BY_IRRADIATION : BY_DEGREE_DAYS;
    if (self->view.have) {
        slopes_view_rank_by(&self->view, by);
        showSelection(self);
    } else {
        self->view.by = by;
    }
    gtk_widget_queue_draw(self->compass);
}

int slopeUnder(SlopesWindow *self, double x, double y) {
    if (!self->view.have) return -1;
    slopes_compass l = slopes_compass_layout(gtk_widget_get_allocated_width(self->compass),
                                             gtk_widget_get_allocated_height(self->compass));
    return slopes_compass_slope_at(&self->view, &l, x, y);
}

gboolean onCompassMotion(GtkWidget *, GdkEventMotion *event, SlopesWindow *self) {
    int under = slopeUnder(self, event->x, event->y);
    if (under != self->view.hover) {
        self->view.hover = under;
        gtk_widget_queue_draw(self->compass);
    }
    return FALSE;
}

gboolean onCompassLeave(GtkWidget *, GdkEventCrossing *, SlopesWindow *self) {
    self->view.hover = -1;
    gtk_widget_queue_draw(self->compass);
    return FALSE;
}

// Any button gives the compass the keyboard; the first selects the slope
// under the pointer.
gboolean onCompassPress(GtkWidget *area, GdkEventButton *event, SlopesWindow *self) {
    gtk_widget_grab_focus(area);
    if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
    int under = slopeUnder(self, event->x, event->y);
    if (under < 0) return FALSE;
    self->view.selected = under;
    gtk_widget_queue_draw(self->compass);
    showSelection(self);
    return TRUE;
}

gboolean onCompassTooltip(GtkWidget *, gint x, gint y, gboolean keyboard, GtkTooltip *tooltip, SlopesWindow *self) {
    if (keyboard) return FALSE;
    int under = slopeUnder(self, x, y);
    if (under < 0) return FALSE;
    gchar *text = slopes_compass_tooltip(&self->view, under);
    gtk_tooltip_set_text(tooltip, text);
    g_free(text);
    return TRUE;
}

// Arrow keys on the compass: left and right turn the aspect, up and down
// change the tilt of the selection.
gboolean onCompassKey(GtkWidget *, GdkEventKey *event, SlopesWindow *self) {
    if (!self->view.have) return FALSE;
    slopes_step step;
    switch (event->keyval) {
    case GDK_KEY_Left: case GDK_KEY_KP_Left: step = SLOPES_TURN_ANTICLOCKWISE; break;
    case GDK_KEY_Right: case GDK_KEY_KP_Right: step = SLOPES_TURN_CLOCKWISE; break;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: step = SLOPES_STEEPER; break;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: step = SLOPES_GENTLER; break;
    default: return FALSE;
    }
    slopes_view_step(&self->view, step);
    gtk_widget_queue_draw(self->compass);
    showSelection(self);
    return TRUE;
}

void exportChosen(gpointer data, int kind, const char *path) {
    if (kind == 2)
        slopes_window_save_report(SLOPES_WINDOW(data), path);
    else
        slopes_window_export_to(SLOPES_WINDOW(data), kind != 0, path);
}

void onExportTable(GtkButton *, SlopesWindow *self) {
    chooseExport(GTK_WINDOW(self), &self->chooser, "Export table", "slopes.csv", "CSV table", {"csv"}, exportChosen,
                 self, 0);
}

void onSaveReport(GtkButton *, SlopesWindow *self) {
    chooseExport(GTK_WINDOW(self), &self->chooser, "Save report", "site-report.pdf", "PDF", {"pdf"}, exportChosen,
                 self, 2);
}

void onSaveChart(GtkButton *, SlopesWindow *self) {
    chooseExport(GTK_WINDOW(self), &self->chooser, "Save chart", "slopes.png", "PNG, SVG or PDF",
                 {"png", "svg", "pdf"}, exportChosen, self, 1);
}

// The stored site, read as the calculators read it, and the usual season.
void showStoredSite(SlopesWindow *self) {
    readLocale();
    setCalculatorParameters();
    if (haveprefs == 1) {
        showStored(self->lat, active_latitude);
        showStored(self->lon, active_longitude);
        showStored(self->elev, active_elev);
        showStored(self->aspect, active_aspect);
        showStored(self->tilt, active_tilt);
    }
    const season_entries season = seasonEntries(self);
    showSeasonDefaults(&season);
}

}  // namespace

static void slopes_window_init(SlopesWindow *self) {
    gtk_widget_init_template(GTK_WIDGET(self));
    slopes_view_clear(&self->view);
    showStoredSite(self);
    // Shared words for the site's fields; the template names the rest.
    describeSiteEntries(self->lat, self->lon, self->elev, self->aspect, self->tilt);
    describeWidget(self->year, nullptr, "Year of the season, 2000 to 2050");
    describeWidget(self->startday, "From day", "First day of the season");
    describeWidget(self->stopday, "To day", "Last day of the season");
    describeWidget(self->target, "Degree-day target",
                   "Degree days (°C above 10 °C) a slope's season should reach: the date each slope reaches it is "
                   "shown, from the season's first day on. Leave it empty for no target.");
    windowKeys(GTK_WIDGET(self), self->close, &self->compare, 1);
    showSelection(self);
}

static void slopes_window_dispose(GObject *object) {
    SlopesWindow *self = SLOPES_WINDOW(object);
    windowJobCancel(&self->job);
    closeChooser(&self->chooser);
    if (slopes_open == self) slopes_open = nullptr;
    G_OBJECT_CLASS(slopes_window_parent_class)->dispose(object);
}

static void slopes_window_class_init(SlopesWindowClass *klass) {
    G_OBJECT_CLASS(klass)->dispose = slopes_window_dispose;
    GtkWidgetClass *widget = GTK_WIDGET_CLASS(klass);
    registerWindowResources();
    gtk_widget_class_set_template_from_resource(widget, "/org/veranta/slopes.ui");
    // Each child's id in the template is "slopes_" and its name here.
#define SLOPES_CHILD(member) \
    gtk_widget_class_bind_template_child_full(widget, "slopes_" #member, FALSE, G_STRUCT_OFFSET(SlopesWindow, member))
    SLOPES_CHILD(lat);
    SLOPES_CHILD(lon);
    SLOPES_CHILD(elev);
    SLOPES_CHILD(aspect);
    SLOPES_CHILD(tilt);
    SLOPES_CHILD(lat_msg);
    SLOPES_CHILD(lon_msg);
    SLOPES_CHILD(elev_msg);
    SLOPES_CHILD(aspect_msg);
    SLOPES_CHILD(tilt_msg);
    SLOPES_CHILD(year);
    SLOPES_CHILD(startday);
    SLOPES_CHILD(stopday);
    SLOPES_CHILD(startmonth);
    SLOPES_CHILD(stopmonth);
    SLOPES_CHILD(year_msg);
    SLOPES_CHILD(start_msg);
    SLOPES_CHILD(stop_msg);
    SLOPES_CHILD(target);
    SLOPES_CHILD(target_msg);
    SLOPES_CHILD(compare);
    SLOPES_CHILD(progress);
    SLOPES_CHILD(banner);
    SLOPES_CHILD(message);
    SLOPES_CHILD(compass);
    SLOPES_CHILD(month_chart);
    SLOPES_CHILD(selected);
    SLOPES_CHILD(difference);
    SLOPES_CHILD(winkler);
    SLOPES_CHILD(target_date);
    SLOPES_CHILD(months_store);
    SLOPES_CHILD(months_view);
    SLOPES_CHILD(falling_note);
    SLOPES_CHILD(rank_irradiation);
    SLOPES_CHILD(rank_degree_days);
    SLOPES_CHILD(export_table);
    SLOPES_CHILD(save_chart);
    SLOPES_CHILD(save_report);
    SLOPES_CHILD(status);
    SLOPES_CHILD(close);
#undef SLOPES_CHILD
    gtk_widget_class_bind_template_callback(widget, onCompare);
    gtk_widget_class_bind_template_callback(widget, onClose);
    gtk_widget_class_bind_template_callback(widget, onExportTable);
    gtk_widget_class_bind_template_callback(widget, onSaveReport);
    gtk_widget_class_bind_template_callback(widget, onSaveChart);
    gtk_widget_class_bind_template_callback(widget, onDrawCompass);
    gtk_widget_class_bind_template_callback(widget, onDrawMonths);
    gtk_widget_class_bind_template_callback(widget, onRankToggled);
    gtk_widget_class_bind_template_callback(widget, onCompassMotion);
    gtk_widget_class_bind_template_callback(widget, onCompassLeave);
    gtk_widget_class_bind_template_callback(widget, onCompassPress);
    gtk_widget_class_bind_template_callback(widget, onCompassTooltip);
    gtk_widget_class_bind_template_callback(widget, onCompassKey);
}

SlopesWindow *slopes_window_open(GtkWindow *parent) {
    loadWindowStyle("/org/veranta/slopes.css");
    SlopesWindow *self = SLOPES_WINDOW(g_object_new(SLOPES_TYPE_WINDOW, nullptr));
    // Above the main window, and never larger than the screen's work area:
    // the content scrolls instead, the buttons stay in reach.
    if (parent != nullptr) gtk_window_set_transient_for(GTK_WINDOW(self), parent);
    GdkRectangle area = {0, 0, 1120, 840};
    GdkDisplay *display = gdk_display_get_default();
    GdkMonitor *monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
    if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
    gtk_window_set_default_size(GTK_WINDOW(self), MIN(1120, area.width - 20), MIN(840, area.height - 40));
    slopes_open = self;
    gtk_widget_show(GTK_WIDGET(self));
    gtk_widget_grab_focus(self->lat);
    return self;
}

const slopes_view *slopes_window_get_view(SlopesWindow *self) { return &self->view; }

bool slopes_window_is_comparing(SlopesWindow *self) { return windowJobRunning(&self->job); }

bool slopes_window_export_to(SlopesWindow *self, bool chart, const char *path) {
    GError *error = nullptr;
    bool ok = chart ? slopes_save_chart(&self->view, path, &error) : slopes_export_table(&self->view, path, &error);
    showExportOutcome(self->status, chart ? "Chart" : "Table", path, ok, error != nullptr ? error->message : nullptr);
    if (error != nullptr) g_error_free(error);
    return ok;
}

bool slopes_window_save_report(SlopesWindow *self, const char *path) {
    GError *error = nullptr;
    const bool ok = slopes_save_report(&self->view, path, &error);
    showExportOutcome(self->status, "Report", path, ok, error != nullptr ? error->message : nullptr);
    if (error != nullptr) g_error_free(error);
    return ok;
}
