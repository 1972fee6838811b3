// The season as the explorer reads it (same defaults and checks), and the
// shading's directions and distance by the terrain core's own limits; a bad
// entry gets its note and no run.
#include "landmap/landmap.h"

#include "ui/entries.h"

namespace {

// The terrain core's own check of the shading, each figure with the other's
// default, so that the window takes exactly what veranta-map takes.
bool coreTakes(int directions, float distance) {
    map_options o;
    o.directions = directions;
    o.distance = distance;
    return checkMapOptions(&o, nullptr) == TERRAIN_OK;
}

}  // namespace

bool lm_ReadEntries(lm_window *w, map_options *options) {
    const season_entries entries = {w->entry_year,      w->entry_startday, w->combo_startmonth,
                                    w->entry_stopday,   w->combo_stopmonth, w->msg_year,
                                    w->msg_start,       w->msg_stop};
    map_options s;
    bool ok = readSeason(&entries, &s.season);
    s.shade = gtk_switch_get_active(GTK_SWITCH(w->shade));
    entryNote(w->msg_directions, "");
    entryNote(w->msg_distance, "");
    if (s.shade) {
        if (!entryInt(w->entry_directions, &s.directions) || !coreTakes(s.directions, 5000.0f)) {
            entryNote(w->msg_directions, "a whole number from 1 to 360");
            ok = false;
        }
        // Read as typed in single precision, as the window always has.
        float distance = 0.0f;
        if (!entryFloat(w->entry_distance, &distance) || !coreTakes(32, distance)) {
            entryNote(w->msg_distance, "metres, more than 0 and at most 100000");
            ok = false;
        }
        s.distance = distance;
    } else {
        s.directions = 32;
        s.distance = 5000.0;
    }
    if (ok) *options = s;
    return ok;
}
