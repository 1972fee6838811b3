// The measured degree days window: a GtkWindow subclass whose template is
// station.ui in the program's resources. A file is read, and its seasons and
// the estimate computed, on a GTask worker with its own GCancellable; a new
// file or Compute cancels the run under way, and closing the window cancels
// it too (the task keeps the object alive until the worker ends, and the
// result of a cancelled run is thrown away).
#include "stationwindow/stationWindow.h"

#include "files/safeWrite.h"
#include "location/readLocale.h"
#include "model/model.h"
#include "station/stationEstimate.h"
#include "station/stationRecord.h"
#include "station/stationSeasons.h"
#include "stationwindow/stationChart.h"
#include "ui/entries.h"
#include "ui/windowFiles.h"
#include "ui/windowTools.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

StationWindow *station_open = nullptr;

namespace {

const char *const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char *const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The store columns of the table by year and month.
enum { COL_YEAR = 0, COL_MONTH1 = 1, COL_SEASON = 13, COL_MISSING = 14, COL_TARGET = 15, YEAR_COLUMNS = 16 };

// One run on the worker: what to read and compute, and what came of it.
struct station_job {
    std::string path;                                  // the file to read, or "" to use record
    temperature_unit unsaid = UNIT_UNSAID;
    std::shared_ptr<const station_record> record;
    bool compute = false;
    station_season season;
    gdd_rule rule = GDD_CAPPED;
    double target = 0.0;
    bool have_site = false, site_from_file = false;
    site_location site{};
    std::atomic<bool> stop{false};

    int read_status = STATION_READ_OK;
    std::string refusal;
    station_figures figures;
    int compare_status = 0;
    station_comparison comparison;
};

// What the window holds beyond its widgets (C++ objects, made and freed
// with the window).
struct station_state {
    std::string path;
    temperature_unit unsaid = UNIT_UNSAID;
    std::shared_ptr<const station_record> record;
    std::unique_ptr<station_figures> figures;
    std::unique_ptr<station_comparison> comparison;   // null without a site
    station_job *job = nullptr;                       // the run awaited, or null
    GCancellable *cancellable = nullptr;
    guint pulse = 0;
    GtkFileChooserNative *chooser = nullptr;
    GtkFileChooserNative *export_chooser = nullptr;
};

}  // namespace

struct _StationWindow {
    GtkWindow parent_instance;
    GtkWidget *open_button, *file_label, *unit_bar, *celsius_button, *fahrenheit_button, *refusal;
    GtkWidget *start_day, *start_month, *stop_day, *stop_month, *rule;
    GtkWidget *latitude, *longitude, *elevation, *stored_button, *target, *site_note, *compute_button;
    GtkWidget *progress, *banner, *notebook, *chart, *year_view, *compare_view, *summary, *status;
    GtkWidget *export_button, *close_button;
    GtkListStore *year_store, *compare_store;
    station_state *s;
};

G_DEFINE_TYPE(StationWindow, station_window, GTK_TYPE_WINDOW)

