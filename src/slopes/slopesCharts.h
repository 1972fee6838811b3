// What the explorer draws, in the window and in a saved chart alike: the
// compass of slopes with its geometry, what the pointer and a screen reader
// are told of it, and the selected slope's months.
#ifndef VERANTA_SLOPES_SLOPESCHARTS_H
#define VERANTA_SLOPES_SLOPESCHARTS_H

#include "slopes/slopesComparison.h"
#include "ui/monthRows.h"

#include <gtk/gtk.h>

// Geometry of the compass chart in an area of a given size, in its points.
struct slopes_compass {
    double cx, cy, radius, band;   // centre, outer radius, width of one tilt step
    double legend_x, legend_y, legend_w, legend_h;
};
slopes_compass slopes_compass_layout(double width, double height);
// Where a slope's mark sits; a negative tilt faces the other way, a tilt
// beyond the chart sits on its edge.
void slopes_compass_place(const slopes_compass *layout, float aspect, float tilt, double *x, double *y);
// The slope under a point of the chart: the stored slope's mark first, then
// a grid cell; -1 for none.
int slopes_compass_slope_at(const slopes_view *view, const slopes_compass *layout, double x, double y);
// The whole compass with its legend in width × height points.
void slopes_compass_draw(cairo_t *cr, const slopes_view *view, double width, double height);

// The pointer's tooltip over a slope (an index 0 .. SLOPES_STORED); owned by
// the caller.
gchar *slopes_compass_tooltip(const slopes_view *view, int index);
// The compass's accessible description: the best slope and then the
// selection as the window titles it; owned by the caller.
gchar *slopes_compass_description(const slopes_view *view, const char *selection);

// When the view ranks by degree days and its best slope takes some of its
// season's degree days from where the formula runs backwards: the sentence
// that says which months and names the best slope by irradiation, the one
// to trust there. Null otherwise; owned by the caller.
gchar *slopes_best_caveat(const slopes_view *view);

// The selected slope's months, their marks included; none without a view.
month_rows slopes_month_rows(const slopes_view *view);

#endif
