// The chart of the measured degree days window: each year's running season
// total, the estimate as a bold line and the target as a rule, drawn with
// cairo in the theme's ink.
#ifndef VERANTA_STATIONWINDOW_STATIONCHART_H
#define VERANTA_STATIONWINDOW_STATIONCHART_H

#include "station/stationEstimate.h"
#include "station/stationSeasons.h"

#include <gtk/gtk.h>

// comparison may be null (no site: no estimate line). With no years, a hint.
void station_draw_chart(cairo_t *cr, const station_figures *figures, const station_comparison *comparison,
                      const GdkRGBA *ink, double width, double height);

// The estimate's running season total at the end of each month of the
// season (index 0 = the season's first month), °C·day: the mean of the
// years' estimates.
std::vector<double> station_estimate_month_ends(const station_figures &figures, const station_comparison &comparison);

#endif