namespace {

void setStatus(StationWindow *w, const char *text, bool failed) { showStatus(w->status, text, failed); }

void showLabel(GtkWidget *label, const std::string &text) {
    gtk_label_set_text(GTK_LABEL(label), text.c_str());
    gtk_widget_set_visible(label, !text.empty());
}

std::string baseName(const std::string &path) {
    gchar *name = g_path_get_basename(path.c_str());
    gchar *shown = g_filename_display_name(name);
    std::string out = shown;
    g_free(shown);
    g_free(name);
    return out;
}

std::string figure(double v, const char *format = "%.1f") {
    if (!std::isfinite(v)) return "—";
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// A stored value as the other windows show it, without zeros that add nothing.
void showValue(GtkWidget *entry, double value, int decimals) {
    gchar *text = g_strdup_printf("%.*f", decimals, value);
    size_t n = std::strlen(text);
    while (n > 0 && std::strchr(text, '.') != nullptr && text[n - 1] == '0' && text[n - 2] != '.') text[--n] = '\0';
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}

bool entryEmpty(GtkWidget *entry) {
    const gchar *t = gtk_entry_get_text(GTK_ENTRY(entry));
    while (*t == ' ' || *t == '\t') t++;
    return *t == '\0';
}

// --- the tables, chart and texts ------------------------------------------------

void clearResults(StationWindow *w) {
    w->s->figures.reset();
    w->s->comparison.reset();
    gtk_list_store_clear(w->year_store);
    gtk_list_store_clear(w->compare_store);
    showLabel(w->banner, "");
    gtk_label_set_text(GTK_LABEL(w->summary), "");
    gtk_widget_set_sensitive(w->export_button, FALSE);
    gtk_widget_queue_draw(w->chart);
}

void fillYears(StationWindow *w) {
    const station_figures &f = *w->s->figures;
    gtk_list_store_clear(w->year_store);
    for (int c = 0; c < 12; c++) {
        GtkTreeViewColumn *column = gtk_tree_view_get_column(GTK_TREE_VIEW(w->year_view), COL_MONTH1 + c);
        gtk_tree_view_column_set_visible(column, c + 1 >= f.season.start_month && c + 1 <= f.season.stop_month);
    }
    gtk_tree_view_column_set_visible(gtk_tree_view_get_column(GTK_TREE_VIEW(w->year_view), COL_TARGET), f.target > 0.0);
    for (const year_figures &y : f.years) {
        GtkTreeIter it;
        gtk_list_store_append(w->year_store, &it);
        gtk_list_store_set(w->year_store, &it, COL_YEAR, std::to_string(y.year).c_str(), -1);
        for (const month_figures &m : y.months) {
            std::string text = figure(m.gdd) + (m.complete ? "" : " *");
            gtk_list_store_set(w->year_store, &it, COL_MONTH1 + m.month - 1, text.c_str(), -1);
        }
        std::string season = figure(y.gdd) + (y.complete ? "" : " *");
        std::string reached = "not reached";
        if (y.reached >= 0) reached = std::to_string(y.reached_day) + " " + kShortMonths[y.reached_month - 1];
        gtk_list_store_set(w->year_store, &it, COL_SEASON, season.c_str(), COL_MISSING, std::to_string(y.missing).c_str(),
                           COL_TARGET, reached.c_str(), -1);
    }
}

void fillComparison(StationWindow *w) {
    const station_figures &f = *w->s->figures;
    const station_comparison *c = w->s->comparison.get();
    gtk_list_store_clear(w->compare_store);
    std::vector<int> months;
    for (int m = f.season.start_month; m <= f.season.stop_month; m++) months.push_back(m);
    months.push_back(0);
    for (size_t k = 0; k < months.size(); k++) {
        const int m = months[k];
        int years = 0;
        double measured = 0.0;
        for (const year_figures &y : f.years) {
            if (!monthComplete(y, m)) continue;
            years++;
            measured += m == 0 ? y.gdd : y.months[static_cast<size_t>(m - f.season.start_month)].gdd;
        }
        std::string mean = years > 0 ? figure(measured / years) : "—", estimate = "—", difference = "—", percent = "—";
        if (c != nullptr) {
            const comparison_row &row = c->rows[k];
            if (row.years > 0) {
                estimate = figure(row.estimate);
                difference = figure(row.difference, "%+.1f");
                percent = std::isfinite(row.percent) ? figure(row.percent, "%+.1f %%") : "—";
            } else {
                double sum = 0.0;
                for (const estimate_year &e : c->years) sum += estimateOf(e, m);
                if (!c->years.empty()) estimate = figure(sum / static_cast<double>(c->years.size()));
            }
        }
        GtkTreeIter it;
        gtk_list_store_append(w->compare_store, &it);
        gtk_list_store_set(w->compare_store, &it, 0, m == 0 ? "Season" : kMonths[m - 1], 1, std::to_string(years).c_str(),
                           2, mean.c_str(), 3, estimate.c_str(), 4, difference.c_str(), 5, percent.c_str(), -1);
    }
}

std::string seasonText(const station_season &s) {
    return std::to_string(s.start_day) + " " + kMonths[s.start_month - 1] + " to " + std::to_string(s.stop_day) + " " +
           kMonths[s.stop_month - 1];
}

void showResults(StationWindow *w) {
    const station_figures &f = *w->s->figures;
    fillYears(w);
    fillComparison(w);
    std::string summary = "Measured degree days, " + seasonText(f.season) + ". " + acrossYearsText(f) +
                          " A * marks a month with more than 3 days missing (or a season with such a month): shown, "
                          "but left out of the comparison and the figures across years.";
    if (w->s->comparison != nullptr)
        summary += " The estimate beside them is the degree days of an average season at a site of this irradiation "
                   "and elevation in the calibrated region, on flat ground: not a given year.";
    else
        summary += " Enter the station's site and press Compute for the estimate beside them.";
    gtk_label_set_text(GTK_LABEL(w->summary), summary.c_str());
    std::string banner;
    if (w->s->comparison != nullptr) {
        banner = w->s->comparison->region_note;
        if (w->s->comparison->clamped)
            banner += std::string(banner.empty() ? "" : " ") +
                      "Years before 2000 are estimated with 2000's calendar and years after 2050 with 2050's.";
    }
    showLabel(w->banner, banner);
    gtk_widget_set_sensitive(w->export_button, !f.years.empty());
    gtk_widget_queue_draw(w->chart);
}

// --- the worker ---------------------------------------------------------------------

void work(GTask *task, gpointer, gpointer data, GCancellable *cancellable) {
    station_job *j = static_cast<station_job *>(data);
    if (!j->path.empty()) {
        auto record = std::make_shared<station_record>();
        j->read_status = readStationFile(j->path, j->unsaid, record.get(), &j->refusal);
        if (j->read_status != STATION_READ_OK) {
            g_task_return_boolean(task, TRUE);
            return;
        }
        j->record = record;
        if (record->site_known) {
            j->site_from_file = true;
            j->have_site = true;
            j->site = {static_cast<float>(record->latitude), static_cast<float>(record->longitude),
                       static_cast<float>(record->elevation)};
        }
    }
    if (j->compute && !g_cancellable_is_cancelled(cancellable)) {
        j->figures = measureSeasons(*j->record, j->season, j->rule, j->target);
        if (j->have_site) j->compare_status = compareWithEstimate(j->figures, j->site, &j->comparison, &j->stop);
    }
    g_task_return_boolean(task, TRUE);
}

void freeJob(gpointer data) { delete static_cast<station_job *>(data); }

void stopPulse(StationWindow *w) {
    if (w->s->pulse != 0) g_source_remove(w->s->pulse);
    w->s->pulse = 0;
    gtk_widget_hide(w->progress);
}

void done(GObject *source, GAsyncResult *result, gpointer) {
    GTask *task = G_TASK(result);
    station_job *j = static_cast<station_job *>(g_task_get_task_data(task));
    // A dropped run (a newer one, or the window closed): nothing to show.
    if (g_cancellable_is_cancelled(g_task_get_cancellable(task))) return;
    StationWindow *w = STATION_WINDOW(source);
    station_state *s = w->s;
    s->job = nullptr;
    g_clear_object(&s->cancellable);
    stopPulse(w);
    const std::string name = j->path.empty() ? baseName(s->path) : baseName(j->path);
    if (!j->path.empty()) {
        if (j->read_status == STATION_READ_NEEDS_UNIT) {
            gtk_widget_show(w->unit_bar);
            gtk_label_set_text(GTK_LABEL(w->file_label), (name + ": choose the unit of its temperatures.").c_str());
            return;
        }
        if (j->read_status != STATION_READ_OK) {
            s->record.reset();
            showLabel(w->refusal, name + " cannot be used: " + j->refusal + ".");
            gtk_label_set_text(GTK_LABEL(w->file_label), "Open a weather station's daily temperatures, or drop the file here.");
            return;
        }
        s->record = j->record;
        const station_record &r = *s->record;
        const station_day &a = r.days.front(), &b = r.days.back();
        gchar *info = g_strdup_printf("%s: %s%s%s, %04d-%02d-%02d to %04d-%02d-%02d (%zu days)%s", name.c_str(),
                                      stationFormatName(r.format), r.station.empty() ? "" : ", ", r.station.c_str(),
                                      a.year, a.month, a.day, b.year, b.month, b.day, r.days.size(),
                                      r.unit == UNIT_FAHRENHEIT ? ", read in °F" : "");
        std::string text = info;
        g_free(info);
        if (r.flagged > 0)
            text += "; " + std::to_string(r.flagged) + (r.flagged == 1 ? " value" : " values") +
                    " dropped for NOAA's quality flags";
        if (r.impossible > 0)
            text += "; " + std::to_string(r.impossible) + (r.impossible == 1 ? " value" : " values") +
                    " outside −90 to 60 °C dropped";
        gtk_label_set_text(GTK_LABEL(w->file_label), text.c_str());
        if (j->site_from_file) {
            showValue(w->latitude, r.latitude, 4);
            showValue(w->longitude, r.longitude, 4);
            showValue(w->elevation, r.elevation, 1);
            gtk_label_set_text(GTK_LABEL(w->site_note), "The station's site, from the file; flat ground.");
        } else {
            gtk_label_set_text(GTK_LABEL(w->site_note), "The file does not say where the station is: enter its site "
                                                        "(or the stored one) and press Compute for the estimate.");
        }
    }
    if (!j->compute) return;
    s->figures = std::make_unique<station_figures>(std::move(j->figures));
    s->comparison.reset();
    if (j->have_site && j->compare_status == 0) {
        s->comparison = std::make_unique<station_comparison>(std::move(j->comparison));
    } else if (j->have_site) {
        setStatus(w, "The model cannot compute the station's site: check its latitude, longitude and elevation.", true);
    }
    showResults(w);
}

gboolean onPulse(gpointer data) {
    gtk_progress_bar_pulse(GTK_PROGRESS_BAR(STATION_WINDOW(data)->progress));
    return G_SOURCE_CONTINUE;
}

void cancelJob(StationWindow *w) {
    station_state *s = w->s;
    if (s->job != nullptr) s->job->stop.store(true);
    s->job = nullptr;
    if (s->cancellable != nullptr) g_cancellable_cancel(s->cancellable);
    g_clear_object(&s->cancellable);
    if (s->pulse != 0) g_source_remove(s->pulse);
    s->pulse = 0;
}

// Reads the entries into the job; false with the status saying which is wrong.
bool readEntries(StationWindow *w, station_job *j) {
    j->season.start_day = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(w->start_day));
    j->season.start_month = gtk_combo_box_get_active(GTK_COMBO_BOX(w->start_month)) + 1;
    j->season.stop_day = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(w->stop_day));
    j->season.stop_month = gtk_combo_box_get_active(GTK_COMBO_BOX(w->stop_month)) + 1;
    std::string why;
    if (!checkStationSeason(j->season, &why)) {
        why[0] = static_cast<char>(g_ascii_toupper(why[0]));
        setStatus(w, (why + ".").c_str(), true);
        return false;
    }
    const gchar *rule = gtk_combo_box_get_active_id(GTK_COMBO_BOX(w->rule));
    j->rule = rule != nullptr && std::strcmp(rule, "nocap") == 0 ? GDD_NO_CAP : GDD_CAPPED;
    float target = 0.0f;
    if (!entryEmpty(w->target) && (!entryFloat(w->target, &target) || target < 0.0f)) {
        setStatus(w, "The target must be a number of degree days, 0 or more (or empty).", true);
        return false;
    }
    j->target = target;
    float lat = 0.0f, lon = 0.0f, elev = 0.0f;
    if (entryEmpty(w->latitude) && entryEmpty(w->longitude) && entryEmpty(w->elevation)) {
        j->have_site = false;
    } else if (entryFloat(w->latitude, &lat) && entryFloat(w->longitude, &lon) && entryFloat(w->elevation, &elev) &&
               lat >= -90.0f && lat <= 90.0f && lon >= -180.0f && lon <= 180.0f) {
        j->have_site = true;
        j->site = {lat, lon, elev};
    } else {
        setStatus(w, "The station's latitude (−90 to 90), longitude (−180 to 180) and elevation (m) must each be a "
                     "number, or all three empty.", true);
        return false;
    }
    return true;
}

