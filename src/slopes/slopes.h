// The slope explorer: for the stored site and a season, the season's degree
// days and irradiation of every slope direction and steepness at once, as a
// compass chart, the months of one chosen slope, and both exported.
#ifndef VERANTA_SLOPES_SLOPES_H
#define VERANTA_SLOPES_SLOPES_H

#include "model/sweepSeason.h"
#include "ui/monthRows.h"
#include "ui/slopeFigures.h"
#include "ui/workerRun.h"

#include <gtk/gtk.h>

// The slopes compared: aspect every 15 degrees (24 directions) by tilt 0 to
// 30 every 2.5 degrees (13 steepnesses), index aspect * 13 + tilt, and the
// stored slope itself last.
enum {
    SL_ASPECTS = 24,
    SL_TILTS = 13,
    SL_GRID = SL_ASPECTS * SL_TILTS,
    SL_STORED = SL_GRID,
    SL_SLOPES = SL_GRID + 1,
};
float sl_GridAspect(int index);
float sl_GridTilt(int index);

// One sweep on the worker: its inputs, its results and its progress. Owned by
// its task; the window only points at the run it waits for.
struct sl_run : worker_run {
    site_location site;
    season_range season;
    slope slopes[SL_SLOPES];
    slope_season results[SL_SLOPES];
    sweep_control control;
    int status;
};

// What the charts show: the results of the last completed comparison.
struct sl_view {
    bool have;
    site_location site;
    season_range season;
    slope stored;            // as typed
    bool calibrated;         // the site lies in the region of the regression
    slope_season results[SL_SLOPES];
    season_measure by;       // what the compass is coloured and ranked by
    float low, high;         // range of that measure over the grid slopes
    int best;                // grid index with the most of it
    gdd_falls falls;         // where the degree-day formula runs backwards
    int selected;            // index 0 .. SL_STORED
    int hover;               // -1 when the pointer is over no slope
};

// The window's widgets (from the UI definition) and its state.
struct sl_window {
    GtkBuilder *ui;
    GtkWidget *window;
    GtkWidget *entry_lat, *entry_lon, *entry_elev, *entry_aspect, *entry_tilt;
    GtkWidget *msg_lat, *msg_lon, *msg_elev, *msg_aspect, *msg_tilt;
    GtkWidget *entry_year, *entry_startday, *entry_stopday;
    GtkWidget *combo_startmonth, *combo_stopmonth;
    GtkWidget *msg_year, *msg_start, *msg_stop;
    GtkWidget *button_compare, *progress;
    GtkWidget *banner, *message;
    GtkWidget *compass, *month_chart;
    GtkWidget *selected_title, *difference;
    GtkListStore *months_store;
    GtkWidget *months_view, *falling_note;
    GtkWidget *rank_irradiation, *rank_degree_days;
    GtkWidget *button_export, *button_chart, *status, *button_close;
    GtkFileChooserNative *chooser;   // the export's file chooser while it is open
    sl_run *running;         // the run whose result is awaited, or null
    guint progress_source;   // timeout that follows the running sweep, or 0
    sl_view view;
};

// The explorer open now, or null; one at a time like every other window.
extern sl_window *slopes_open;

// Builds and shows the window from its UI definition, site from locale.txt,
// above the parent window (none when null).
void compareSlopes(GtkWindow *parent);

// Reads and checks the entries; on success fills site, season and the stored
// slope (longitude typed 0 or more taken as west) and returns true. Every bad
// entry gets its message beside it; the first failing check of the season
// decides its message as in the season window.
bool sl_ReadEntries(sl_window *w, site_location *site, season_range *season, slope *stored);
// True when the typed site lies in the region the degree days are fitted for.
bool sl_LocaleOK(sl_window *w);
// Why the engine cannot compute this site or slope, or null when it can.
const char *sl_Refusal(const site_location *site, const slope *stored);

// Starts a sweep on a worker, cancelling one under way.
void sl_StartRun(sl_window *w, const site_location *site, const season_range *season, const slope *stored);
// Cancels the run under way, if any; its result is then dropped.
void sl_CancelRun(sl_window *w);

// Takes a finished run's results into the view (best slope, colour range).
void sl_TakeResults(sl_view *view, const sl_run *run);
// Colours and ranks by irradiation or degree days (best slope, range).
void sl_RankBy(sl_view *view, season_measure by);
// Shows the selected slope: title, difference from the stored slope, months.
void sl_ShowSelection(sl_window *w);
// The compass's accessible description: the best and the selected slope.
void sl_DescribeCompass(sl_window *w);
// Arrow keys on the compass: left and right turn the aspect, up and down
// change the tilt of the selection. True when the key was one of them.
bool sl_MoveSelection(sl_view *view, guint key);

// Geometry of the compass chart in an area of the given size.
struct sl_compass_layout {
    double cx, cy, radius, band;   // centre, outer radius, width of one tilt step
    double legend_x, legend_y, legend_w, legend_h;
};
sl_compass_layout sl_CompassLayout(double width, double height);
// Where a slope's mark sits; a negative tilt faces the other way, a tilt
// beyond the chart sits on its edge.
void sl_SlopePlace(const sl_compass_layout *layout, float aspect, float tilt, double *x, double *y);
// The slope under a point of the chart, or -1.
int sl_SlopeAt(const sl_view *view, const sl_compass_layout *layout, double x, double y);
void sl_DrawCompass(cairo_t *cr, const sl_view *view, double width, double height);
// The selected slope's months, their marks included.
month_rows sl_MonthRows(const sl_view *view);

// Writes the table of every compared slope as CSV, or the charts as PNG, SVG
// or PDF (by the name's ending). The file is replaced as a whole or not at
// all; on failure false with *error set.
bool sl_ExportTable(const sl_view *view, const char *path, GError **error);
bool sl_SaveChart(const sl_view *view, const char *path, GError **error);
// What the window's file choosers do with the chosen name: the table (chart
// false) or the charts written there, the outcome said in the window.
bool sl_ExportTo(sl_window *w, bool chart, const char *path);


#endif
