// Is the typed site inside the region that the degree-day regression covers?
// Only an entry that is wholly one number is tested at all ("44,13" is no
// latitude 44); the bounds apply to its value in double precision, and the
// longitude as typed: an east (positive) value fails here even though the
// calculation takes it as west.
#include "ui/entries.h"

#include <cstdlib>

namespace {

bool within(GtkWidget *entry, double low, double high) {
    float number;
    if (!entryFloat(entry, &number)) return false;
    double value = std::atof(gtk_entry_get_text(GTK_ENTRY(entry)));
    return value >= low && value <= high;
}

}  // namespace

bool siteInRegion(GtkWidget *lat, GtkWidget *lon, GtkWidget *elev, GtkWidget *aspect, GtkWidget *tilt) {
    return within(lat, 42.0, 46.0) && within(lon, -124.0, -122.5) && within(elev, 100.0, 600.0) &&
           within(aspect, 0.0, 360.0) && within(tilt, -10.0, 30.0);
}
