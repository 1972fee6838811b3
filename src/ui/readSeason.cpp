// The season as every window that computes one reads it, with the season
// window's checks and their order.
#include "ui/entries.h"

#include "model/model.h"

namespace {

int chosenMonth(GtkWidget *combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) + 1; }

int monthLength(int month, int year) {
    int lengths[12];
    monthLengths(year, lengths);
    return lengths[month - 1];
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
    } else if (r.stop_month <= r.start_month) {
        entryNote(e->stop_note, "must be a later month than the start");
        ok = false;
    } else {
        if (!entryInt(e->start_day, &r.start_day) || r.start_day < 1 ||
            r.start_day > monthLength(r.start_month, r.year)) {
            entryNote(e->start_note, "not a day of this month");
            ok = false;
        }
        if (!entryInt(e->stop_day, &r.stop_day) || r.stop_day < 1 || r.stop_day > monthLength(r.stop_month, r.year)) {
            entryNote(e->stop_note, "not a day of this month");
            ok = false;
        }
    }
    if (ok) *season = r;
    return ok;
}