// Starts a run: reading path (when given) and computing with the entries.
void startJob(StationWindow *w, const std::string &path) {
    station_state *s = w->s;
    cancelJob(w);
    setStatus(w, "", false);
    station_job *j = new station_job;
    j->compute = readEntries(w, j);
    if (path.empty()) {
        if (!j->compute || s->record == nullptr) {
            delete j;
            return;
        }
        j->record = s->record;
    } else {
        j->path = path;
        j->unsaid = s->unsaid;
    }
    s->job = j;
    s->cancellable = g_cancellable_new();
    GTask *task = g_task_new(w, s->cancellable, done, nullptr);
    g_task_set_task_data(task, j, freeJob);
    g_task_run_in_thread(task, work);
    g_object_unref(task);
    gtk_widget_show(w->progress);
    s->pulse = g_timeout_add(100, onPulse, w);
}

// --- handlers bound in the template ------------------------------------------------

void onOpenResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    StationWindow *w = STATION_WINDOW(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) station_window_open_file(w, path);
        g_free(path);
    }
    w->s->chooser = nullptr;
    g_object_unref(dialog);
}

void onOpenClicked(GtkButton *, StationWindow *w) {
    if (w->s->chooser != nullptr) return;
    GtkFileChooserNative *dialog = gtk_file_chooser_native_new("Open a station's daily temperatures", GTK_WINDOW(w),
                                                               GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Daily temperatures (CSV or text)", {"csv", "txt"});
    GtkFileFilter *all = gtk_file_filter_new();
    gtk_file_filter_set_name(all, "Every file");
    gtk_file_filter_add_pattern(all, "*");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), all);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onOpenResponse), w);
    w->s->chooser = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void onUnitClicked(GtkButton *button, StationWindow *w) {
    w->s->unsaid = GTK_WIDGET(button) == w->fahrenheit_button ? UNIT_FAHRENHEIT : UNIT_CELSIUS;
    gtk_widget_hide(w->unit_bar);
    const std::string path = w->s->path;
    startJob(w, path);
}

