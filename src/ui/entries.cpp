// Reading the windows' entries: numbers only when the text is wholly one,
// with a note beside the entry when it is not; the season with the season
// window's checks and their order; the typed site against the calibrated
// region.
#include "ui/entries.h"

#include "model/calibratedRegion.h"
#include "model/model.h"

#include <algorithm>
#include <cstdlib>

// The one way a window reads a real number from an entry.
bool entryFloat(GtkWidget *entry, float *value) {
    return wholeFloat(gtk_entry_get_text(GTK_ENTRY(entry)), value);
}

// The one way a window reads a whole number (a day, a year) from an entry.
bool entryInt(GtkWidget *entry, int *value) {
    return wholeInt(gtk_entry_get_text(GTK_ENTRY(entry)), value);
}

void entryNote(GtkWidget *note, const char *text) {
    gtk_label_set_text(GTK_LABEL(note), text);
    gtk_widget_set_visible(note, text[0] != '\0');
}

void showInt(GtkWidget *entry, int value) {
    gchar *text = g_strdup_printf("%d", value);
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}

// Every window that computes a season starts from the same one.
void showSeasonDefaults(const season_entries *e) {
    GDateTime *now = g_date_time_new_now_local();
    showInt(e->year, std::clamp(g_date_time_get_year(now), 2000, 2050));
    g_date_time_unref(now);
    showInt(e->start_day, 1);
    gtk_combo_box_set_active(GTK_COMBO_BOX(e->start_month), 3);
    showInt(e->stop_day, 31);
    gtk_combo_box_set_active(GTK_COMBO_BOX(e->stop_month), 9);
}

bool entryNumber(GtkWidget *entry, GtkWidget *note, float *value) {
    if (entryFloat(entry, value)) {
        entryNote(note, "");
        return true;
    }
    gchar *copy = g_strdup(gtk_entry_get_text(GTK_ENTRY(entry)));
    bool blank = g_strstrip(copy)[0] == '\0';
    g_free(copy);
    entryNote(note, blank ? "enter a number" : "not a number");
    return false;
}

bool entryTarget(GtkWidget *entry, GtkWidget *note, double *target) {
    gchar *text = g_strstrip(g_strdup(gtk_entry_get_text(GTK_ENTRY(entry))));
    float single = 0.0f;
    const char *why = nullptr;
    double value = 0.0;
    if (text[0] == '\0') {
        value = 0.0;
    } else if (!wholeFloat(text, &single)) {
        why = "not a number";
    } else {
        // Read again in double, as wholeFloat reads it: a target is kept as
        // typed, not rounded to single precision.
        value = std::strtod(text, nullptr);
        if (!(value > 0.0) || value > kTargetEntryMax) why = "above 0 and at most 10000";
    }
    g_free(text);
    entryNote(note, why != nullptr ? why : "");
    if (why != nullptr) return false;
    *target = value;
    return true;
}

// The season as every window that computes one reads it.
namespace {

int chosenMonth(GtkWidget *combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) + 1; }

int monthLength(int month, int year) {
    int lengths[12];
    monthLengths(year, lengths);
    return lengths[month - 1];
}

// A day of the month (1 to 12) in the year, or a note that says why not.
bool readDay(GtkWidget *entry, GtkWidget *note, int month, int year, int *day) {
    if (!entryInt(entry, day)) {
        entryNote(note, "not a whole number");
        return false;
    }
    if (*day < 1 || *day > monthLength(month, year)) {
        gchar *text = g_strdup_printf("%d %s does not exist", *day, month_names[month - 1]);
        entryNote(note, text);
        g_free(text);
        return false;
    }
    return true;
}

}  // namespace

bool readSeason(const season_entries *e, season_range *season) {
    season_range r{};
    entryNote(e->year_note, "");
    entryNote(e->start_note, "");
    entryNote(e->stop_note, "");
    r.start_month = chosenMonth(e->start_month);
    r.stop_month = chosenMonth(e->stop_month);
    bool ok = true;
    if (!entryInt(e->year, &r.year)) {
        entryNote(e->year_note, "not a whole number");
        ok = false;
    } else if (r.year < 2000 || r.year > 2050) {
        entryNote(e->year_note, "a year from 2000 to 2050");
        ok = false;
    } else if (r.start_month < 1) {
        entryNote(e->start_note, "choose a month");
        ok = false;
    } else if (r.stop_month < 1) {
        entryNote(e->stop_note, "choose a month");
        ok = false;
    } else {
        ok = readDay(e->start_day, e->start_note, r.start_month, r.year, &r.start_day);
        ok = readDay(e->stop_day, e->stop_note, r.stop_month, r.year, &r.stop_day) && ok;
        if (ok && (r.stop_month < r.start_month || (r.stop_month == r.start_month && r.stop_day < r.start_day))) {
            entryNote(e->stop_note, "must not be before the start");
            ok = false;
        }
    }
    if (ok) *season = r;
    return ok;
}

// Is the typed site inside the region that the degree-day regression covers?
// Only an entry that is wholly one number is tested at all ("44,13" is no
// latitude 44); the bounds apply to its value in double precision, and the
// longitude as typed: an east (positive) value fails here even though the
// calculation takes it as west.
namespace {

// The entry's value in double precision, when it is wholly one number.
bool typed(GtkWidget *entry, double *value) {
    float number;
    if (!entryFloat(entry, &number)) return false;
    *value = std::atof(gtk_entry_get_text(GTK_ENTRY(entry)));
    return true;
}

}  // namespace

bool siteInRegion(GtkWidget *lat, GtkWidget *lon, GtkWidget *elev, GtkWidget *aspect, GtkWidget *tilt) {
    double la, lo, el, as, ti;
    return typed(lat, &la) && typed(lon, &lo) && typed(elev, &el) && typed(aspect, &as) && typed(tilt, &ti) &&
           siteInCalibratedRegion(la, lo, el, as, ti);
}
