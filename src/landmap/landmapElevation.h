// Get elevation… in the map window: a small dialog (template
// landmapElevation.ui) that fetches a public elevation model for the open
// parcel's area, or for a centre and a size, on a worker with progress and
// cancel, and opens the result in the map window as if the grower had opened
// it; and what the window says of a fetched model (its source, that a
// surface model raises wooded land, its attribution), read from its metadata.
#ifndef VERANTA_LANDMAP_LANDMAPELEVATION_H
#define VERANTA_LANDMAP_LANDMAPELEVATION_H

#include "elevation/elevation.h"

#include <gtk/gtk.h>

#include <string>

// The area of a WGS 84 box (degrees, east positive) with margin metres
// around it; of a centre and the side of a square in metres. False with one
// sentence for a centre or size out of range.
elevation_area landmap_box_area(double west, double south, double east, double north, double margin);
bool landmap_centre_area(double latitude, double longitude, double size, elevation_area *area, std::string *why);

// What fetching the area from the source reads and makes, for the dialog:
// "1.4 × 1.4 km of 30 m cells (47 × 47), from 1 tile", or why it cannot.
std::string landmap_fetch_said(const elevation_area &area, elevation_source_id source,
                               const elevation_settings &settings);

// What the window says under a map of a fetched elevation model, from its
// metadata: the source, whether it is a surface model, and the attribution
// that must accompany results; "" for any other raster.
std::string landmap_elevation_credit(const std::string &path);

// Fetching as a window's job: on the worker, fetchElevation; progress.cancel
// stops it.
struct landmap_fetch {
    elevation_area area{};
    elevation_source_id source = ELEVATION_CHOOSE;
    elevation_settings settings;
    elevation_progress progress;
    elevation_result result;
    int status = ELEVATION_FAILED;
    std::string refusal;
};
void landmap_fetch_work(gpointer data);

#define LANDMAP_TYPE_ELEVATION (landmap_elevation_get_type())
G_DECLARE_FINAL_TYPE(LandmapElevation, landmap_elevation, LANDMAP, ELEVATION, GtkWindow)

// Opens the dialog above the map window: for the parcel's WGS 84 box (when
// have_box) with margin metres around it, else for a centre and size typed
// in it. done is called on the main loop with the fetched file's path, once,
// when a fetch succeeds; the dialog then closes.
LandmapElevation *landmap_elevation_open(GtkWindow *parent, bool have_box, const double box[4], double margin,
                                         void (*done)(GtkWindow *parent, const char *path));
// The dialog's fetch under way, for tests.
bool landmap_elevation_is_fetching(LandmapElevation *self);

#endif
