// Reading the windows' entries: numbers only when the text is wholly one,
// and the typed site against the region the degree days are fitted for.
#ifndef VERANTA_UI_ENTRIES_H
#define VERANTA_UI_ENTRIES_H

#include <gtk/gtk.h>

// An entry's text read as a number only when, apart from surrounding white
// space, it is wholly one: a real number finite in single precision, or a
// whole number. True with *value set; otherwise false, *value untouched.
// "44,13", "44°N", "1e38" as a day or "nan" are never taken for numbers.
bool entryFloat(GtkWidget *entry, float *value);
bool entryInt(GtkWidget *entry, int *value);
// The one-day window's test of the typed site against the calibrated region.
bool siteInRegion(GtkWidget *lat, GtkWidget *lon, GtkWidget *elev, GtkWidget *aspect, GtkWidget *tilt);

#endif
