// Is the typed site inside the region that the degree-day regression covers?
#include "oneday/oneday.h"

#include "shell/shell.h"

#include <cstdlib>

namespace {

// Only an entry that is wholly one number is tested at all ("44,13" is no
// latitude 44); the bounds apply to its value in double precision.
bool within(GtkWidget *entry, double low, double high) {
    float number;
    if (!entryFloat(entry, &number)) return false;
    double value = std::atof(gtk_entry_get_text(GTK_ENTRY(entry)));
    return value >= low && value <= high;
}

}  // namespace

bool c1_LocaleOK(c1_widgets *w) {
    // The longitude is tested as typed: an east (positive) value fails here
    // even though the calculation would take it as west.
    return within(w->entry_lat, 42.0, 46.0) && within(w->entry_lon, -124.0, -122.5) &&
           within(w->entry_elev, 100.0, 600.0) && within(w->entry_aspect, 0.0, 360.0) &&
           within(w->entry_tilt, -10.0, 30.0);
}
