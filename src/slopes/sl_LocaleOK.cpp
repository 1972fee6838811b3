// The region the degree-day regression was fitted for, tested as the one-day
// window tests it: on the typed values in double precision, the longitude as
// typed (an east value fails even though the sweep takes it as west).
#include "slopes/slopes.h"

#include "model/model.h"

#include <cstdlib>

namespace {

bool within(GtkWidget *entry, double low, double high) {
    const char *text = gtk_entry_get_text(GTK_ENTRY(entry));
    float ignored;
    if (!wholeFloat(text, &ignored)) return false;
    double value = std::atof(text);
    return value >= low && value <= high;
}

}  // namespace

bool sl_LocaleOK(sl_window *w) {
    return within(w->entry_lat, 42.0, 46.0) && within(w->entry_lon, -124.0, -122.5) &&
           within(w->entry_elev, 100.0, 600.0) && within(w->entry_aspect, 0.0, 360.0) &&
           within(w->entry_tilt, -10.0, 30.0);
}