void onComputeClicked(GtkButton *, StationWindow *w) {
    if (w->s->record == nullptr) {
        setStatus(w, "Open a station's daily temperatures first.", true);
        return;
    }
    startJob(w, "");
}

void onRuleChanged(GtkComboBox *, StationWindow *w) {
    if (w->s->record != nullptr) startJob(w, "");
}

void onStoredClicked(GtkButton *, StationWindow *w) {
    readLocale();
    if (haveprefs != 1) {
        setStatus(w, "No site is stored yet (File ▸ Location of the site…).", true);
        return;
    }
    showValue(w->latitude, active_latitude, 4);
    showValue(w->longitude, active_longitude, 4);
    showValue(w->elevation, active_elev, 1);
    gtk_label_set_text(GTK_LABEL(w->site_note), "The stored site, as the station's; flat ground.");
}

void exportChosen(gpointer data, int, const char *path) {
    StationWindow *w = STATION_WINDOW(data);
    if (w->s->figures == nullptr || w->s->record == nullptr) return;
    const std::string csv = stationCsv(*w->s->record, *w->s->figures, w->s->comparison.get());
    std::string error;
    const bool ok = writeFileSafely(path, csv.data(), csv.size(), &error);
    showExportOutcome(w->status, "The table", path, ok, error.c_str());
}

