// The window Calculate ▸ Measured degree days…: a weather station's daily
// temperatures opened or dropped, read on a worker, their degree days by a
// stated rule shown year by year and month by month, beside the estimate
// for the station's site, as a chart and two tables, and exported as CSV.
#ifndef VERANTA_STATIONWINDOW_STATIONWINDOW_H
#define VERANTA_STATIONWINDOW_STATIONWINDOW_H

#include <gtk/gtk.h>

G_DECLARE_FINAL_TYPE(StationWindow, station_window, STATION, WINDOW, GtkWindow)
#define STATION_TYPE_WINDOW (station_window_get_type())

// The window open now, or null; one at a time like every other window.
extern StationWindow *station_open;

// Builds and shows the window, transient for parent.
StationWindow *station_window_open(GtkWindow *parent);

// Opens a station's file as Open… or a drop does: read and computed on a worker.
void station_window_open_file(StationWindow *window, const char *path);
// Whether a read or computation is under way.
gboolean station_window_busy(StationWindow *window);

#endif
