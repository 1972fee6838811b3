// The region the degree-day regression was fitted for, tested as the one-day
// window tests it.
#include "slopes/slopes.h"

#include "ui/entries.h"

bool sl_LocaleOK(sl_window *w) {
    return siteInRegion(w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt);
}