void onExportClicked(GtkButton *, StationWindow *w) {
    chooseExport(GTK_WINDOW(w), &w->s->export_chooser, "Export measured degree days", "measured-degree-days.csv",
                 "CSV", {"csv"}, exportChosen, w, 0);
}

void onCloseClicked(GtkButton *, StationWindow *w) { gtk_widget_destroy(GTK_WIDGET(w)); }

gboolean onChartDraw(GtkWidget *area, cairo_t *cr, StationWindow *w) {
    GdkRGBA ink;
    gtk_style_context_get_color(gtk_widget_get_style_context(area), gtk_widget_get_state_flags(area), &ink);
    station_draw_chart(cr, w->s->figures.get(), w->s->comparison.get(), &ink, gtk_widget_get_allocated_width(area),
                     gtk_widget_get_allocated_height(area));
    return FALSE;
}

// --- the class -------------------------------------------------------------------------

// An incomplete month's figure (marked *) reads paler.
void markIncomplete(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model, GtkTreeIter *it, gpointer data) {
    gchar *text = nullptr;
    gtk_tree_model_get(model, it, GPOINTER_TO_INT(data), &text, -1);
    const bool marked = text != nullptr && std::strchr(text, '*') != nullptr;
    g_object_set(cell, "text", text, "style", marked ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL, nullptr);
    g_free(text);
}

