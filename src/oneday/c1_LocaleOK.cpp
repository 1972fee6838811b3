// Is the typed site inside the region that the degree-day regression covers?
#include "oneday/oneday.h"

#include "ui/entries.h"

bool c1_LocaleOK(c1_widgets *w) {
    return siteInRegion(w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt);
}
