// The window's entries read by the calculators' rule for text that is not
// wholly one number: such text is never used, and says so beside its entry.
#include "slopes/slopes.h"

#include "model/model.h"
#include "ui/entries.h"

namespace {

void say(GtkWidget *label, const char *text) {
    gtk_label_set_text(GTK_LABEL(label), text);
    gtk_widget_set_visible(label, text[0] != '\0');
}

bool readFloat(GtkWidget *entry, GtkWidget *label, float *value) {
    if (entryFloat(entry, value)) {
        say(label, "");
        return true;
    }
    gchar *copy = g_strdup(gtk_entry_get_text(GTK_ENTRY(entry)));
    bool blank = g_strstrip(copy)[0] == '\0';
    g_free(copy);
    say(label, blank ? "enter a number" : "not a number");
    return false;
}

int chosenMonth(GtkWidget *combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) + 1; }

int monthLength(int month, int year) {
    int lengths[12];
    monthLengths(year, lengths);
    return lengths[month - 1];
}

}  // namespace

bool sl_ReadEntries(sl_window *w, site_location *site, season_range *season, slope *stored) {
    site_location s{};
    slope t{};
    bool ok = readFloat(w->entry_lat, w->msg_lat, &s.latitude);
    ok = readFloat(w->entry_lon, w->msg_lon, &s.longitude) && ok;
    ok = readFloat(w->entry_elev, w->msg_elev, &s.elevation) && ok;
    ok = readFloat(w->entry_aspect, w->msg_aspect, &t.aspect) && ok;
    ok = readFloat(w->entry_tilt, w->msg_tilt, &t.tilt) && ok;
    // As the calculators do: a typed longitude of 0 or more is taken as west.
    if (s.longitude >= 0.0f) s.longitude = -s.longitude;

    season_range r{};
    say(w->msg_year, "");
    say(w->msg_start, "");
    say(w->msg_stop, "");
    r.start_month = chosenMonth(w->combo_startmonth);
    r.stop_month = chosenMonth(w->combo_stopmonth);
    bool seasonOk = true;
    if (!entryInt(w->entry_year, &r.year)) {
        say(w->msg_year, "not a whole number");
        seasonOk = false;
    } else if (r.year < 2000 || r.year > 2050) {
        say(w->msg_year, "a year from 2000 to 2050");
        seasonOk = false;
    } else if (r.start_month < 1) {
        say(w->msg_start, "choose a month");
        seasonOk = false;
    } else if (r.stop_month < 1) {
        say(w->msg_stop, "choose a month");
        seasonOk = false;
    } else if (r.stop_month <= r.start_month) {
        say(w->msg_stop, "must be a later month than the start");
        seasonOk = false;
    } else {
        if (!entryInt(w->entry_startday, &r.start_day) || r.start_day < 1 ||
            r.start_day > monthLength(r.start_month, r.year)) {
            say(w->msg_start, "not a day of this month");
            seasonOk = false;
        }
        if (!entryInt(w->entry_stopday, &r.stop_day) || r.stop_day < 1 ||
            r.stop_day > monthLength(r.stop_month, r.year)) {
            say(w->msg_stop, "not a day of this month");
            seasonOk = false;
        }
    }
    if (!ok || !seasonOk) return false;
    *site = s;
    *season = r;
    *stored = t;
    return true;
}