void addColumn(GtkWidget *view, const char *title, int index, bool marks) {
    GtkCellRenderer *cell = gtk_cell_renderer_text_new();
    g_object_set(cell, "xalign", index == 0 ? 0.0f : 1.0f, nullptr);
    GtkTreeViewColumn *column = gtk_tree_view_column_new_with_attributes(title, cell, "text", index, nullptr);
    if (marks) gtk_tree_view_column_set_cell_data_func(column, cell, markIncomplete, GINT_TO_POINTER(index), nullptr);
    gtk_tree_view_column_set_alignment(column, index == 0 ? 0.0f : 1.0f);
    gtk_tree_view_column_set_expand(column, index != 0);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);
}

void stationDispose(GObject *object) {
    StationWindow *w = STATION_WINDOW(object);
    if (w->s != nullptr) {
        cancelJob(w);
        closeChooser(&w->s->chooser);
        closeChooser(&w->s->export_chooser);
    }
    if (station_open == w) station_open = nullptr;
    G_OBJECT_CLASS(station_window_parent_class)->dispose(object);
}

void stationFinalize(GObject *object) {
    StationWindow *w = STATION_WINDOW(object);
    delete w->s;
    w->s = nullptr;
    G_OBJECT_CLASS(station_window_parent_class)->finalize(object);
}

gboolean stationKey(GtkWidget *widget, GdkEventKey *event) {
    if (event->keyval == GDK_KEY_Escape) {
        gtk_widget_destroy(widget);
        return TRUE;
    }
    return GTK_WIDGET_CLASS(station_window_parent_class)->key_press_event(widget, event);
}

void stationDrop(GtkWidget *widget, GdkDragContext *, gint, gint, GtkSelectionData *selection, guint, guint) {
    StationWindow *w = STATION_WINDOW(widget);
    gchar **uris = gtk_selection_data_get_uris(selection);
    if (uris != nullptr && uris[0] != nullptr) {
        gchar *path = g_filename_from_uri(uris[0], nullptr, nullptr);
        if (path != nullptr)
            station_window_open_file(w, path);
        else
            setStatus(w, "Only a file on this computer can be opened.", true);
        g_free(path);
    }
    g_strfreev(uris);
}

}  // namespace

