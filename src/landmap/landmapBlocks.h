// A parcel's blocks in the map window: the block table (a tree view whose
// every column names its unit, sortable), a block's mean months for the
// month table and chart, the outline of the blocks drawn over the map with
// their names, and the block file written on the worker.
#ifndef VERANTA_LANDMAP_LANDMAPBLOCKS_H
#define VERANTA_LANDMAP_LANDMAPBLOCKS_H

#include "landmap/landmapParcel.h"
#include "terrain/mapFigures.h"
#include "ui/monthRows.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

// The table's columns, in the store's order; the block's number is kept
// for the selection, the season's year for the target's date. The Winkler
// columns show only for the regions' own season, the target's only with a
// target.
enum landmap_block_column {
    LANDMAP_BLOCK_NUMBER,
    LANDMAP_BLOCK_NAME,
    LANDMAP_BLOCK_HECTARES,
    LANDMAP_BLOCK_REACHING_HA,
    LANDMAP_BLOCK_REACHING_SHARE,
    LANDMAP_BLOCK_GDD_MIN,
    LANDMAP_BLOCK_GDD_MEAN,
    LANDMAP_BLOCK_GDD_MAX,
    LANDMAP_BLOCK_IRRADIATION,
    LANDMAP_BLOCK_OUTSIDE,
    LANDMAP_BLOCK_REGION,                            // int: a winkler_region, -1 none
    LANDMAP_BLOCK_REGION_HA,                         // the first of WINKLER_REGIONS, coolest first
    LANDMAP_BLOCK_TARGET_DAY = LANDMAP_BLOCK_REGION_HA + WINKLER_REGIONS,   // int: target_day_of_mean
    LANDMAP_BLOCK_REACHING_TARGET,
    LANDMAP_BLOCK_YEAR,                              // int, not shown
    LANDMAP_BLOCK_COLUMNS
};

// Gives view its store and its columns, each header with its unit and a
// tooltip saying what it is, each sortable (the target's date by its day,
// unreached after every date, unknown last); the view is named for screen
// readers.
GtkListStore *landmap_blocks_setup(GtkTreeView *view);
// One row per block of figures, in file order, for a map of season; the
// Winkler and target columns of view shown as the figures hold them.
void landmap_blocks_fill(GtkTreeView *view, const std::vector<block_figures> &figures, const season_range &season);
// The text a cell of the table shows (column: a landmap_block_column shown,
// row from 0 in the view's order); empty for no such cell.
std::string landmap_blocks_text(GtkTreeView *view, int column, int row);
// The view's column showing a landmap_block_column; null for none.
GtkTreeViewColumn *landmap_blocks_column(GtkTreeView *view, int column);
// The number of the block selected in view, 0 when none.
int landmap_blocks_selected(GtkTreeView *view);
// Selects the row of block (0: none).
void landmap_blocks_select(GtkTreeView *view, int block);

// A block's mean months as the month table and chart show them.
month_rows landmap_block_months(const block_figures &figures, const season_range &season);

// The outline of every block over the map (grid: the map's; frame: how it
// lies on screen), each named at its middle, the selected block (0: none)
// drawn heavier; light and dark lines so that it reads over any colour.
void landmap_draw_parcel(cairo_t *cr, const landmap_parcel &p, const land_grid &grid, const map_frame *frame,
                         int selected);

// The block file of a parcel's map as a window's job.
struct landmap_blocks_export {
    std::shared_ptr<const landmap_parcel_map> map;
    float threshold = 0.0f;
    std::string dem_name;
    std::string path;
    bool ok = false;
    std::string error;
};
void landmap_blocks_work(gpointer data);

#endif
