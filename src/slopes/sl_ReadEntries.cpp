// The window's entries read by the calculators' rule for text that is not
// wholly one number: such text is never used, and says so beside its entry.
#include "slopes/slopes.h"

#include "ui/entries.h"

namespace {

bool readFloat(GtkWidget *entry, GtkWidget *label, float *value) {
    if (entryFloat(entry, value)) {
        entryNote(label, "");
        return true;
    }
    gchar *copy = g_strdup(gtk_entry_get_text(GTK_ENTRY(entry)));
    bool blank = g_strstrip(copy)[0] == '\0';
    g_free(copy);
    entryNote(label, blank ? "enter a number" : "not a number");
    return false;
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

    const season_entries entries = {w->entry_year,      w->entry_startday, w->combo_startmonth,
                                    w->entry_stopday,   w->combo_stopmonth, w->msg_year,
                                    w->msg_start,       w->msg_stop};
    season_range r{};
    bool seasonOk = readSeason(&entries, &r);
    if (!ok || !seasonOk) return false;
    *site = s;
    *season = r;
    *stored = t;
    return true;
}