static void station_window_class_init(StationWindowClass *klass) {
    G_OBJECT_CLASS(klass)->dispose = stationDispose;
    G_OBJECT_CLASS(klass)->finalize = stationFinalize;
    GtkWidgetClass *widget = GTK_WIDGET_CLASS(klass);
    widget->key_press_event = stationKey;
    widget->drag_data_received = stationDrop;
    gtk_widget_class_set_template_from_resource(widget, "/org/veranta/station.ui");
// The template's ids are the members' names after "station_".
#define BIND(name) \
    gtk_widget_class_bind_template_child_full(widget, "station_" #name, FALSE, G_STRUCT_OFFSET(StationWindow, name))
    BIND(open_button);
    BIND(file_label);
    BIND(unit_bar);
    BIND(celsius_button);
    BIND(fahrenheit_button);
    BIND(refusal);
    BIND(start_day);
    BIND(start_month);
    BIND(stop_day);
    BIND(stop_month);
    BIND(rule);
    BIND(latitude);
    BIND(longitude);
    BIND(elevation);
    BIND(stored_button);
    BIND(target);
    BIND(site_note);
    BIND(compute_button);
    BIND(progress);
    BIND(banner);
    BIND(notebook);
    BIND(chart);
    BIND(year_view);
    BIND(compare_view);
    BIND(summary);
    BIND(status);
    BIND(export_button);
    BIND(close_button);
    BIND(year_store);
    BIND(compare_store);
#undef BIND
    gtk_widget_class_bind_template_callback_full(widget, "on_open_clicked", G_CALLBACK(onOpenClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_unit_clicked", G_CALLBACK(onUnitClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_compute_clicked", G_CALLBACK(onComputeClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_rule_changed", G_CALLBACK(onRuleChanged));
    gtk_widget_class_bind_template_callback_full(widget, "on_stored_clicked", G_CALLBACK(onStoredClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_export_clicked", G_CALLBACK(onExportClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_close_clicked", G_CALLBACK(onCloseClicked));
    gtk_widget_class_bind_template_callback_full(widget, "on_chart_draw", G_CALLBACK(onChartDraw));
}

static void station_window_init(StationWindow *w) {
    w->s = new station_state;
    gtk_widget_init_template(GTK_WIDGET(w));
    gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(w)), "station");
    for (const char *m : kMonths) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w->start_month), m);
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w->stop_month), m);
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->start_month), 3);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->stop_month), 9);

    addColumn(w->year_view, "Year", COL_YEAR, false);
    for (int m = 0; m < 12; m++) addColumn(w->year_view, kShortMonths[m], COL_MONTH1 + m, true);
    addColumn(w->year_view, "Season", COL_SEASON, true);
    addColumn(w->year_view, "Missing days", COL_MISSING, false);
    addColumn(w->year_view, "Target reached", COL_TARGET, false);
    const char *const compared[6] = {"Month", "Complete years", "Measured mean", "Estimate", "Difference", "Difference %"};
    for (int c = 0; c < 6; c++) addColumn(w->compare_view, compared[c], c, false);

    describeWidget(w->start_day, "Season from day", "First day of the season");
    describeWidget(w->start_month, "Season from month", "First month of the season");
    describeWidget(w->stop_day, "Season to day", "Last day of the season");
    describeWidget(w->stop_month, "Season to month", "Last month of the season");
    describeWidget(w->rule, "Degree-day rule",
                   "Each day max(0, (min(Tmax, 30) + Tmin) / 2 − 10) °C, the rule the estimate's formulas were fitted "
                   "with; or without the cap at 30 °C (Winkler)");
    describeWidget(w->latitude, "Station latitude", "Degrees north, −90 to 90");
    describeWidget(w->longitude, "Station longitude", "Degrees east, west negative, −180 to 180");
    describeWidget(w->elevation, "Station elevation", "Metres above sea level");
    describeWidget(w->target, "Target degree days", "Degree days (°C above 10 °C) whose date each season reaches them");
    describeWidget(w->chart, "Chart of each year's running season total", nullptr);
    describeWidget(w->year_view, "Degree days by year and month", nullptr);
    describeWidget(w->compare_view, "Measured mean beside the estimate", nullptr);
    describeWidget(w->celsius_button, "Temperatures in degrees Celsius", nullptr);
    describeWidget(w->fahrenheit_button, "Temperatures in degrees Fahrenheit", nullptr);

    gtk_drag_dest_set(GTK_WIDGET(w), GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_dest_add_uri_targets(GTK_WIDGET(w));
}

StationWindow *station_window_open(GtkWindow *parent) {
    // The template and style sheet are resources of the program.
    loadWindowStyle("/org/veranta/station.css");
    StationWindow *w = STATION_WINDOW(g_object_new(STATION_TYPE_WINDOW, nullptr));
    if (parent != nullptr) gtk_window_set_transient_for(GTK_WINDOW(w), parent);
    // Never larger than the screen's work area: the tables and chart shrink.
    GdkRectangle area = {0, 0, 1000, 700};
    GdkDisplay *display = gdk_display_get_default();
    GdkMonitor *monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
    if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
    gtk_window_set_default_size(GTK_WINDOW(w), MIN(1000, area.width - 20), MIN(700, area.height - 40));
    station_open = w;
    gtk_widget_show(GTK_WIDGET(w));
    gtk_widget_grab_focus(w->open_button);
    return w;
}

void station_window_open_file(StationWindow *w, const char *path) {
    w->s->path = path;
    w->s->unsaid = UNIT_UNSAID;
    w->s->record.reset();
    clearResults(w);
    gtk_widget_hide(w->unit_bar);
    showLabel(w->refusal, "");
    gtk_label_set_text(GTK_LABEL(w->file_label), ("Reading " + baseName(path) + "…").c_str());
    startJob(w, path);
}

gboolean station_window_busy(StationWindow *w) { return w->s->job != nullptr; }
