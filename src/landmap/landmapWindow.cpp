// The map window: its template (landmap.ui, a resource of the program) gives
// its widgets and binds its handlers; the computation and the GeoTIFF export
// run as jobs on a worker thread; closing by its button, Escape or the window
// manager alike cancels both.
#include "landmap/landmapWindow.h"

#include "landmap/landmapArea.h"
#include "landmap/landmapBlocks.h"
#include "landmap/landmapColouring.h"
#include "landmap/landmapElevation.h"
#include "landmap/landmapDrawing.h"
#include "landmap/landmapExports.h"
#include "landmap/landmapRun.h"
#include "location/readLocale.h"
#include "model/model.h"
#include "model/winklerRegions.h"
#include "station/stationAnchor.h"
#include "terrain/mapTexts.h"
#include "ui/chartText.h"
#include "ui/entries.h"
#include "ui/monthRows.h"
#include "ui/windowFiles.h"
#include "ui/windowJob.h"
#include "ui/windowTools.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

LandmapWindow *landmap_open = nullptr;

namespace {

// What the window knows besides its widgets.
struct landmap_view {
    landmap_land land;                     // the file open now
    std::string example;                   // the example land's path, "" when missing
    std::shared_ptr<const land_map> map;   // the map shown, or null: the core's, as it was computed
    value_range gdd_range{}, irr_range{};  // of its degree days and irradiation, for the colour scales
    bool site_known = false;               // the stored site, read when the window opened
    double site_latitude = 0.0, site_longitude = 0.0;   // WGS 84, east positive
    landmap_image image;
    map_frame frame = {0.0, 0.0, 1.0};
    bool fitted = false;          // the frame follows the area's size until the grower zooms or pans
    bool dragging = false;
    double drag_x = 0.0, drag_y = 0.0;
    int press_x = 0, press_y = 0; // where the button went down, to tell a click from a drag
    float threshold = 0.0f;       // degree days
    int hover_col = -1, hover_row = -1, selected_col = -1, selected_row = -1, site_col = -1, site_row = -1;
    bool updating_threshold = false;
    month_rows months{};          // the selected cell's months, for the table and chart
    gdd_falls falls{};            // where the degree-day formula runs backwards
    // The parcel open (null when none), its map when the map shown is the
    // parcel's, and its blocks' figures at the threshold.
    std::shared_ptr<const landmap_parcel> parcel;
    std::shared_ptr<const landmap_parcel_map> parcel_map;
    std::vector<block_figures> figures;
    int selected_block = 0;       // 0: none
    bool filling_blocks = false;  // the table is being filled: its selection is not the grower's
    // A land too large to map whole: its coarse picture, the area chosen on
    // it (width 0: none) and the rectangle being dragged (x0, y0, x1, y1 in
    // the map's area; rubber[0] < 0: none).
    std::shared_ptr<const landmap_preview> preview;
    std::string credit;           // a fetched elevation model's source and attribution, "" for another
    map_window area{};
    double rubber[4] = {-1.0, -1.0, -1.0, -1.0};
};

}  // namespace

struct _LandmapWindow {
    GtkWindow parent_instance;
    // From the template.
    GtkWidget *open, *example, *land_info, *refusal;
    GtkWidget *year, *startday, *stopday, *startmonth, *stopmonth, *year_msg, *start_msg, *stop_msg;
    GtkWidget *shade, *directions, *distance, *directions_msg, *distance_msg, *target, *target_msg;
    GtkWidget *compute, *progress;
    GtkWidget *threshold_scale, *threshold_entry, *presets, *answer, *regions, *histogram;
    GtkAdjustment *threshold_adj;
    GtkWidget *banner, *colour_gdd, *colour_irr, *colour_region, *colour_date, *zoom_in, *zoom_out, *fit;
    GtkWidget *map_area, *readout, *selected, *month_chart, *falling_note;
    GtkListStore *months_store;
    GtkWidget *export_tif, *save_map, *save_report, *export_areas, *export_months, *status, *close;
    GtkWidget *parcel_open, *parcel_close, *parcel_info, *blocks_view, *blocks_note, *export_blocks;
    GtkWidget *choose_area, *get_elevation, *credit;
    GtkWidget *anchor, *anchor_site, *anchor_note;
    // Its own.
    GtkFileChooserNative *chooser;   // a file chooser while it is open
    window_job run;                  // the computation under way
    window_job geotiff;              // the GeoTIFF export under way
    window_job survey;               // the elevations of a land being opened
    window_job parcel_read;          // a parcel's outline being read and placed
    window_job blocks_export;        // the block file being written
    window_job report;               // the site report being written
    window_job anchoring;            // a station's offsets being read and added
    landmap_view *view;
};

G_DEFINE_TYPE(LandmapWindow, landmap_window, GTK_TYPE_WINDOW)

namespace {

bool byIrradiation(LandmapWindow *self) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->colour_irr));
}

landmap_colour_by colourBy(LandmapWindow *self) {
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->colour_region))) return LANDMAP_BY_REGION;
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->colour_date))) return LANDMAP_BY_TARGET_DATE;
    return LANDMAP_BY_VALUE;
}

landmap_scene scene(LandmapWindow *self) {
    landmap_view *v = self->view;
    landmap_scene s{};
    s.map = v->map.get();
    s.image = &v->image;
    s.frame = v->frame;
    s.by_irradiation = byIrradiation(self);
    s.range = s.by_irradiation ? v->irr_range : v->gdd_range;
    s.threshold = v->threshold;
    s.selected_col = v->selected_col;
    s.selected_row = v->selected_row;
    s.site_col = v->site_col;
    s.site_row = v->site_row;
    s.colour_by = colourBy(self);
    return s;
}

// The buttons that need a map (the cell months' also a cell).
void mapButtons(LandmapWindow *self, bool have) {
    for (GtkWidget *b : {self->export_tif, self->save_map, self->save_report, self->export_areas, self->anchor,
                         self->threshold_scale,
                         self->threshold_entry, self->presets, self->zoom_in, self->zoom_out, self->fit})
        gtk_widget_set_sensitive(b, have);
    gtk_widget_set_sensitive(self->export_months, FALSE);
    gtk_widget_set_sensitive(self->export_blocks, have && self->view->parcel_map != nullptr);
}

// The readout keeps two lines, each cut short where the window is narrow;
// the whole text is its tooltip.
void showReadout(LandmapWindow *self, const std::string &text) {
    gtk_label_set_text(GTK_LABEL(self->readout), text.c_str());
    gtk_widget_set_tooltip_text(self->readout, text.c_str());
}

void renderImage(LandmapWindow *self) {
    landmap_view *v = self->view;
    const bool by_irradiation = byIrradiation(self);
    if (colourBy(self) != LANDMAP_BY_VALUE) {
        landmap_colouring_render(&v->image, v->map.get(), colourBy(self), v->threshold);
        gtk_widget_queue_draw(self->map_area);
        return;
    }
    landmap_image_render(&v->image, v->map.get(), by_irradiation ? &v->irr_range : &v->gdd_range, by_irradiation,
                         v->threshold);
    gtk_widget_queue_draw(self->map_area);
}

// --- the map shown -------------------------------------------------------------

// The selected block's mean months in the explorer's table and chart, when
// a block is selected and no cell; false otherwise.
bool showBlockMonths(LandmapWindow *self) {
    landmap_view *v = self->view;
    if (v->selected_block <= 0 || v->map == nullptr) return false;
    for (const block_figures &f : v->figures) {
        if (f.block != v->selected_block) continue;
        v->months = landmap_block_months(f, v->map->options.season);
        bool marked = false;
        for (int k = 0; k < v->months.count; k++) marked = marked || v->months.falling[k];
        monthTable(self->months_store, &v->months);
        gtk_label_set_text(GTK_LABEL(self->falling_note), marked ? fallingNote() : "");
        const std::string title = f.name + ": the block's mean months";
        gtk_label_set_text(GTK_LABEL(self->selected), title.c_str());
        gtk_widget_queue_draw(self->month_chart);
        return true;
    }
    return false;
}

// The selected cell month by month, in the explorer's table and month chart,
// its months marked where the degree-day formula runs backwards: the months
// are the terrain core's for that cell, exact as computed.
void showCell(LandmapWindow *self) {
    landmap_view *v = self->view;
    gtk_list_store_clear(self->months_store);
    v->months = month_rows{};
    gtk_label_set_text(GTK_LABEL(self->falling_note), "");
    const land_map *m = v->map.get();
    long i = m != nullptr && v->selected_col >= 0 ? static_cast<long>(v->selected_row) * m->grid.width + v->selected_col
                                                  : -1;
    cell_months cm;
    if (i < 0 && showBlockMonths(self)) return;
    if (m == nullptr || !cellMonths(*m, i, &v->falls, &cm)) {
        gtk_label_set_text(GTK_LABEL(self->selected), m == nullptr ? "" : "Click a cell of the map for its months.");
        gtk_widget_queue_draw(self->month_chart);
        return;
    }
    month_rows &rows = v->months;
    rows.count = cm.count;
    bool marked = false;
    for (int k = 0; k < rows.count; k++) {
        rows.month[k] = cm.month[k];
        rows.first[k] = cm.first[k];
        rows.last[k] = cm.last[k];
        rows.irradiation[k] = cm.irradiation[k];
        rows.degree_days[k] = cm.degree_days[k];
        rows.falling[k] = cm.falling[k];
        marked = marked || cm.falling[k];
    }
    rows.total_irradiation = cm.total_irradiation;
    rows.total_degree_days = cm.total_degree_days;
    monthTable(self->months_store, &rows);
    // The note keeps its room when empty: the map above does not move.
    gtk_label_set_text(GTK_LABEL(self->falling_note), marked ? fallingNote() : "");

    // Numbered as GDAL numbers the map's pixels and lines.
    gchar *title = g_strdup_printf("Cell %d, %d: its months", v->selected_col, v->selected_row);
    gtk_label_set_text(GTK_LABEL(self->selected), title);
    g_free(title);
    gtk_widget_queue_draw(self->month_chart);
}

