// The terrain map window: a grower's elevation model opened, every cell's
// season computed by the terrain core, drawn as a map over a hillshade, read
// spot by spot, and the hectares that reach a degree-day threshold counted.
// The window keeps the core's land_map as it is and reads it through its
// band layout; the texts and figures it shows of it are the core's
// (mapTexts.h, mapFigures.h).
#ifndef VERANTA_LANDMAP_LANDMAP_H
#define VERANTA_LANDMAP_LANDMAP_H

#include "model/sweepSeason.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"
#include "terrain/terrain.h"
#include "ui/monthRows.h"
#include "ui/slopeFigures.h"
#include "ui/workerRun.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

// The image of the map that frames are drawn from: colour by degree days or
// irradiation over a hillshade, cells below the threshold faded, nodata
// transparent; one pixel a cell, and the same scaled once per zoom.
struct lm_image {
    cairo_surface_t *base = nullptr;     // one pixel a cell
    cairo_surface_t *scaled = nullptr;   // base at scaled_at pixels a cell, when smaller than it
    double scaled_at = 0.0;
};
// range is that of the band coloured (irradiation or degree days).
void lm_RenderImage(lm_image *image, const land_map *map, const value_range *range, bool by_irradiation,
                    float threshold);
void lm_FreeImage(lm_image *image);

// What one frame of the map shows.
struct lm_scene {
    const land_map *map;
    lm_image *image;
    map_frame frame;
    bool by_irradiation;
    value_range range;                // of the band coloured, for the legend
    float threshold;
    int selected_col, selected_row;   // -1 when no cell is selected
    int site_col, site_row;           // the stored site, -1 when outside the land
};
// The map with its legend, north arrow and scale bar, in a width × height area.
void lm_DrawMap(cairo_t *cr, const lm_scene *scene, double width, double height);
// The land's area by degree-day class (gdd the range of its degree days), the threshold marked.
void lm_DrawHistogram(cairo_t *cr, const land_map *map, const value_range *gdd, float threshold, double width,
                      double height);

// One computation on the worker: its inputs, its result and its progress.
struct lm_window;
struct lm_run : worker_run {
    std::string path;
    map_options options;
    long long file_size = -1;   // the file's size and modification time (ns) when it was read
    long long file_modified = 0;
    std::shared_ptr<const land_map> result;
    std::string refusal;     // why nothing was computed, for the window
    map_control control;
};

// A GeoTIFF export on the worker.
struct lm_export {
    std::shared_ptr<const land_map> map;
    std::string path;
    std::string error;
    map_control control;
    lm_window *owner;        // null once the window is gone
};

// What opening a file found.
struct lm_land {
    bool usable = false;
    std::string path, description, refusal;
};

struct lm_window {
    GtkBuilder *ui;
    GtkWidget *window;
    GtkWidget *button_open, *button_example, *land_info, *refusal;
    GtkWidget *entry_year, *entry_startday, *entry_stopday, *combo_startmonth, *combo_stopmonth;
    GtkWidget *msg_year, *msg_start, *msg_stop;
    GtkWidget *shade, *entry_directions, *entry_distance, *msg_directions, *msg_distance;
    GtkWidget *button_compute, *progress;
    GtkWidget *threshold_scale, *entry_threshold, *answer, *histogram;
    GtkAdjustment *threshold_adj;
    GtkWidget *banner, *colour_gdd, *colour_irr, *button_zoom_in, *button_zoom_out, *button_fit;
    GtkWidget *map_area, *readout, *selected_title, *month_chart, *falling_note;
    GtkListStore *months_store;
    GtkWidget *button_tif, *button_map, *button_areas, *button_months, *status, *button_close;
    GtkFileChooserNative *chooser;

    lm_land land;
    std::shared_ptr<const land_map> map;   // the map shown, or null: the core's, as it was computed
    value_range gdd_range, irr_range;      // of its degree days and irradiation, for the colour scales
    bool site_known;                       // the stored site, read when the window opened
    double site_latitude, site_longitude;  // WGS 84, east positive
    lm_image image;
    map_frame frame;
    bool fitted;                   // the frame follows the area's size until the grower zooms or pans
    bool dragging;
    double drag_x, drag_y;
    float threshold;
    int hover_col, hover_row, selected_col, selected_row, site_col, site_row;
    bool updating_threshold;
    month_rows months;             // the selected cell's months, for the explorer's table and chart
    gdd_falls falls;               // where the degree-day formula runs backwards
    lm_run *running;
    guint progress_source;
    struct lm_export *exporting;   // the GeoTIFF export under way, or null
};

// The window open now, or null; one at a time like every other window.
extern lm_window *terrain_open;

// Builds and shows the window, transient for parent.
void mapTheLand(GtkWindow *parent);

// Opens an elevation model: says what it is or why it cannot be used.
void lm_OpenLand(lm_window *w, const char *path);
// The made-up example land shipped with the program, or "" when missing.
std::string lm_ExampleLand(void);
// Reads and checks the season and shading entries, each bad one with its note.
bool lm_ReadEntries(lm_window *w, map_options *options);
// Starts a computation of the open land (or takes it from the session's
// results); cancels one under way.
void lm_StartRun(lm_window *w, const map_options *options);
void lm_CancelRun(lm_window *w);
// Computations whose worker has not yet finished, cancelled ones included.
int lm_RunsUnderWay(void);
// A file's size and modification time in nanoseconds; false when it cannot
// be looked at.
bool lm_FileStamp(const std::string &path, long long *size, long long *modified);
// The session's computed maps, by file (its path, size and modification
// time then) and options.
std::shared_ptr<const land_map> lm_Remembered(const std::string &path, const map_options *options);
void lm_Remember(const std::string &path, long long size, long long modified,
                 const std::shared_ptr<const land_map> &map);

// Shows a map once computed: threshold at its median, image, frame, texts.
void lm_ShowMap(lm_window *w, const std::shared_ptr<const land_map> &map);
// The threshold moved: the answer, the image, the histogram.
void lm_SetThreshold(lm_window *w, float threshold);
// The selected cell's months in the table and chart.
void lm_ShowCell(lm_window *w);

// Exports, each written whole or not at all; false with *error set.
bool lm_SaveMap(const lm_scene *scene, const std::string &caption, const char *path, GError **error);
bool lm_ExportAreas(const land_map *map, float threshold, const char *path, GError **error);
bool lm_ExportMonths(const land_map *map, int col, int row, const char *path, GError **error);
// The map in memory as the GeoTIFF veranta-map writes for the same land and
// settings; nothing is computed again.
bool lm_ExportGeoTiff(const land_map *map, const char *path, map_control *control, GError **error);
// The GeoTIFF export on a worker (writing a large map takes seconds), its
// outcome said in the window.
void lm_StartExport(lm_window *w, const char *path);
// What the window's file choosers do with a chosen name (kind as the
// buttons: 0 GeoTIFF, 1 map, 2 area table, 3 cell months), said in the window.
bool lm_ExportTo(lm_window *w, int kind, const char *path);

#endif
