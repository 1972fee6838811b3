// How the windows that rank slopes name and colour them: the explorer's
// compass and the terrain map share one colour scale and one way of naming
// an aspect.
#ifndef VERANTA_UI_SLOPEFIGURES_H
#define VERANTA_UI_SLOPEFIGURES_H

#include <gtk/gtk.h>

// A colour of the degree-day scale, t from 0 (fewest) to 1 (most).
void scaleColour(double t, double *r, double *g, double *b);

// "180° (south)", "165°": an aspect as the windows name it.
gchar *aspectText(float aspect);

#endif