// The block table at the threshold; the selected block stays selected.
void showBlocks(LandmapWindow *self) {
    landmap_view *v = self->view;
    v->figures.clear();
    std::string why;
    if (v->parcel_map != nullptr && v->parcel_map->map == v->map) {
        const landmap_parcel &p = *v->parcel_map->parcel;
        const block_map bm = landmap_block_map(*v->parcel_map);
        if (!blockFigures(&p.blocks, &p.placement, &bm, v->threshold, &v->figures, &why)) v->figures.clear();
    }
    const int keep = v->selected_block;
    v->filling_blocks = true;
    landmap_blocks_fill(GTK_TREE_VIEW(self->blocks_view), v->figures,
                        v->map != nullptr ? v->map->options.season : season_range{});
    landmap_blocks_select(GTK_TREE_VIEW(self->blocks_view), keep);
    v->filling_blocks = false;
    v->selected_block = landmap_blocks_selected(GTK_TREE_VIEW(self->blocks_view));
    gtk_label_set_text(GTK_LABEL(self->blocks_note),
                       v->figures.empty() ? (why.empty() ? "Open a parcel and compute: each block's hectares reaching "
                                                           "the threshold, its degree days and irradiation. Select a "
                                                           "block for its mean months."
                                                         : why.c_str())
                                          : "Hectares count the cells whose centre lies inside a block. Select a "
                                            "block for its mean months.");
}

// The slider, the entry, the sentence, the map and the histogram follow one
// threshold; the image is made again since the faded cells change.
void setThreshold(LandmapWindow *self, float threshold) {
    landmap_view *v = self->view;
    v->threshold = threshold;
    v->updating_threshold = true;
    gtk_adjustment_set_value(self->threshold_adj, threshold);
    gchar *t = decimalText(threshold, std::round(threshold) == threshold ? 0 : 1);
    gtk_entry_set_text(GTK_ENTRY(self->threshold_entry), t);
    g_free(t);
    v->updating_threshold = false;
    if (v->map == nullptr) return;
    if (v->parcel_map != nullptr && v->parcel_map->map == v->map) {
        gtk_label_set_text(GTK_LABEL(self->answer), answerText(*v->parcel_map->map, threshold).c_str());
        showBlocks(self);
    } else {
        gtk_label_set_text(GTK_LABEL(self->answer), answerText(*v->map, threshold).c_str());
    }
    renderImage(self);
    gtk_widget_queue_draw(self->histogram);
}

void offerColourings(LandmapWindow *self) {
    landmap_colourings_offer(self->colour_region, self->colour_date, self->colour_gdd, self->view->map.get());
}

// A threshold preset: a bound between two Winkler regions.
void presetChosen(gpointer data, float threshold) { setThreshold(LANDMAP_WINDOW(data), threshold); }

// A map just computed (or remembered) takes the window: the threshold starts
// at the land's median, the whole land in view, the stored site marked when
// it lies on the land, and the limits said plainly.
void showMap(LandmapWindow *self, const std::shared_ptr<const land_map> &map) {
    landmap_view *v = self->view;
    v->map = map;
    if (v->parcel_map != nullptr && v->parcel_map->map != map) v->parcel_map.reset();
    if (!map->options.anchor.anchored()) gtk_widget_hide(self->anchor_note);
    v->selected_col = v->selected_row = v->hover_col = v->hover_row = -1;
    v->site_col = v->site_row = -1;
    if (v->site_known && !cellOf(*map, v->site_latitude, v->site_longitude, &v->site_col, &v->site_row))
        v->site_col = v->site_row = -1;
    const long cells = map->grid.cells();
    const float *gdd = map->band(map_quantity::degree_days);
    v->gdd_range = valueRange(gdd, cells);
    v->irr_range = valueRange(map->band(map_quantity::irradiation), cells);

    offerColourings(self);
    const std::string regions = landmap_region_hectares_text(*map);
    gtk_label_set_text(GTK_LABEL(self->regions), regions.c_str());
    gtk_widget_set_visible(self->regions, !regions.empty());

    const std::string outside = outsideText(*map);
    gtk_label_set_text(GTK_LABEL(self->banner), outside.c_str());
    gtk_widget_set_visible(self->banner, !outside.empty());

    v->updating_threshold = true;
    gtk_adjustment_configure(self->threshold_adj, v->gdd_range.low, v->gdd_range.low, v->gdd_range.high, 1.0, 10.0,
                             0.0);
    v->updating_threshold = false;
    float median = medianValue(gdd, cells);
    v->threshold = median == kMapNodata ? 0.0f : std::floor(median);
    mapButtons(self, true);
    // The bounds between the regions mean something for their season only.
    gtk_widget_set_sensitive(self->presets, winklerSeason(map->options.season));
    v->fitted = true;
    v->frame = landmap_fit(map->grid.width, map->grid.height, gtk_widget_get_allocated_width(self->map_area),
                           gtk_widget_get_allocated_height(self->map_area));
    setThreshold(self, v->threshold);
    if (v->parcel_map == nullptr) showBlocks(self);
    showReadout(self, landmap_readout_text(map.get(), -1, -1));
    showCell(self);
}

// --- the computation -------------------------------------------------------------

// A run that gave no map says why; one that did, how long it took.
void sayNoMap(LandmapWindow *self, const std::string &refusal) {
    const std::string text = "No map: " + (refusal.empty() ? std::string("the computation failed.") : refusal);
    showStatus(self->status, text.c_str(), true);
}

void sayComputed(LandmapWindow *self, const char *what, gint64 started) {
    gchar *text = g_strdup_printf("%s %.1f s.", what, (g_get_monotonic_time() - started) / 1e6);
    showStatus(self->status, text, false);
    g_free(text);
}

// The computation as a job: the terrain core runs on the worker, the window
// takes its map on the main loop as it is.
void runWork(gpointer data) { landmap_run_work(static_cast<landmap_run *>(data)); }

double runProgress(gconstpointer data) { return landmap_run_progress(static_cast<const landmap_run *>(data)); }

gchar *runProgressText(gconstpointer data) {
    return g_strdup(landmap_run_progress_text(static_cast<const landmap_run *>(data)).c_str());
}

void runDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_run *run = static_cast<const landmap_run *>(data);
    if (run->result == nullptr) {
        sayNoMap(self, run->refusal);
        return;
    }
    landmap_remember(run);
    showMap(self, run->result);
    sayComputed(self, "Computed in", run->started);
}

void freeRun(gpointer data) { delete static_cast<landmap_run *>(data); }

const window_job_calls kRunCalls = {runWork, runProgress, runDone, freeRun, runProgressText};

// The run under way stops soon and its result is dropped when it arrives.
void cancelRun(LandmapWindow *self) {
    windowJobCancel(&self->run);
    gtk_widget_hide(self->progress);
}

// Brings the block table into view at the foot of the settings' column,
// the answer above it, once the column is laid out with the parcel's texts.
gboolean revealBlocks(gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(data);
    if (!gtk_widget_in_destruction(GTK_WIDGET(self))) {
        GtkWidget *frame = gtk_widget_get_ancestor(self->blocks_view, GTK_TYPE_FRAME);
        GtkWidget *own = gtk_widget_get_ancestor(self->blocks_view, GTK_TYPE_SCROLLED_WINDOW);
        GtkWidget *column = own != nullptr ? gtk_widget_get_ancestor(gtk_widget_get_parent(own), GTK_TYPE_SCROLLED_WINDOW)
                                           : nullptr;
        GtkWidget *content = column != nullptr ? gtk_bin_get_child(GTK_BIN(column)) : nullptr;
        // A viewport's own coordinates are those of what is in sight; what it
        // holds scrolls with the frame.
        if (content != nullptr && GTK_IS_VIEWPORT(content)) content = gtk_bin_get_child(GTK_BIN(content));
        int x = 0, y = 0;
        if (frame != nullptr && content != nullptr && gtk_widget_translate_coordinates(frame, content, 0, 0, &x, &y)) {
            GtkAdjustment *adj = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(column));
            const double bottom = y + gtk_widget_get_allocated_height(frame) + 4;
            if (bottom > gtk_adjustment_get_value(adj) + gtk_adjustment_get_page_size(adj))
                gtk_adjustment_set_value(adj, bottom - gtk_adjustment_get_page_size(adj));
        }
    }
    g_object_unref(self);
    return G_SOURCE_REMOVE;
}

