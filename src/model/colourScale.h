// The degree-day colour scale every picture of slopes and land shares: the
// explorer's compass, the map window and the site report. Without GTK, so
// that a report drawn on a worker or by veranta-map colours as the windows do.
#ifndef VERANTA_MODEL_COLOURSCALE_H
#define VERANTA_MODEL_COLOURSCALE_H

// A colour of the degree-day scale, t from 0 (fewest) to 1 (most); red,
// green and blue from 0 to 1.
void scaleColour(double t, double *r, double *g, double *b);

#endif
