// The map of the land (Calculate ▸ Map of the land…): a grower's elevation
// model opened, every cell's season computed by the terrain core, drawn as a
// map over a hillshade, read spot by spot, the hectares that reach a
// degree-day threshold counted, and all of it exported. A GtkWindow whose
// template is landmap.ui. It keeps the core's land_map as it was computed
// and reads it through its band layout.
#ifndef VERANTA_LANDMAP_LANDMAPWINDOW_H
#define VERANTA_LANDMAP_LANDMAPWINDOW_H

#include "landmap/landmapParcel.h"
#include "terrain/mapFigures.h"

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#define LANDMAP_TYPE_WINDOW (landmap_window_get_type())
G_DECLARE_FINAL_TYPE(LandmapWindow, landmap_window, LANDMAP, WINDOW, GtkWindow)

// The map window open now, or null; one at a time like every other window.
extern LandmapWindow *landmap_open;

// Opens and shows the window above the parent window (none when null), with
// the usual season and the stored site read from locale.txt.
LandmapWindow *landmap_window_open(GtkWindow *parent);

// Opens an elevation model as Open…, a drop or the example do: what its
// header says decides at once whether it can be used (a refusal says why and
// leaves the land open before, and its map, as they were); its elevations
// are then read on a worker (landmap_window_is_opening), and only then does
// it take the window, said with its elevations, with the session's map of
// it when the settings have one.
void landmap_window_open_land(LandmapWindow *self, const char *path);

// Opens a parcel's outline as Open parcel… and a drop do: read and placed on
// the land open on a worker (landmap_window_is_opening); a refusal says why
// and leaves the parcel open before. With a parcel, Compute maps only its
// blocks' window and every figure counts only the blocks' cells. Closing it
// returns to the whole land.
void landmap_window_open_parcel(LandmapWindow *self, const char *path);
void landmap_window_close_parcel(LandmapWindow *self);
// The parcel's map shown (null when the map shown is the whole land's), its
// blocks' figures at the threshold as the table shows them, and the block
// selected in the table (0: none).
std::shared_ptr<const landmap_parcel_map> landmap_window_get_parcel_map(LandmapWindow *self);
std::vector<block_figures> landmap_window_get_blocks(LandmapWindow *self);
int landmap_window_get_selected_block(LandmapWindow *self);

// A land too large to map whole opens coarsely (landmap_window_is_coarse):
// the grower chooses an area of it (Shift+drag, or Choose area and drag) in
// its cells, which Compute maps at full resolution. False, said in the
// status line, when the area is empty or still too large.
bool landmap_window_choose_area(LandmapWindow *self, int x0, int y0, int width, int height);
bool landmap_window_is_coarse(LandmapWindow *self);

// What the window shows now: the map as computed (null before one), whether
// the open land can be computed, how the map lies in its area, the selected
// cell (false when none) and the threshold in degree days.
std::shared_ptr<const land_map> landmap_window_get_map(LandmapWindow *self);
bool landmap_window_land_usable(LandmapWindow *self);
map_frame landmap_window_get_frame(LandmapWindow *self);
bool landmap_window_get_selected(LandmapWindow *self, int *col, int *row);
float landmap_window_get_threshold(LandmapWindow *self);
// True while a map computes, while a GeoTIFF is being written, and while a
// land's elevations are read.
bool landmap_window_is_computing(LandmapWindow *self);
bool landmap_window_is_exporting(LandmapWindow *self);
bool landmap_window_is_opening(LandmapWindow *self);
// Anchors the map shown to the weather station whose daily records are at
// path (Anchor to a station…): read on a worker, its site from the file or
// the site typed beside the button; the anchored map then shows, with a note
// of each month's offset. False when it cannot start (no map, one anchored
// already, a site typed wrong).
bool landmap_window_anchor(LandmapWindow *self, const char *path);
bool landmap_window_is_anchoring(LandmapWindow *self);
// True while any of the window's work above is under way.
bool landmap_window_is_busy(LandmapWindow *self);

// The window's exports, as its buttons name them.
enum landmap_export_kind {
    LANDMAP_GEOTIFF,
    LANDMAP_SAVED_MAP,
    LANDMAP_AREA_TABLE,
    LANDMAP_CELL_MONTHS,
    LANDMAP_BLOCKS,
    LANDMAP_REPORT
};
// What the file choosers do with a chosen name; the outcome is said in the
// window's status line. The GeoTIFF is written on a worker: true once it is
// started, its outcome said when it ends.
bool landmap_window_export_to(LandmapWindow *self, landmap_export_kind kind, const char *path);

#endif