// A parcel's map takes the window as a map does; its answer, histogram,
// threshold and table are the parcel's.
void showParcelMap(LandmapWindow *self, const std::shared_ptr<const landmap_parcel_map> &pm) {
    self->view->parcel_map = pm;
    self->view->selected_block = 0;
    showMap(self, pm->map);
    g_idle_add(revealBlocks, g_object_ref(self));
}

void parcelRunWork(gpointer data) { landmap_parcel_run_work(static_cast<landmap_parcel_run *>(data)); }

double parcelRunProgress(gconstpointer data) {
    return landmap_cells_progress(static_cast<const landmap_parcel_run *>(data)->control);
}

gchar *parcelRunProgressText(gconstpointer data) {
    const map_control &control = static_cast<const landmap_parcel_run *>(data)->control;
    return g_strdup(landmap_cells_progress_text(control, "reading the parcel's land", "the parcel's cells").c_str());
}

void parcelRunDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_parcel_run *run = static_cast<const landmap_parcel_run *>(data);
    if (run->result == nullptr) {
        sayNoMap(self, run->refusal);
        return;
    }
    landmap_parcel_remember(run);
    showParcelMap(self, run->result);
    sayComputed(self, "The parcel computed in", run->started);
}

void freeParcelRun(gpointer data) { delete static_cast<landmap_parcel_run *>(data); }

const window_job_calls kParcelRunCalls = {parcelRunWork, parcelRunProgress, parcelRunDone, freeParcelRun,
                                          parcelRunProgressText};

// Only the blocks' window is computed, or taken from the session's maps.
void startParcelRun(LandmapWindow *self, const map_options *options) {
    landmap_view *v = self->view;
    std::shared_ptr<const landmap_parcel_map> kept = landmap_parcel_remembered(v->land.path, v->parcel->path, options);
    if (kept != nullptr && kept->parcel->dem_path == v->land.path) {
        showParcelMap(self, kept);
        showStatus(self->status, "Computed before in this session.", false);
        return;
    }
    landmap_parcel_run *run = new landmap_parcel_run();
    run->dem_path = v->land.path;
    run->options = *options;
    run->parcel = v->parcel;
    run->started = g_get_monotonic_time();
    windowJobStart(&self->run, GTK_WIDGET(self), run, &kParcelRunCalls, &run->control.cancel, self->progress);
}

void areaRunWork(gpointer data) { landmap_area_run_work(static_cast<landmap_area_run *>(data)); }

double areaRunProgress(gconstpointer data) {
    return landmap_cells_progress(static_cast<const landmap_area_run *>(data)->control);
}

gchar *areaRunProgressText(gconstpointer data) {
    const map_control &control = static_cast<const landmap_area_run *>(data)->control;
    return g_strdup(landmap_cells_progress_text(control, "reading the area", "the area's cells").c_str());
}

// An area's map is shown as a land's; it is not kept for the session, which
// keeps maps of whole lands.
void areaRunDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_area_run *run = static_cast<const landmap_area_run *>(data);
    if (run->result == nullptr) {
        sayNoMap(self, run->refusal);
        return;
    }
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(self->choose_area), FALSE);
    showMap(self, run->result);
    sayComputed(self, "The area computed in", run->started);
}

void freeAreaRun(gpointer data) { delete static_cast<landmap_area_run *>(data); }

const window_job_calls kAreaRunCalls = {areaRunWork, areaRunProgress, areaRunDone, freeAreaRun, areaRunProgressText};

// A land too large to map whole: the area chosen on it, at full resolution.
void startAreaRun(LandmapWindow *self, const map_options *options) {
    landmap_view *v = self->view;
    if (v->area.width < 1) {
        showStatus(self->status, "Choose an area first: Shift+drag on the land, or open a parcel.", true);
        return;
    }
    landmap_area_run *run = new landmap_area_run();
    run->dem_path = v->land.path;
    run->options = *options;
    run->area = v->area;
    run->started = g_get_monotonic_time();
    windowJobStart(&self->run, GTK_WIDGET(self), run, &kAreaRunCalls, &run->control.cancel, self->progress);
}

// Starts a computation of the open land, or takes it from the session's maps.
void startRun(LandmapWindow *self, const map_options *options) {
    cancelRun(self);
    if (self->view->parcel != nullptr) {
        startParcelRun(self, options);
        return;
    }
    if (self->view->preview != nullptr) {
        startAreaRun(self, options);
        return;
    }
    std::shared_ptr<const land_map> kept = landmap_remembered(self->view->land.path, options);
    if (kept != nullptr) {
        showMap(self, kept);
        showStatus(self->status, "Computed before in this session.", false);
        return;
    }
    landmap_run *run = new landmap_run();
    run->path = self->view->land.path;
    run->options = *options;
    run->started = g_get_monotonic_time();
    windowJobStart(&self->run, GTK_WIDGET(self), run, &kRunCalls, &run->control.cancel, self->progress);
}

// The terrain core's own check of the shading, each figure with the other's
// default, so that the window takes exactly what veranta-map takes.
bool coreTakes(int directions, float distance) {
    map_options o;
    o.directions = directions;
    o.distance = distance;
    return checkMapOptions(&o, nullptr) == TERRAIN_OK;
}

season_entries seasonEntries(LandmapWindow *self) {
    return {self->year,      self->startday, self->startmonth, self->stopday,
            self->stopmonth, self->year_msg, self->start_msg,  self->stop_msg};
}

// The season as the explorer reads it (same defaults and checks), and the
// shading's directions and distance by the terrain core's own limits; a bad
// entry gets its note and no run.
bool readEntries(LandmapWindow *self, map_options *options) {
    const season_entries entries = seasonEntries(self);
    map_options s;
    bool ok = readSeason(&entries, &s.season);
    s.shade = gtk_switch_get_active(GTK_SWITCH(self->shade));
    entryNote(self->directions_msg, "");
    entryNote(self->distance_msg, "");
    if (s.shade) {
        if (!entryInt(self->directions, &s.directions) || !coreTakes(s.directions, 5000.0f)) {
            entryNote(self->directions_msg, "a whole number from 1 to 360");
            ok = false;
        }
        // Read as typed in single precision, as the window always has.
        float distance = 0.0f;
        if (!entryFloat(self->distance, &distance) || !coreTakes(32, distance)) {
            entryNote(self->distance_msg, "metres, more than 0 and at most 100000");
            ok = false;
        }
        s.distance = distance;
    } else {
        s.directions = 32;
        s.distance = 5000.0;
    }
    ok = entryTarget(self->target, self->target_msg, &s.target) && ok;
    if (ok) *options = s;
    return ok;
}

// --- the land --------------------------------------------------------------------

void forgetMap(LandmapWindow *self) {
    landmap_view *v = self->view;
    cancelRun(self);
    v->map.reset();
    v->parcel_map.reset();
    v->selected_block = 0;
    landmap_image_free(&v->image);
    v->selected_col = v->selected_row = v->hover_col = v->hover_row = v->site_col = v->site_row = -1;
    gtk_widget_hide(self->banner);
    mapButtons(self, false);
    gtk_label_set_text(GTK_LABEL(self->answer), "");
    showBlocks(self);
    gtk_widget_hide(self->regions);
    offerColourings(self);
    showReadout(self, landmap_readout_text(nullptr, -1, -1));
    showCell(self);
    gtk_widget_queue_draw(self->map_area);
    gtk_widget_queue_draw(self->histogram);
}

// A file that cannot be used takes nothing away: the land open before and
// its map stay, and the refusal says why.
void refuseLand(LandmapWindow *self, const landmap_land &land) {
    const landmap_view *v = self->view;
    std::string said = land.said;
    if (v->land.usable) said += "\n" + v->land.name + " stays open.";
    gtk_label_set_text(GTK_LABEL(self->refusal), said.c_str());
    gtk_widget_show(self->refusal);
}

// --- the parcel ------------------------------------------------------------------

void parcelReadWork(gpointer data) { landmap_parcel_read_work(static_cast<landmap_parcel_read *>(data)); }

// A parcel read takes the window: the map shown is no longer the one to
// read, unless the session computed this parcel on this land before. A
// refusal leaves the parcel open before as it was.
void parcelReadDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    landmap_view *v = self->view;
    const landmap_parcel_read *read = static_cast<const landmap_parcel_read *>(data);
    showStatus(self->status, "", false);
    if (read->result == nullptr) {
        std::string said = read->refusal;
        if (v->parcel != nullptr && v->parcel->dem_path == v->land.path) said += "\n" + v->parcel->name + " stays open.";
        gtk_label_set_text(GTK_LABEL(self->refusal), said.c_str());
        gtk_widget_show(self->refusal);
        return;
    }
    gtk_widget_hide(self->refusal);
    forgetMap(self);
    v->parcel = read->result;
    gtk_label_set_text(GTK_LABEL(self->parcel_info), landmap_parcel_said(*v->parcel).c_str());
    gtk_widget_set_sensitive(self->parcel_close, TRUE);
    map_options options;
    if (readEntries(self, &options)) {
        std::shared_ptr<const landmap_parcel_map> kept = landmap_parcel_remembered(v->land.path, v->parcel->path, &options);
        if (kept != nullptr) showParcelMap(self, kept);
    }
    gtk_widget_grab_focus(self->compute);
}

