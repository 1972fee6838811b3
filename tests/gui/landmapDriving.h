// Driving the map window in GUI tests as a grower does: opening it from the
// menu, waiting for its work to be taken in, and typing a season.
#ifndef VERANTA_TESTS_LANDMAPDRIVING_H
#define VERANTA_TESTS_LANDMAPDRIVING_H

#include "landmap/landmapWindow.h"

#include <gtk/gtk.h>

// The program started and the map window opened from its menu; null when
// it did not open.
LandmapWindow *landmapOpenWindow();

// A child of the window by its id in the window's template.
GtkWidget *landmapPart(LandmapWindow *w, const char *id);

// Lets the main loop run until the window has no work under way (or is
// closed); false when seconds pass first.
bool landmapAwait(LandmapWindow *w, double seconds = 100);

// Types the season (days as text, months 1 to 12) and sets the shading.
void landmapSetSeason(LandmapWindow *w, const char *firstDay, int firstMonth, const char *lastDay, int lastMonth,
                      bool shade);

#endif
