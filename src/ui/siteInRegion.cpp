// Is the typed site inside the region that the degree-day regression covers?
// Only an entry that is wholly one number is tested at all ("44,13" is no
// latitude 44); the bounds apply to its value in double precision, and the
// longitude as typed: an east (positive) value fails here even though the
// calculation takes it as west.
#include "ui/entries.h"

#include "model/calibratedRegion.h"

#include <cstdlib>

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