void freeParcelRead(gpointer data) { delete static_cast<landmap_parcel_read *>(data); }

const window_job_calls kParcelReadCalls = {parcelReadWork, nullptr, parcelReadDone, freeParcelRead, nullptr};

void startParcelRead(LandmapWindow *self, const char *path) {
    landmap_parcel_read *read = new landmap_parcel_read();
    read->path = path;
    read->dem_path = self->view->land.usable ? self->view->land.path : "";
    gchar *text = g_strdup_printf("Reading the parcel %s…", landmap_land_name(path).c_str());
    showStatus(self->status, text, false);
    g_free(text);
    windowJobStart(&self->parcel_read, GTK_WIDGET(self), read, &kParcelReadCalls, nullptr, nullptr);
}

// Back to the whole land: its map comes back when the session has it.
void closeParcel(LandmapWindow *self) {
    landmap_view *v = self->view;
    windowJobCancel(&self->parcel_read);
    if (v->parcel == nullptr) return;
    forgetMap(self);
    v->parcel.reset();
    gtk_label_set_text(GTK_LABEL(self->parcel_info), "No parcel: the whole land is mapped.");
    gtk_widget_set_sensitive(self->parcel_close, FALSE);
    map_options options;
    if (v->land.usable && readEntries(self, &options)) {
        std::shared_ptr<const land_map> kept = landmap_remembered(v->land.path, &options);
        if (kept != nullptr) showMap(self, kept);
    }
}

// A land whose elevations were read takes the window; a map computed before
// for the same file and settings comes back at once.
void takeLand(LandmapWindow *self, const landmap_land &land) {
    landmap_view *v = self->view;
    forgetMap(self);
    v->land = land;
    gtk_widget_hide(self->refusal);
    gtk_label_set_text(GTK_LABEL(self->land_info), v->land.said.c_str());
    map_options options;
    if (v->parcel != nullptr) {
        // The parcel open is placed again on the land just taken.
        startParcelRead(self, v->parcel->path.c_str());
    } else if (readEntries(self, &options)) {
        std::shared_ptr<const land_map> kept = landmap_remembered(v->land.path, &options);
        if (kept != nullptr) showMap(self, kept);
    }
    gtk_widget_grab_focus(self->compute);
}

// Reading a land's elevations as a job: on the worker, then taken in.
void surveyWork(gpointer data) {
    landmap_survey *survey = static_cast<landmap_survey *>(data);
    landmap_survey_work(survey);
    if (survey->land.usable) survey->credit = landmap_elevation_credit(survey->land.path);
}

void surveyDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_survey *survey = static_cast<const landmap_survey *>(data);
    showStatus(self->status, "", false);
    if (survey->land.usable) {
        // Under the map: which source a fetched model is, and its credit.
        self->view->credit = survey->credit;
        gtk_label_set_text(GTK_LABEL(self->credit), survey->credit.c_str());
        gtk_widget_set_visible(self->credit, !survey->credit.empty());
        self->view->preview.reset();
        self->view->area = map_window{};
        gtk_widget_set_sensitive(self->choose_area, FALSE);
        takeLand(self, survey->land);
    } else {
        refuseLand(self, survey->land);
    }
}

void freeSurvey(gpointer data) { delete static_cast<landmap_survey *>(data); }

const window_job_calls kSurveyCalls = {surveyWork, nullptr, surveyDone, freeSurvey, nullptr};

// A land too large to map whole, its coarse picture read on the worker.
void previewWork(gpointer data) { landmap_preview_work(static_cast<landmap_preview_read *>(data)); }

void previewDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_preview_read *read = static_cast<const landmap_preview_read *>(data);
    showStatus(self->status, "", false);
    if (!read->land.usable) {
        refuseLand(self, read->land);
        return;
    }
    self->view->preview = read->preview;
    self->view->area = map_window{};
    self->view->credit.clear();
    gtk_widget_hide(self->credit);
    gtk_widget_set_sensitive(self->choose_area, TRUE);
    takeLand(self, read->land);
    gtk_widget_queue_draw(self->map_area);
}

void freePreview(gpointer data) { delete static_cast<landmap_preview_read *>(data); }

const window_job_calls kPreviewCalls = {previewWork, nullptr, previewDone, freePreview, nullptr};

// The coarse picture is shown while there is no map, or while an area is
// being chosen.
bool previewShown(LandmapWindow *self) {
    const landmap_view *v = self->view;
    return v->preview != nullptr &&
           (v->map == nullptr || gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->choose_area)));
}

// Where the coarse picture lies: below the sentence across the top.
map_frame previewFrame(LandmapWindow *self) {
    const landmap_preview &p = *self->view->preview;
    const double w = gtk_widget_get_allocated_width(self->map_area), h = gtk_widget_get_allocated_height(self->map_area);
    map_frame f = mapFit(p.width, p.height, w, std::max(1.0, h - 44.0));
    f.y += 44.0;
    return f;
}

// --- handlers ----------------------------------------------------------------------

void onCompute(GtkButton *, LandmapWindow *self) {
    showStatus(self->status, "", false);
    map_options options;
    if (!self->view->land.usable) {
        showStatus(self->status, "Open an elevation model first (or try the example).", true);
        return;
    }
    if (!readEntries(self, &options)) {
        cancelRun(self);
        showStatus(self->status, "Some entries cannot be used; see the notes beside them.", true);
        return;
    }
    startRun(self, &options);
}

void onOpenResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) landmap_window_open_land(self, path);
        g_free(path);
    }
    self->chooser = nullptr;
    g_object_unref(dialog);
}

void onOpen(GtkButton *, LandmapWindow *self) {
    if (self->chooser != nullptr) return;
    GtkFileChooserNative *dialog = gtk_file_chooser_native_new("Open an elevation model", GTK_WINDOW(self),
                                                               GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    // Every raster first, so that a VRT or an ASCII grid shows at once.
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Every raster GDAL reads", rasterEndings());
    addFileFilter(GTK_FILE_CHOOSER(dialog), "GeoTIFF", {"tif", "tiff"});
    GSList *filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog));
    gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(dialog), GTK_FILE_FILTER(filters->data));
    g_slist_free(filters);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onOpenResponse), self);
    self->chooser = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void onExample(GtkButton *, LandmapWindow *self) {
    if (self->view->example.empty()) {
        showStatus(self->status, "The made-up example land is missing from this installation.", true);
        return;
    }
    landmap_window_open_land(self, self->view->example.c_str());
}

void onOpenParcelResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) landmap_window_open_parcel(self, path);
        g_free(path);
    }
    self->chooser = nullptr;
    g_object_unref(dialog);
}

void onOpenParcel(GtkButton *, LandmapWindow *self) {
    if (self->chooser != nullptr) return;
    GtkFileChooserNative *dialog = gtk_file_chooser_native_new("Open the outline of your parcel", GTK_WINDOW(self),
                                                               GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Every outline (KML, KMZ, GeoJSON, Shapefile, GeoPackage)",
                  landmap_parcel_endings());
    addFileFilter(GTK_FILE_CHOOSER(dialog), "KML or KMZ (Google Earth)", {"kml", "kmz"});
    addFileFilter(GTK_FILE_CHOOSER(dialog), "GeoJSON", {"geojson", "json"});
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Shapefile, also zipped", {"shp", "zip"});
    addFileFilter(GTK_FILE_CHOOSER(dialog), "GeoPackage", {"gpkg"});
    GSList *filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog));
    gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(dialog), GTK_FILE_FILTER(filters->data));
    g_slist_free(filters);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onOpenParcelResponse), self);
    self->chooser = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void onCloseParcel(GtkButton *, LandmapWindow *self) { closeParcel(self); }

// --- anchoring to a station ---------------------------------------------------------

// What the anchored map took from the station, month by month.
std::string anchorNote(const land_map &map) {
    static const char *const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const map_anchor &a = map.options.anchor;
    const season_range &s = map.options.season;
    std::string text = "Anchored to station " + a.station + ": each month's degree days (°C above 10 °C) moved by the "
                       "station's measured mean minus the estimate at its site, never below 0:";
    for (int m = s.start_month; m <= s.stop_month; m++) {
        const double o = a.offsets[m - 1];
        text += std::string(m == s.start_month ? " " : ", ") + months[m - 1] + " " + (o >= 0 ? "+" : "−") +
                decimalString(std::fabs(o), 1);
    }
    return text + ". Compute again for the estimate alone.";
}

void anchorWork(gpointer data) { landmap_anchor_work(static_cast<landmap_anchor_run *>(data)); }

void anchorDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    landmap_anchor_run *run = static_cast<landmap_anchor_run *>(data);
    landmap_view *v = self->view;
    gtk_widget_set_sensitive(self->anchor, v->map != nullptr);
    if (run->result == nullptr || v->map != run->map) {
        showStatus(self->status, run->refusal.empty() ? "The map changed before it was anchored." : run->refusal.c_str(),
                   true);
        return;
    }
    showStatus(self->status, "", false);
    // A parcel's map stays the parcel's, its blocks on the anchored values.
    if (v->parcel_map != nullptr && v->parcel_map->map == run->map) {
        auto pm = std::make_shared<landmap_parcel_map>(*v->parcel_map);
        pm->map = run->result;
        showParcelMap(self, pm);
    } else {
        showMap(self, run->result);
    }
    gtk_label_set_text(GTK_LABEL(self->anchor_note), anchorNote(*run->result).c_str());
    gtk_widget_show(self->anchor_note);
}

void freeAnchor(gpointer data) { delete static_cast<landmap_anchor_run *>(data); }

const window_job_calls kAnchorCalls = {anchorWork, nullptr, anchorDone, freeAnchor, nullptr};

void onAnchorResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) landmap_window_anchor(self, path);
        g_free(path);
    }
    self->chooser = nullptr;
    g_object_unref(dialog);
}

void onAnchor(GtkButton *, LandmapWindow *self) {
    if (self->chooser != nullptr || self->view->map == nullptr) return;
    GtkFileChooserNative *dialog = gtk_file_chooser_native_new("Anchor the map to a weather station's daily records",
                                                               GTK_WINDOW(self), GTK_FILE_CHOOSER_ACTION_OPEN,
                                                               "_Open", "_Cancel");
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Daily records (CSV, text)", {"csv", "txt"});
    addFileFilter(GTK_FILE_CHOOSER(dialog), "Every file", {});
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onAnchorResponse), self);
    self->chooser = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void onChooseAreaToggled(GtkToggleButton *, LandmapWindow *self) { gtk_widget_queue_draw(self->map_area); }

// A fetched model opens as if the grower had opened it.
void elevationFetched(GtkWindow *parent, const char *path) {
    if (LANDMAP_IS_WINDOW(parent)) landmap_window_open_land(LANDMAP_WINDOW(parent), path);
}

// For the parcel's box with the shading distance around it, or for a centre
// and a size typed in the dialog.
void onGetElevation(GtkButton *, LandmapWindow *self) {
    landmap_view *v = self->view;
    map_options options;
    const double margin = readEntries(self, &options) && options.shade ? options.distance : 5000.0;
    landmap_elevation_open(GTK_WINDOW(self), v->parcel != nullptr, v->parcel != nullptr ? v->parcel->box : nullptr,
                           margin, elevationFetched);
}

// A row of the block table chosen by the grower: its block outlined, its
// mean months shown in place of a cell's.
void onBlockSelected(GtkTreeSelection *, LandmapWindow *self) {
    landmap_view *v = self->view;
    if (v->filling_blocks) return;
    v->selected_block = landmap_blocks_selected(GTK_TREE_VIEW(self->blocks_view));
    if (v->selected_block > 0) {
        v->selected_col = v->selected_row = -1;
        gtk_widget_set_sensitive(self->export_months, FALSE);
    }
    showCell(self);
    gtk_widget_queue_draw(self->map_area);
}

// GTK finishes the drag itself (GTK_DEST_DEFAULT_DROP), once.
void onDrop(GtkWidget *, GdkDragContext *, gint, gint, GtkSelectionData *selection, guint, guint,
            LandmapWindow *self) {
    gchar **uris = gtk_selection_data_get_uris(selection);
    if (uris != nullptr && uris[0] != nullptr) {
        gchar *path = g_filename_from_uri(uris[0], nullptr, nullptr);
        if (path != nullptr && landmap_parcel_file(path))
            landmap_window_open_parcel(self, path);
        else if (path != nullptr)
            landmap_window_open_land(self, path);
        else
            showStatus(self->status, "Only a file on this computer can be opened.", true);
        g_free(path);
    }
    g_strfreev(uris);
}

void onColourToggled(GtkToggleButton *button, LandmapWindow *self) {
    // The other button of the pair speaks.
    if (self->view->map == nullptr || !gtk_toggle_button_get_active(button)) return;
    renderImage(self);
}

void onThresholdMoved(GtkAdjustment *adjustment, LandmapWindow *self) {
    if (self->view->updating_threshold) return;
    setThreshold(self, static_cast<float>(gtk_adjustment_get_value(adjustment)));
}

void thresholdTyped(LandmapWindow *self) {
    float value;
    if (self->view->map == nullptr) return;
    if (wholeFloat(gtk_entry_get_text(GTK_ENTRY(self->threshold_entry)), &value) && std::isfinite(value))
        setThreshold(self, value);
    else
        setThreshold(self, self->view->threshold);   // back to the threshold in force
}

void onThresholdActivate(GtkEntry *, LandmapWindow *self) { thresholdTyped(self); }

gboolean onThresholdFocusOut(GtkWidget *, GdkEvent *, LandmapWindow *self) {
    thresholdTyped(self);
    return FALSE;
}

// --- the map's area: drawing, zoom and pan, the spot and the cell ----------------

