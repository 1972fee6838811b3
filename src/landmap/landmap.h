// The terrain map window: a grower's elevation model opened, every cell's
// season computed by the terrain core, drawn as a map over a hillshade, read
// spot by spot, and the hectares that reach a degree-day threshold counted.
#ifndef VERANTA_LANDMAP_LANDMAP_H
#define VERANTA_LANDMAP_LANDMAP_H

#include "model/sweepSeason.h"
#include "terrain/mapFigures.h"
#include "terrain/terrain.h"
#include "ui/monthRows.h"
#include "ui/slopeFigures.h"
#include "ui/workerRun.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

// What the window computes with: the season and the terrain's shading.
struct lm_settings {
    season_range season;
    bool shade;
    int directions;
    float distance;   // metres
};

// A computed map, in memory: every band by cell, row after row, NaN where
// the elevation model has no data. Shared by the window and the session's
// cache, never changed once made.
struct lm_map {
    std::string path;          // the elevation model it was computed from
    long long file_size = -1;  // and its size and modification time (ns) then
    long long file_modified = 0;
    lm_settings settings;
    int cols = 0, rows = 0;
    std::vector<float> elevation, tilt, aspect, shadow, degree_days, irradiation;
    std::vector<float> month_irradiation, month_degree_days;   // [month * cells + cell], month 0 = January
    std::vector<float> whole_edge_months;   // the season's first and last month whole, as the core's map_tile
    std::vector<double> row_area;                              // m² of one cell of each row
    std::vector<double> latitude, longitude;                   // of each cell's centre, WGS 84, east positive
    double cell_width_m = 0.0;   // across one cell at the centre row, for the scale bar
    double outside_share = 0.0;  // of the cells, outside the calibrated region
    float gdd_low = 0.0f, gdd_high = 0.0f, irr_low = 0.0f, irr_high = 0.0f;
    map_options options;         // as the terrain core was given them
    map_grid grid;               // the DEM's grid and CRS, for the GeoTIFF
    long cells_with_data = 0;    // cells with an elevation, and of them
    long cells_outside = 0;      // those outside the calibrated region
    long cells() const { return static_cast<long>(cols) * rows; }
};

// A cell's season as the slope sweep gives one (false for a cell without
// data), and which of its months lie where the degree-day formula runs
// backwards, judged with the zone of the cell's sun block.
bool lm_CellSeason(const lm_map *map, long cell, const gdd_falls *falls, slope_season *season, bool falling[12]);
// Where a cell lies on the earth (its centre, WGS 84, east-positive).
bool lm_CellLatLon(const lm_map *map, int col, int row, double *latitude, double *longitude);
// The cell containing a point of the earth, false when it lies outside.
bool lm_CellOf(const lm_map *map, double latitude, double longitude, int *col, int *row);

// The image of the map that frames are drawn from: colour by degree days or
// irradiation over a hillshade, cells below the threshold faded, nodata
// transparent; one pixel a cell, and the same scaled once per zoom.
struct lm_image {
    cairo_surface_t *base = nullptr;     // one pixel a cell
    cairo_surface_t *scaled = nullptr;   // base at scaled_at pixels a cell, when smaller than it
    double scaled_at = 0.0;
};
void lm_RenderImage(lm_image *image, const lm_map *map, bool by_irradiation, float threshold);
void lm_FreeImage(lm_image *image);

// What one frame of the map shows.
struct lm_scene {
    const lm_map *map;
    lm_image *image;
    map_frame frame;
    bool by_irradiation;
    float threshold;
    int selected_col, selected_row;   // -1 when no cell is selected
    int site_col, site_row;           // the stored site, -1 when outside the land
};
// The map with its legend, north arrow and scale bar, in a width × height area.
void lm_DrawMap(cairo_t *cr, const lm_scene *scene, double width, double height);
// The land's area by degree-day class, the threshold marked.
void lm_DrawHistogram(cairo_t *cr, const lm_map *map, float threshold, double width, double height);
enum { LM_CLASSES = 12 };

// One computation on the worker: its inputs, its result and its progress.
struct lm_window;
struct lm_run : worker_run {
    std::string path;
    lm_settings settings;
    std::shared_ptr<lm_map> result;
    std::string refusal;     // why nothing was computed, for the window
    map_control control;
};

// A GeoTIFF export on the worker.
struct lm_export {
    std::shared_ptr<lm_map> map;
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
    std::shared_ptr<lm_map> map;   // the map shown, or null
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
bool lm_ReadEntries(lm_window *w, lm_settings *settings);
// Starts a computation of the open land (or takes it from the session's
// results); cancels one under way.
void lm_StartRun(lm_window *w, const lm_settings *settings);
void lm_CancelRun(lm_window *w);
// Computations whose worker has not yet finished, cancelled ones included.
int lm_RunsUnderWay(void);
// A file's size and modification time in nanoseconds; false when it cannot
// be looked at.
bool lm_FileStamp(const std::string &path, long long *size, long long *modified);
// The session's computed maps, by file (its path, size and modification
// time) and settings.
std::shared_ptr<lm_map> lm_Remembered(const std::string &path, const lm_settings *settings);
void lm_Remember(const std::shared_ptr<lm_map> &map);

// Shows a map once computed: threshold at its median, image, frame, texts.
void lm_ShowMap(lm_window *w, const std::shared_ptr<lm_map> &map);
// The threshold moved: the answer, the image, the histogram.
void lm_SetThreshold(lm_window *w, float threshold);
// "X ha of Y ha (Z %) get at least T degree days over this season", and
// how much of the land has no elevation data and is not counted, if any.
gchar *lm_AnswerText(const lm_map *map, float threshold);
// The hover readout for a cell, or the hint when col < 0.
gchar *lm_SpotText(const lm_map *map, int col, int row);
// The selected cell's months in the table and chart.
void lm_ShowCell(lm_window *w);

// Exports, each written whole or not at all; false with *error set.
bool lm_SaveMap(const lm_scene *scene, const std::string &caption, const char *path, GError **error);
bool lm_ExportAreas(const lm_map *map, float threshold, const char *path, GError **error);
bool lm_ExportMonths(const lm_map *map, int col, int row, const char *path, GError **error);
// The map in memory as the GeoTIFF veranta-map writes for the same land and
// settings; nothing is computed again.
bool lm_ExportGeoTiff(const lm_map *map, const char *path, map_control *control, GError **error);
// The GeoTIFF export on a worker (writing a large map takes seconds), its
// outcome said in the window.
void lm_StartExport(lm_window *w, const char *path);
// The caption of a saved map: file, season and shading.
std::string lm_Caption(const lm_map *map);
// What the window's file choosers do with a chosen name (kind as the
// buttons: 0 GeoTIFF, 1 map, 2 area table, 3 cell months), said in the window.
bool lm_ExportTo(lm_window *w, int kind, const char *path);

#endif
