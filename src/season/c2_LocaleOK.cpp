// The region the degree-day regression was fitted for, tested on the integer
// parts of the location entries.
#include "season/season.h"

#include "model/model.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

bool within(GtkWidget *entry, int low, int high) {
    const char *text = gtk_entry_get_text(GTK_ENTRY(entry));
    // "1e999" has an acceptable integer part but is no usable location.
    double value = std::atof(text);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return false;
    int whole = leadingInt(text);
    return whole >= low && whole <= high;
}

}  // namespace

bool c2_LocaleOK(c2_widgets *w) {
    return within(w->entry_lat, 42, 46) && within(w->entry_lon, -124, -123) &&
           within(w->entry_elev, 100, 600) && within(w->entry_aspect, 0, 360) &&
           within(w->entry_tilt, -10, 30);
}
