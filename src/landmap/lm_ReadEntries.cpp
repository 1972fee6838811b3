// The season as the explorer reads it (same defaults and checks), and the
// shading's directions and distance; a bad entry gets its note and no run.
#include "landmap/landmap.h"

#include "model/model.h"
#include "ui/entries.h"

namespace {

void say(GtkWidget *label, const char *text) {
    gtk_label_set_text(GTK_LABEL(label), text);
    gtk_widget_set_visible(label, text[0] != '\0');
}

int chosenMonth(GtkWidget *combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) + 1; }

int monthLength(int month, int year) {
    int lengths[12];
    monthLengths(year, lengths);
    return lengths[month - 1];
}

}  // namespace

bool lm_ReadEntries(lm_window *w, lm_settings *settings) {
    season_range r{};
    say(w->msg_year, "");
    say(w->msg_start, "");
    say(w->msg_stop, "");
    r.start_month = chosenMonth(w->combo_startmonth);
    r.stop_month = chosenMonth(w->combo_stopmonth);
    bool ok = true;
    if (!entryInt(w->entry_year, &r.year)) {
        say(w->msg_year, "not a whole number");
        ok = false;
    } else if (r.year < 2000 || r.year > 2050) {
        say(w->msg_year, "a year from 2000 to 2050");
        ok = false;
    } else if (r.start_month < 1) {
        say(w->msg_start, "choose a month");
        ok = false;
    } else if (r.stop_month < 1) {
        say(w->msg_stop, "choose a month");
        ok = false;
    } else if (r.stop_month <= r.start_month) {
        say(w->msg_stop, "must be a later month than the start");
        ok = false;
    } else {
        if (!entryInt(w->entry_startday, &r.start_day) || r.start_day < 1 ||
            r.start_day > monthLength(r.start_month, r.year)) {
            say(w->msg_start, "not a day of this month");
            ok = false;
        }
        if (!entryInt(w->entry_stopday, &r.stop_day) || r.stop_day < 1 ||
            r.stop_day > monthLength(r.stop_month, r.year)) {
            say(w->msg_stop, "not a day of this month");
            ok = false;
        }
    }

    lm_settings s{};
    s.season = r;
    s.shade = gtk_switch_get_active(GTK_SWITCH(w->shade));
    say(w->msg_directions, "");
    say(w->msg_distance, "");
    if (s.shade) {
        if (!entryInt(w->entry_directions, &s.directions) || s.directions < 4 || s.directions > 360) {
            say(w->msg_directions, "a whole number from 4 to 360");
            ok = false;
        }
        if (!entryFloat(w->entry_distance, &s.distance) || !(s.distance > 0.0f) || s.distance > 100000.0f) {
            say(w->msg_distance, "metres, more than 0 and at most 100000");
            ok = false;
        }
    } else {
        s.directions = 32;
        s.distance = 5000.0f;
    }
    if (ok) *settings = s;
    return ok;
}