gboolean onDrawMap(GtkWidget *area, cairo_t *cr, LandmapWindow *self) {
    if (previewShown(self)) {
        const map_frame f = previewFrame(self);
        landmap_draw_preview(cr, *self->view->preview, &f, self->view->area, self->view->rubber,
                             gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
        return FALSE;
    }
    const landmap_scene s = scene(self);
    landmap_draw_map(cr, &s, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    const landmap_view *v = self->view;
    if (v->parcel_map != nullptr && v->parcel_map->map == v->map)
        landmap_draw_parcel(cr, *v->parcel_map->parcel, v->map->grid, &v->frame, v->selected_block);
    return FALSE;
}

gboolean onDrawHistogram(GtkWidget *area, cairo_t *cr, LandmapWindow *self) {
    landmap_draw_histogram(cr, self->view->map.get(), &self->view->gdd_range, self->view->threshold,
                           gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
    return FALSE;
}

gboolean onDrawMonths(GtkWidget *area, cairo_t *cr, LandmapWindow *self) {
    drawMonthChart(cr, &self->view->months, gtk_widget_get_allocated_width(area),
                   gtk_widget_get_allocated_height(area));
    return FALSE;
}

map_frame fittedFrame(LandmapWindow *self) {
    const land_map *m = self->view->map.get();
    return landmap_fit(m->grid.width, m->grid.height, gtk_widget_get_allocated_width(self->map_area),
                       gtk_widget_get_allocated_height(self->map_area));
}

void refit(LandmapWindow *self) {
    if (self->view->map == nullptr) return;
    self->view->frame = fittedFrame(self);
    self->view->fitted = true;
    gtk_widget_queue_draw(self->map_area);
}

void zoomBy(LandmapWindow *self, double factor, double x, double y) {
    landmap_view *v = self->view;
    if (v->map == nullptr) return;
    // From a whole land in a few pixels to a cell over half the view.
    double scale = v->frame.scale * factor, most = 0.5 * gtk_widget_get_allocated_width(self->map_area);
    if (scale < fittedFrame(self).scale / 4.0 || scale > most) return;
    v->frame = mapZoom(&v->frame, factor, x, y);
    v->fitted = false;
    gtk_widget_queue_draw(self->map_area);
}

void zoomCentre(LandmapWindow *self, double factor) {
    zoomBy(self, factor, gtk_widget_get_allocated_width(self->map_area) / 2.0,
           gtk_widget_get_allocated_height(self->map_area) / 2.0);
}

void onZoomIn(GtkButton *, LandmapWindow *self) { zoomCentre(self, 1.5); }

void onZoomOut(GtkButton *, LandmapWindow *self) { zoomCentre(self, 1.0 / 1.5); }

void onFit(GtkButton *, LandmapWindow *self) { refit(self); }

void onMapResized(GtkWidget *, GdkRectangle *, LandmapWindow *self) {
    if (self->view->fitted) refit(self);
}

gboolean onScroll(GtkWidget *, GdkEventScroll *event, LandmapWindow *self) {
    double dx = 0, dy = 0;
    if (event->direction == GDK_SCROLL_UP)
        dy = -1;
    else if (event->direction == GDK_SCROLL_DOWN)
        dy = 1;
    else if (event->direction == GDK_SCROLL_SMOOTH)
        gdk_event_get_scroll_deltas(reinterpret_cast<GdkEvent *>(event), &dx, &dy);
    if (dy != 0) zoomBy(self, std::pow(1.25, -dy), event->x, event->y);
    return TRUE;
}

void showSpot(LandmapWindow *self, int col, int row) {
    self->view->hover_col = col;
    self->view->hover_row = row;
    const landmap_view *v = self->view;
    // Over a parcel's map the block is named first; outside every block the
    // readout says so.
    const bool parcel = v->parcel_map != nullptr && v->parcel_map->map == v->map;
    const int block = parcel ? landmap_parcel_block_at(*v->parcel_map, col, row) : 0;
    if (parcel && col >= 0 && block == 0)
        showReadout(self, landmap_parcel_spot(*v->parcel_map, col, row));
    else if (block > 0)
        showReadout(self, v->parcel_map->parcel->blocks.blocks[static_cast<size_t>(block - 1)].name + " · " +
                              landmap_readout_text(v->map.get(), col, row));
    else
        showReadout(self, landmap_readout_text(v->map.get(), col, row));
}

gboolean onPress(GtkWidget *area, GdkEventButton *event, LandmapWindow *self) {
    landmap_view *v = self->view;
    gtk_widget_grab_focus(area);
    if (event->button == GDK_BUTTON_PRIMARY && previewShown(self) &&
        ((event->state & GDK_SHIFT_MASK) != 0 || gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(self->choose_area)) ||
         v->map == nullptr)) {
        v->rubber[0] = v->rubber[2] = event->x;
        v->rubber[1] = v->rubber[3] = event->y;
        return TRUE;
    }
    if (event->button != GDK_BUTTON_PRIMARY || v->map == nullptr) return FALSE;
    v->dragging = true;
    v->drag_x = event->x;
    v->drag_y = event->y;
    v->press_x = static_cast<int>(event->x);
    v->press_y = static_cast<int>(event->y);
    return TRUE;
}

gboolean onRelease(GtkWidget *, GdkEventButton *event, LandmapWindow *self) {
    landmap_view *v = self->view;
    if (event->button == GDK_BUTTON_PRIMARY && v->rubber[0] >= 0) {
        const map_frame f = previewFrame(self);
        const map_window a = landmap_area_of(*v->preview, (v->rubber[0] - f.x) / f.scale, (v->rubber[1] - f.y) / f.scale,
                                             (event->x - f.x) / f.scale, (event->y - f.y) / f.scale);
        v->rubber[0] = -1.0;
        landmap_window_choose_area(self, a.x0, a.y0, a.width, a.height);
        return TRUE;
    }
    if (event->button != GDK_BUTTON_PRIMARY || !v->dragging) return FALSE;
    v->dragging = false;
    // A click, not a drag: select the cell under it.
    if (std::fabs(event->x - v->press_x) <= 3 && std::fabs(event->y - v->press_y) <= 3) {
        int col, row;
        if (mapCellAt(&v->frame, v->map->grid.width, v->map->grid.height, event->x, event->y, &col, &row)) {
            v->selected_col = col;
            v->selected_row = row;
            if (v->selected_block > 0) {
                v->selected_block = 0;
                v->filling_blocks = true;
                landmap_blocks_select(GTK_TREE_VIEW(self->blocks_view), 0);
                v->filling_blocks = false;
            }
            showCell(self);
            gtk_widget_set_sensitive(self->export_months, TRUE);
            gtk_widget_queue_draw(self->map_area);
        }
    }
    return TRUE;
}

gboolean onMotion(GtkWidget *, GdkEventMotion *event, LandmapWindow *self) {
    landmap_view *v = self->view;
    if (v->rubber[0] >= 0) {
        v->rubber[2] = event->x;
        v->rubber[3] = event->y;
        gtk_widget_queue_draw(self->map_area);
        return FALSE;
    }
    if (v->map == nullptr) return FALSE;
    if (v->dragging) {
        v->frame.x += event->x - v->drag_x;
        v->frame.y += event->y - v->drag_y;
        v->drag_x = event->x;
        v->drag_y = event->y;
        v->fitted = false;
        gtk_widget_queue_draw(self->map_area);
    }
    int col = -1, row = -1;
    if (!mapCellAt(&v->frame, v->map->grid.width, v->map->grid.height, event->x, event->y, &col, &row))
        col = row = -1;
    if (col != v->hover_col || row != v->hover_row) showSpot(self, col, row);
    return FALSE;
}

gboolean onLeave(GtkWidget *, GdkEventCrossing *, LandmapWindow *self) {
    if (self->view->hover_col >= 0) showSpot(self, -1, -1);
    return FALSE;
}

// + and − zoom unless the grower is typing in an entry; Escape is the
// window's (windowKeys).
gboolean onKey(GtkWidget *, GdkEventKey *event, LandmapWindow *self) {
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(self));
    if (focus != nullptr && GTK_IS_ENTRY(focus)) return FALSE;
    switch (event->keyval) {
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
        zoomCentre(self, 1.5);
        return TRUE;
    case GDK_KEY_minus:
    case GDK_KEY_KP_Subtract:
        zoomCentre(self, 1.0 / 1.5);
        return TRUE;
    default:
        return FALSE;
    }
}

// --- exports and closing -------------------------------------------------------------

void geotiffDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_geotiff_export *e = static_cast<const landmap_geotiff_export *>(data);
    gtk_widget_set_sensitive(self->export_tif, self->view->map != nullptr);
    showExportOutcome(self->status, "GeoTIFF", e->path.c_str(), e->ok, e->error.c_str());
}

void freeGeoTiff(gpointer data) { delete static_cast<landmap_geotiff_export *>(data); }

const window_job_calls kGeoTiffCalls = {landmap_geotiff_work, nullptr, geotiffDone, freeGeoTiff, nullptr};

// The GeoTIFF of the map shown, on the worker: the window stays live, and
// closing it before the file is closed stops it with no file left behind.
void startGeoTiff(LandmapWindow *self, const char *path) {
    if (windowJobRunning(&self->geotiff) || self->view->map == nullptr) return;
    landmap_geotiff_export *e = new landmap_geotiff_export();
    e->map = self->view->map;
    e->path = path;
    gtk_widget_set_sensitive(self->export_tif, FALSE);
    showStatus(self->status, "Writing the GeoTIFF…", false);
    windowJobStart(&self->geotiff, GTK_WIDGET(self), e, &kGeoTiffCalls, &e->control.cancel, nullptr);
}

void exportChosen(gpointer data, int kind, const char *path) {
    landmap_window_export_to(LANDMAP_WINDOW(data), static_cast<landmap_export_kind>(kind), path);
}

void chooseExport(LandmapWindow *self, landmap_export_kind kind) {
    static const char *const titles[] = {"Export GeoTIFF", "Save map", "Export area table", "Export cell months",
                                         "Export blocks", "Save report"};
    static const char *const names[] = {"land-map.tif", "land-map.png", "land-areas.csv", "cell-months.csv",
                                        "blocks.csv", "site-report.pdf"};
    static const char *const filters[] = {"GeoTIFF", "PNG, SVG or PDF", "CSV table", "CSV table",
                                          "CSV table or GeoPackage", "PDF"};
    static const std::vector<std::string> endings[] = {{"tif", "tiff"}, {"png", "svg", "pdf"}, {"csv"}, {"csv"},
                                                       {"csv", "gpkg"}, {"pdf"}};
    if (self->view->map == nullptr) return;
    ::chooseExport(GTK_WINDOW(self), &self->chooser, titles[kind], names[kind], filters[kind], endings[kind],
                   exportChosen, self, kind);
}

void onExportGeoTiff(GtkButton *, LandmapWindow *self) { chooseExport(self, LANDMAP_GEOTIFF); }

void onSaveMap(GtkButton *, LandmapWindow *self) { chooseExport(self, LANDMAP_SAVED_MAP); }

void onExportAreas(GtkButton *, LandmapWindow *self) { chooseExport(self, LANDMAP_AREA_TABLE); }

void onExportMonths(GtkButton *, LandmapWindow *self) { chooseExport(self, LANDMAP_CELL_MONTHS); }

void onExportBlocks(GtkButton *, LandmapWindow *self) {
    if (self->view->parcel_map != nullptr) chooseExport(self, LANDMAP_BLOCKS);
}

void blocksDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_blocks_export *e = static_cast<const landmap_blocks_export *>(data);
    gtk_widget_set_sensitive(self->export_blocks, self->view->parcel_map != nullptr);
    showExportOutcome(self->status, "Blocks", e->path.c_str(), e->ok, e->error.c_str());
}

void freeBlocks(gpointer data) { delete static_cast<landmap_blocks_export *>(data); }

const window_job_calls kBlocksCalls = {landmap_blocks_work, nullptr, blocksDone, freeBlocks, nullptr};

// The block file at the threshold in force, written on the worker.
void startBlocksExport(LandmapWindow *self, const char *path) {
    landmap_view *v = self->view;
    if (windowJobRunning(&self->blocks_export) || v->parcel_map == nullptr) return;
    landmap_blocks_export *e = new landmap_blocks_export();
    e->map = v->parcel_map;
    e->threshold = v->threshold;
    e->dem_name = v->land.name;
    e->path = path;
    gtk_widget_set_sensitive(self->export_blocks, FALSE);
    showStatus(self->status, "Writing the blocks…", false);
    windowJobStart(&self->blocks_export, GTK_WIDGET(self), e, &kBlocksCalls, nullptr, nullptr);
}

