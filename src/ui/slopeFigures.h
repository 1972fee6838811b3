// How the windows that rank slopes name, colour and mark them: the
// explorer's compass and the terrain map share one colour scale, one way of
// naming an aspect and one mark of the stored site.
#ifndef VERANTA_UI_SLOPEFIGURES_H
#define VERANTA_UI_SLOPEFIGURES_H

#include "model/colourScale.h"

#include <gtk/gtk.h>

// "180° (south)", "165°": an aspect as the windows name it.
gchar *aspectText(float aspect);

// The stored site's diamond centred on (x, y), its white edge edge wide.
void drawStoredMark(cairo_t *cr, double x, double y, double edge);

#endif