void reportDone(GtkWidget *window, gpointer data) {
    LandmapWindow *self = LANDMAP_WINDOW(window);
    const landmap_report_export *e = static_cast<const landmap_report_export *>(data);
    gtk_widget_set_sensitive(self->save_report, self->view->map != nullptr);
    showExportOutcome(self->status, "Report", e->path.c_str(), e->ok, e->error.c_str());
}

void freeReport(gpointer data) { delete static_cast<landmap_report_export *>(data); }

const window_job_calls kReportCalls = {landmap_report_work, nullptr, reportDone, freeReport, nullptr};

// The site report of the map shown, at the threshold in force, with the
// parcel's blocks as the table shows them; drawn and written on the worker.
void startReport(LandmapWindow *self, const char *path) {
    landmap_view *v = self->view;
    if (windowJobRunning(&self->report) || v->map == nullptr) return;
    landmap_report_export *e = new landmap_report_export();
    e->map = v->map;
    e->path = path;
    e->dem_path = v->land.path;
    e->threshold = v->threshold;
    if (v->parcel_map != nullptr && v->parcel_map->map == v->map && !v->figures.empty()) {
        e->outline = std::shared_ptr<const parcel>(v->parcel_map->parcel, &v->parcel_map->parcel->blocks);
        e->figures = v->figures;
    }
    e->paper = landmap_desktop_paper();
    gtk_widget_set_sensitive(self->save_report, FALSE);
    showStatus(self->status, "Writing the report…", false);
    windowJobStart(&self->report, GTK_WIDGET(self), e, &kReportCalls, nullptr, nullptr);
}

void onSaveReport(GtkButton *, LandmapWindow *self) { chooseExport(self, LANDMAP_REPORT); }

void onClose(GtkButton *, LandmapWindow *self) { gtk_widget_destroy(GTK_WIDGET(self)); }

// The stored site, marked on every map shown: no Save can happen while this
// window is open (one window at a time).
void readStoredSite(landmap_view *v) {
    readLocale();
    setCalculatorParameters();
    if (haveprefs == 1) {
        // The calculators take a longitude of 0 or more as west.
        v->site_known = true;
        v->site_latitude = active_latitude;
        v->site_longitude = active_longitude >= 0.0f ? -static_cast<double>(active_longitude) : active_longitude;
    }
}

}  // namespace

static void landmap_window_init(LandmapWindow *self) {
    gtk_widget_init_template(GTK_WIDGET(self));
    self->view = new landmap_view();
    self->view->example = landmap_example_land();
    findGddFalls(&self->view->falls);
    readStoredSite(self->view);
    // The explorer's season defaults: 1 April to 31 October of this year.
    const season_entries season = seasonEntries(self);
    showSeasonDefaults(&season);
    showInt(self->directions, 32);
    showInt(self->distance, 5000);
    describeWidget(self->target, "Degree-day target",
                   "Degree days (°C above 10 °C) a cell's season should reach: the map then gives the date each cell "
                   "reaches them. Leave it empty for no target.");
    describeWidget(self->presets, "Threshold presets: the bounds between the Winkler regions",
                   "Set the threshold to a bound between two Winkler regions (Jones et al. 2010; for a map of "
                   "1 April to 31 October)");
    const std::string regionsTip = landmap_region_tooltip();
    gtk_widget_set_tooltip_text(self->regions, regionsTip.c_str());
    landmap_presets_attach(self->presets, presetChosen, self);
    offerColourings(self);
    mapButtons(self, false);
    // Texts that change as the pointer moves or a cell is chosen keep their
    // height, so the map does not move under the pointer.
    holdLines(self->readout, 2);
    holdLines(self->falling_note, 2);
    // Escape closes; Enter stays with the entry it is typed in (the threshold).
    windowKeys(GTK_WIDGET(self), self->close, nullptr, 0);
    landmap_blocks_setup(GTK_TREE_VIEW(self->blocks_view));
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(self->blocks_view)), "changed",
                     G_CALLBACK(onBlockSelected), self);
    gtk_widget_set_sensitive(self->parcel_close, FALSE);
    gtk_drag_dest_set(GTK_WIDGET(self), GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_dest_add_uri_targets(GTK_WIDGET(self));
    showCell(self);
}

static void landmap_window_dispose(GObject *object) {
    LandmapWindow *self = LANDMAP_WINDOW(object);
    windowJobCancel(&self->run);
    windowJobCancel(&self->geotiff);
    windowJobCancel(&self->survey);
    windowJobCancel(&self->parcel_read);
    windowJobCancel(&self->blocks_export);
    windowJobCancel(&self->report);
    windowJobCancel(&self->anchoring);
    closeChooser(&self->chooser);
    if (self->view != nullptr) landmap_image_free(&self->view->image);
    if (landmap_open == self) landmap_open = nullptr;
    G_OBJECT_CLASS(landmap_window_parent_class)->dispose(object);
}

static void landmap_window_finalize(GObject *object) {
    delete LANDMAP_WINDOW(object)->view;
    G_OBJECT_CLASS(landmap_window_parent_class)->finalize(object);
}

static void landmap_window_class_init(LandmapWindowClass *klass) {
    G_OBJECT_CLASS(klass)->dispose = landmap_window_dispose;
    G_OBJECT_CLASS(klass)->finalize = landmap_window_finalize;
    GtkWidgetClass *widget = GTK_WIDGET_CLASS(klass);
    registerWindowResources();
    gtk_widget_class_set_template_from_resource(widget, "/org/veranta/landmap.ui");
    // Each child's id in the template is "landmap_" and its name here.
#define LANDMAP_CHILD(member) \
    gtk_widget_class_bind_template_child_full(widget, "landmap_" #member, FALSE, G_STRUCT_OFFSET(LandmapWindow, member))
    LANDMAP_CHILD(open);
    LANDMAP_CHILD(example);
    LANDMAP_CHILD(land_info);
    LANDMAP_CHILD(refusal);
    LANDMAP_CHILD(year);
    LANDMAP_CHILD(startday);
    LANDMAP_CHILD(stopday);
    LANDMAP_CHILD(startmonth);
    LANDMAP_CHILD(stopmonth);
    LANDMAP_CHILD(year_msg);
    LANDMAP_CHILD(start_msg);
    LANDMAP_CHILD(stop_msg);
    LANDMAP_CHILD(shade);
    LANDMAP_CHILD(directions);
    LANDMAP_CHILD(distance);
    LANDMAP_CHILD(directions_msg);
    LANDMAP_CHILD(distance_msg);
    LANDMAP_CHILD(target);
    LANDMAP_CHILD(target_msg);
    LANDMAP_CHILD(compute);
    LANDMAP_CHILD(progress);
    LANDMAP_CHILD(threshold_scale);
    LANDMAP_CHILD(threshold_entry);
    LANDMAP_CHILD(presets);
    LANDMAP_CHILD(threshold_adj);
    LANDMAP_CHILD(answer);
    LANDMAP_CHILD(regions);
    LANDMAP_CHILD(histogram);
    LANDMAP_CHILD(banner);
    LANDMAP_CHILD(colour_gdd);
    LANDMAP_CHILD(colour_irr);
    LANDMAP_CHILD(colour_region);
    LANDMAP_CHILD(colour_date);
    LANDMAP_CHILD(zoom_in);
    LANDMAP_CHILD(zoom_out);
    LANDMAP_CHILD(fit);
    LANDMAP_CHILD(map_area);
    LANDMAP_CHILD(readout);
    LANDMAP_CHILD(selected);
    LANDMAP_CHILD(month_chart);
    LANDMAP_CHILD(falling_note);
    LANDMAP_CHILD(months_store);
    LANDMAP_CHILD(export_tif);
    LANDMAP_CHILD(save_map);
    LANDMAP_CHILD(save_report);
    LANDMAP_CHILD(anchor);
    LANDMAP_CHILD(anchor_site);
    LANDMAP_CHILD(anchor_note);
    LANDMAP_CHILD(export_areas);
    LANDMAP_CHILD(export_months);
    LANDMAP_CHILD(status);
    LANDMAP_CHILD(close);
    LANDMAP_CHILD(parcel_open);
    LANDMAP_CHILD(parcel_close);
    LANDMAP_CHILD(parcel_info);
    LANDMAP_CHILD(blocks_view);
    LANDMAP_CHILD(blocks_note);
    LANDMAP_CHILD(export_blocks);
    LANDMAP_CHILD(choose_area);
    LANDMAP_CHILD(get_elevation);
    LANDMAP_CHILD(credit);
#undef LANDMAP_CHILD
    gtk_widget_class_bind_template_callback(widget, onKey);
    gtk_widget_class_bind_template_callback(widget, onDrop);
    gtk_widget_class_bind_template_callback(widget, onOpen);
    gtk_widget_class_bind_template_callback(widget, onExample);
    gtk_widget_class_bind_template_callback(widget, onCompute);
    gtk_widget_class_bind_template_callback(widget, onColourToggled);
    gtk_widget_class_bind_template_callback(widget, onThresholdMoved);
    gtk_widget_class_bind_template_callback(widget, onThresholdActivate);
    gtk_widget_class_bind_template_callback(widget, onThresholdFocusOut);
    gtk_widget_class_bind_template_callback(widget, onDrawMap);
    gtk_widget_class_bind_template_callback(widget, onDrawHistogram);
    gtk_widget_class_bind_template_callback(widget, onDrawMonths);
    gtk_widget_class_bind_template_callback(widget, onMapResized);
    gtk_widget_class_bind_template_callback(widget, onScroll);
    gtk_widget_class_bind_template_callback(widget, onPress);
    gtk_widget_class_bind_template_callback(widget, onRelease);
    gtk_widget_class_bind_template_callback(widget, onMotion);
    gtk_widget_class_bind_template_callback(widget, onLeave);
    gtk_widget_class_bind_template_callback(widget, onZoomIn);
    gtk_widget_class_bind_template_callback(widget, onZoomOut);
    gtk_widget_class_bind_template_callback(widget, onFit);
    gtk_widget_class_bind_template_callback(widget, onExportGeoTiff);
    gtk_widget_class_bind_template_callback(widget, onSaveMap);
    gtk_widget_class_bind_template_callback(widget, onSaveReport);
    gtk_widget_class_bind_template_callback(widget, onAnchor);
    gtk_widget_class_bind_template_callback(widget, onExportAreas);
    gtk_widget_class_bind_template_callback(widget, onExportMonths);
    gtk_widget_class_bind_template_callback(widget, onClose);
    gtk_widget_class_bind_template_callback(widget, onOpenParcel);
    gtk_widget_class_bind_template_callback(widget, onCloseParcel);
    gtk_widget_class_bind_template_callback(widget, onExportBlocks);
    gtk_widget_class_bind_template_callback(widget, onChooseAreaToggled);
    gtk_widget_class_bind_template_callback(widget, onGetElevation);
}

LandmapWindow *landmap_window_open(GtkWindow *parent) {
    loadWindowStyle("/org/veranta/landmap.css");
    LandmapWindow *self = LANDMAP_WINDOW(g_object_new(LANDMAP_TYPE_WINDOW, nullptr));
    if (parent != nullptr) gtk_window_set_transient_for(GTK_WINDOW(self), parent);
    landmap_open = self;
    gtk_widget_show(GTK_WIDGET(self));
    gtk_widget_grab_focus(self->example);
    return self;
}

void landmap_window_open_land(LandmapWindow *self, const char *path) {
    showStatus(self->status, "", false);
    // A newer file replaces one whose elevations are being read.
    windowJobCancel(&self->survey);
    const landmap_land land = landmap_land_open(path, self->view->example, landmap_memory_bytes());
    if (!land.usable && land.too_large) {
        // Shown coarsely, an area of it then mapped.
        landmap_preview_read *read = new landmap_preview_read();
        read->land = land;
        read->memory_bytes = landmap_memory_bytes();
        gchar *text = g_strdup_printf("Reading a coarse picture of %s…", land.name.c_str());
        showStatus(self->status, text, false);
        g_free(text);
        windowJobStart(&self->survey, GTK_WIDGET(self), read, &kPreviewCalls, &read->cancel, nullptr);
        return;
    }
    if (!land.usable) {
        refuseLand(self, land);
        return;
    }
    // Its cells are read on the worker; until they are, the land open
    // before stays, and so does its map.
    landmap_survey *survey = new landmap_survey();
    survey->land = land;
    gchar *text = g_strdup_printf("Reading the elevations of %s…", land.name.c_str());
    showStatus(self->status, text, false);
    g_free(text);
    windowJobStart(&self->survey, GTK_WIDGET(self), survey, &kSurveyCalls, &survey->cancel, nullptr);
}

std::shared_ptr<const land_map> landmap_window_get_map(LandmapWindow *self) { return self->view->map; }

bool landmap_window_land_usable(LandmapWindow *self) { return self->view->land.usable; }

map_frame landmap_window_get_frame(LandmapWindow *self) { return self->view->frame; }

bool landmap_window_get_selected(LandmapWindow *self, int *col, int *row) {
    *col = self->view->selected_col;
    *row = self->view->selected_row;
    return *col >= 0;
}

float landmap_window_get_threshold(LandmapWindow *self) { return self->view->threshold; }

bool landmap_window_is_computing(LandmapWindow *self) { return windowJobRunning(&self->run); }

bool landmap_window_is_exporting(LandmapWindow *self) {
    return windowJobRunning(&self->geotiff) || windowJobRunning(&self->blocks_export) ||
           windowJobRunning(&self->report);
}

bool landmap_window_is_opening(LandmapWindow *self) {
    return windowJobRunning(&self->survey) || windowJobRunning(&self->parcel_read);
}

void landmap_window_open_parcel(LandmapWindow *self, const char *path) {
    showStatus(self->status, "", false);
    startParcelRead(self, path);
}

void landmap_window_close_parcel(LandmapWindow *self) { closeParcel(self); }

bool landmap_window_choose_area(LandmapWindow *self, int x0, int y0, int width, int height) {
    landmap_view *v = self->view;
    if (v->preview == nullptr) return false;
    const map_window a{x0, y0, width, height};
    std::string why;
    const bool ok = landmap_area_fits(*v->preview, a, landmap_memory_bytes(), &why);
    if (ok) {
        v->area = a;
        const std::string said = "Area chosen: " + landmap_area_said(*v->preview, a) +
                                 ", at full resolution; Compute maps it.";
        showStatus(self->status, said.c_str(), false);
    } else {
        showStatus(self->status, why.c_str(), true);
    }
    gtk_widget_queue_draw(self->map_area);
    return ok;
}

bool landmap_window_is_coarse(LandmapWindow *self) { return self->view->preview != nullptr; }

std::shared_ptr<const landmap_parcel_map> landmap_window_get_parcel_map(LandmapWindow *self) {
    return self->view->parcel_map;
}

std::vector<block_figures> landmap_window_get_blocks(LandmapWindow *self) { return self->view->figures; }

int landmap_window_get_selected_block(LandmapWindow *self) { return self->view->selected_block; }

bool landmap_window_export_to(LandmapWindow *self, landmap_export_kind kind, const char *path) {
    static const char *const what[] = {"GeoTIFF", "Map", "Area table", "Cell months", "Blocks", "Report"};
    landmap_view *v = self->view;
    GError *error = nullptr;
    bool ok = false;
    if (v->map == nullptr) {
        g_set_error_literal(&error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no map yet");
    } else if (kind == LANDMAP_GEOTIFF) {
        startGeoTiff(self, path);
        return true;
    } else if (kind == LANDMAP_REPORT) {
        startReport(self, path);
        return true;
    } else if (kind == LANDMAP_BLOCKS) {
        if (v->parcel_map == nullptr) {
            g_set_error_literal(&error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no parcel map");
        } else {
            startBlocksExport(self, path);
            return true;
        }
    } else if (kind == LANDMAP_SAVED_MAP) {
        const landmap_scene s = scene(self);
        ok = landmap_save_map_as(&s, landmap_caption(*v->map, v->land.path, v->example),
                                 answerText(*v->map, v->threshold), v->credit, path, &error);
    } else if (kind == LANDMAP_AREA_TABLE) {
        ok = landmap_export_areas(v->map.get(), v->threshold, v->land.name, path, &error);
    } else {
        ok = landmap_export_months(v->map.get(), v->selected_col, v->selected_row, v->land.name, path, &error);
    }
    showExportOutcome(self->status, what[kind], path, ok, error != nullptr ? error->message : nullptr);
    if (error != nullptr) g_error_free(error);
    return ok;
}

bool landmap_window_anchor(LandmapWindow *self, const char *path) {
    landmap_view *v = self->view;
    if (v->map == nullptr || windowJobRunning(&self->anchoring)) return false;
    // Anchored from the estimate itself, never twice over.
    if (v->map->options.anchor.anchored()) {
        showStatus(self->status, "The map is anchored already: compute again for the estimate alone, then anchor it.",
                   true);
        return false;
    }
    landmap_anchor_run *run = new landmap_anchor_run();
    run->map = v->map;
    run->station_path = path;
    const std::string site = gtk_entry_get_text(GTK_ENTRY(self->anchor_site));
    if (site.find_first_not_of(" \t") != std::string::npos) {
        std::string text = site;
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        if (!parseSiteText(text, &run->site)) {
            delete run;
            showStatus(self->status,
                       "The station's site is latitude, longitude (east positive) and elevation in metres, such as "
                       "44.63, -123.19, 70.",
                       true);
            return false;
        }
        run->site_given = true;
    }
    gtk_widget_set_sensitive(self->anchor, FALSE);
    showStatus(self->status, "Reading the station's records…", false);
    windowJobStart(&self->anchoring, GTK_WIDGET(self), run, &kAnchorCalls, &run->cancel, nullptr);
    return true;
}

bool landmap_window_is_anchoring(LandmapWindow *self) { return windowJobRunning(&self->anchoring); }

bool landmap_window_is_busy(LandmapWindow *self) {
    return landmap_window_is_computing(self) || landmap_window_is_exporting(self) || landmap_window_is_opening(self) ||
           landmap_window_is_anchoring(self);
}
