// The block table, a block's months, the blocks drawn over the map and the
// block file, for the map window.
#include "landmap/landmapBlocks.h"

#include "model/degreeDayTarget.h"
#include "terrain/mapTexts.h"
#include "ui/chartText.h"

#include <cmath>

namespace {

struct block_column {
    const char *title;        // with its unit
    int decimals;             // -1: text
    double factor;            // shown as value × factor (shares as %)
    const char *tooltip;      // what the column is
};

// The columns but the hectares of each Winkler region, which are made from
// the regions' names.
const block_column kColumns[LANDMAP_BLOCK_COLUMNS] = {
    {nullptr, -1, 1.0, nullptr},
    {"Block", -1, 1.0, "The block's name in the outline file."},
    {"Area (ha)", 2, 1.0, "Hectares of the map's cells whose centre lies inside the block."},
    {"Reaching (ha)", 2, 1.0,
     "Hectares of the block's cells with data whose season degree days reach the threshold."},
    {"Reaching (%)", 1, 100.0, "Share of the block's hectares with data that reach the threshold, in percent."},
    {"Min (degree days)", 0, 1.0,
     "The least season degree days (°C above 10 °C, from clear-sky irradiation) of the block's cells with data."},
    {"Mean (degree days)", 0, 1.0,
     "The mean season degree days (°C above 10 °C, from clear-sky irradiation) over the block's cells with data."},
    {"Max (degree days)", 0, 1.0,
     "The most season degree days (°C above 10 °C, from clear-sky irradiation) of the block's cells with data."},
    {"Irradiation (MJ/m², mean)", 0, 1.0,
     "The season's clear-sky direct-beam irradiation, MJ/m², mean over the block's cells with data."},
    {"Outside calibration (%)", 1, 100.0,
     "Share of the block's cells with data outside the region the degree-day formulas were fitted on, in "
     "percent: there the degree days are less sure."},
    {"Winkler region", -1, 1.0, nullptr},
};

// How a column of the store shows: decimals and factor (text: -1).
block_column shownAs(int column) {
    if (column >= LANDMAP_BLOCK_REGION_HA && column < LANDMAP_BLOCK_REGION_HA + WINKLER_REGIONS)
        return {nullptr, 2, 1.0, nullptr};
    if (column == LANDMAP_BLOCK_TARGET_DAY) return {"Target reached (mean)", -1, 1.0, nullptr};
    if (column == LANDMAP_BLOCK_REACHING_TARGET) return {"Reaching target (%)", 1, 100.0, nullptr};
    return kColumns[column];
}

std::string titleOf(int column) {
    if (column >= LANDMAP_BLOCK_REGION_HA && column < LANDMAP_BLOCK_REGION_HA + WINKLER_REGIONS)
        return std::string("Region ") + winklerClass(column - LANDMAP_BLOCK_REGION_HA)->name + " (ha)";
    return shownAs(column).title;
}

// What a target column is; with the target when the map has one.
std::string targetTooltip(int column, const std::string &target) {
    const std::string the = target.empty() ? "the target" : "the target of " + target + " degree days";
    if (column == LANDMAP_BLOCK_TARGET_DAY)
        return "The date on which the mean over the block's cells of their running degree days, each counted from "
               "the season's first day, first reaches " + the + "; \"not reached in this season\" when the season "
               "ends first; \"–\" when the map does not hold the block's days.";
    return "Share of the block's cells with data whose own running degree days reach " + the +
           " within the season, in percent.";
}

std::string tooltipOf(int column) {
    if (column == LANDMAP_BLOCK_REGION)
        return std::string("The Winkler region of the block's mean season degree days. ") + winklerSourceText() + " " +
               winklerNoteText();
    if (column >= LANDMAP_BLOCK_REGION_HA && column < LANDMAP_BLOCK_REGION_HA + WINKLER_REGIONS) {
        const int r = column - LANDMAP_BLOCK_REGION_HA;
        return std::string("Hectares of the block's cells with data whose season degree days (°C above 10 °C, "
                           "1 April–31 October) lie in Winkler region ") +
               winklerClass(r)->name + ": " + winklerBoundsText(r) + " degree days.";
    }
    if (column == LANDMAP_BLOCK_TARGET_DAY || column == LANDMAP_BLOCK_REACHING_TARGET) return targetTooltip(column, "");
    return kColumns[column].tooltip;
}

void showNumber(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model, GtkTreeIter *iter, gpointer data) {
    const int column = GPOINTER_TO_INT(data);
    double value = 0.0;
    gtk_tree_model_get(model, iter, column, &value, -1);
    const block_column shown = shownAs(column);
    const std::string text = std::isnan(value) ? "–" : decimalString(value * shown.factor, shown.decimals);
    g_object_set(cell, "text", text.c_str(), nullptr);
}

void showRegion(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model, GtkTreeIter *iter, gpointer) {
    int region = -1;
    gtk_tree_model_get(model, iter, LANDMAP_BLOCK_REGION, &region, -1);
    const winkler_class *w = winklerClass(region);
    g_object_set(cell, "text", w != nullptr ? w->name : "–", nullptr);
}

void showTargetDay(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model, GtkTreeIter *iter, gpointer) {
    int day = -1, year = 0;
    gtk_tree_model_get(model, iter, LANDMAP_BLOCK_TARGET_DAY, &day, LANDMAP_BLOCK_YEAR, &year, -1);
    const std::string date = day >= 0 ? targetDateText(year, day) : "";
    g_object_set(cell, "text", date.empty() ? "–" : date.c_str(), nullptr);
}

// Dates in their order, then "not reached" (0), then unknown (-1) last
// whichever way the column is sorted.
gint compareTargetDays(GtkTreeModel *model, GtkTreeIter *a, GtkTreeIter *b, gpointer) {
    int da = -1, db = -1;
    gtk_tree_model_get(model, a, LANDMAP_BLOCK_TARGET_DAY, &da, -1);
    gtk_tree_model_get(model, b, LANDMAP_BLOCK_TARGET_DAY, &db, -1);
    if ((da < 0) != (db < 0)) {
        gint id = 0;
        GtkSortType order = GTK_SORT_ASCENDING;
        gtk_tree_sortable_get_sort_column_id(GTK_TREE_SORTABLE(model), &id, &order);
        // GTK turns the answer round for a descending sort.
        return (da < 0 ? 1 : -1) * (order == GTK_SORT_DESCENDING ? -1 : 1);
    }
    auto key = [](int day) { return day > 0 ? day : 1000; };
    return (key(da) > key(db)) - (key(da) < key(db));
}

bool regionColumn(int column) {
    return column == LANDMAP_BLOCK_REGION ||
           (column >= LANDMAP_BLOCK_REGION_HA && column < LANDMAP_BLOCK_REGION_HA + WINKLER_REGIONS);
}

bool targetColumn(int column) { return column == LANDMAP_BLOCK_TARGET_DAY || column == LANDMAP_BLOCK_REACHING_TARGET; }

void outlinePath(cairo_t *cr, const parcel_block &b, const land_grid &g, const map_frame *f) {
    const double *t = g.transform;
    for (const parcel_polygon &poly : b.polygons)
        for (const parcel_ring &ring : poly.rings) {
            for (size_t i = 0; i < ring.size(); i++) {
                const double col = (ring[i].x - t[0]) / t[1], row = (ring[i].y - t[3]) / t[5];
                const double x = f->x + col * f->scale, y = f->y + row * f->scale;
                if (i == 0)
                    cairo_move_to(cr, x, y);
                else
                    cairo_line_to(cr, x, y);
            }
            cairo_close_path(cr);
        }
}

// The middle of a block's bounding box on screen, where its name goes.
void middleOf(const parcel_block &b, const land_grid &g, const map_frame *f, double *x, double *y) {
    double lo_x = INFINITY, hi_x = -INFINITY, lo_y = INFINITY, hi_y = -INFINITY;
    for (const parcel_polygon &poly : b.polygons)
        for (const parcel_point &p : poly.rings.empty() ? parcel_ring{} : poly.rings[0]) {
            lo_x = std::fmin(lo_x, p.x), hi_x = std::fmax(hi_x, p.x);
            lo_y = std::fmin(lo_y, p.y), hi_y = std::fmax(hi_y, p.y);
        }
    const double *t = g.transform;
    *x = f->x + ((lo_x + hi_x) / 2.0 - t[0]) / t[1] * f->scale;
    *y = f->y + ((lo_y + hi_y) / 2.0 - t[3]) / t[5] * f->scale;
}

}  // namespace

GtkListStore *landmap_blocks_setup(GtkTreeView *view) {
    GType types[LANDMAP_BLOCK_COLUMNS];
    for (int c = 0; c < LANDMAP_BLOCK_COLUMNS; c++) types[c] = G_TYPE_DOUBLE;
    types[LANDMAP_BLOCK_NUMBER] = types[LANDMAP_BLOCK_REGION] = types[LANDMAP_BLOCK_TARGET_DAY] =
        types[LANDMAP_BLOCK_YEAR] = G_TYPE_INT;
    types[LANDMAP_BLOCK_NAME] = G_TYPE_STRING;
    GtkListStore *store = gtk_list_store_newv(LANDMAP_BLOCK_COLUMNS, types);
    gtk_tree_sortable_set_sort_func(GTK_TREE_SORTABLE(store), LANDMAP_BLOCK_TARGET_DAY, compareTargetDays, nullptr,
                                    nullptr);
    gtk_tree_view_set_model(view, GTK_TREE_MODEL(store));
    for (int c = LANDMAP_BLOCK_NAME; c < LANDMAP_BLOCK_YEAR; c++) {
        GtkCellRenderer *cell = gtk_cell_renderer_text_new();
        GtkTreeViewColumn *column = gtk_tree_view_column_new();
        const std::string title = titleOf(c);
        gtk_tree_view_column_set_title(column, title.c_str());
        // A header of our own, for its tooltip.
        GtkWidget *header = gtk_label_new(title.c_str());
        gtk_widget_set_tooltip_text(header, tooltipOf(c).c_str());
        gtk_widget_show(header);
        gtk_tree_view_column_set_widget(column, header);
        gtk_tree_view_column_pack_start(column, cell, TRUE);
        if (c == LANDMAP_BLOCK_NAME) {
            gtk_tree_view_column_add_attribute(column, cell, "text", c);
        } else if (c == LANDMAP_BLOCK_REGION) {
            gtk_tree_view_column_set_cell_data_func(column, cell, showRegion, nullptr, nullptr);
        } else if (c == LANDMAP_BLOCK_TARGET_DAY) {
            g_object_set(cell, "xalign", 1.0, nullptr);
            gtk_tree_view_column_set_cell_data_func(column, cell, showTargetDay, nullptr, nullptr);
        } else {
            g_object_set(cell, "xalign", 1.0, nullptr);
            gtk_tree_view_column_set_cell_data_func(column, cell, showNumber, GINT_TO_POINTER(c), nullptr);
        }
        gtk_tree_view_column_set_sort_column_id(column, c);
        gtk_tree_view_column_set_resizable(column, TRUE);
        // Shown once a map's figures say they have a meaning.
        gtk_tree_view_column_set_visible(column, !regionColumn(c) && !targetColumn(c));
        gtk_tree_view_append_column(view, column);
    }
    gtk_tree_view_set_search_column(view, LANDMAP_BLOCK_NAME);
    g_object_unref(store);   // the view keeps it
    return store;
}

void landmap_blocks_fill(GtkTreeView *view, const std::vector<block_figures> &figures, const season_range &season) {
    GtkListStore *store = GTK_LIST_STORE(gtk_tree_view_get_model(view));
    gtk_list_store_clear(store);
    for (const block_figures &f : figures) {
        const bool data = f.hectares_with_data > 0;
        GtkTreeIter it;
        gtk_list_store_append(store, &it);
        gtk_list_store_set(store, &it, LANDMAP_BLOCK_NUMBER, f.block, LANDMAP_BLOCK_NAME, f.name.c_str(),
                           LANDMAP_BLOCK_HECTARES, f.hectares, LANDMAP_BLOCK_REACHING_HA, f.hectares_reaching,
                           LANDMAP_BLOCK_REACHING_SHARE, data ? f.share_reaching : NAN,
                           LANDMAP_BLOCK_GDD_MIN, f.gdd_min, LANDMAP_BLOCK_GDD_MEAN, f.gdd_mean,
                           LANDMAP_BLOCK_GDD_MAX, f.gdd_max, LANDMAP_BLOCK_IRRADIATION, f.irradiation_mean_mj_m2,
                           LANDMAP_BLOCK_OUTSIDE, f.share_outside_calibration,
                           LANDMAP_BLOCK_REGION, f.winkler_season ? f.winkler_region : -1,
                           LANDMAP_BLOCK_TARGET_DAY, f.has_target ? f.target_day_of_mean : -1,
                           LANDMAP_BLOCK_REACHING_TARGET, f.has_target && data ? f.share_reaching_target : NAN,
                           LANDMAP_BLOCK_YEAR, season.year, -1);
        for (int r = 0; r < WINKLER_REGIONS; r++)
            gtk_list_store_set(store, &it, LANDMAP_BLOCK_REGION_HA + r, f.winkler_season ? f.hectares_region[r] : NAN,
                               -1);
    }
    // Every block has the map's season and target.
    const bool regions = !figures.empty() && figures[0].winkler_season;
    const bool target = !figures.empty() && figures[0].has_target;
    const std::string gdd = target ? decimalString(figures[0].target_gdd, 0) : "";
    for (int c = LANDMAP_BLOCK_REGION; c < LANDMAP_BLOCK_YEAR; c++) {
        GtkTreeViewColumn *column = landmap_blocks_column(view, c);
        gtk_tree_view_column_set_visible(column, regionColumn(c) ? regions : target);
        if (targetColumn(c))
            gtk_widget_set_tooltip_text(gtk_tree_view_column_get_widget(column), targetTooltip(c, gdd).c_str());
    }
}

std::string landmap_blocks_text(GtkTreeView *view, int column, int row) {
    GtkTreeViewColumn *shown = landmap_blocks_column(view, column);
    GtkTreeModel *model = gtk_tree_view_get_model(view);
    GtkTreeIter it;
    if (shown == nullptr || model == nullptr || !gtk_tree_model_iter_nth_child(model, &it, nullptr, row)) return "";
    gtk_tree_view_column_cell_set_cell_data(shown, model, &it, FALSE, FALSE);
    GList *cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(shown));
    gchar *text = nullptr;
    if (cells != nullptr) g_object_get(cells->data, "text", &text, nullptr);
    g_list_free(cells);
    const std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
}

GtkTreeViewColumn *landmap_blocks_column(GtkTreeView *view, int column) {
    GtkTreeViewColumn *found = nullptr;
    GList *columns = gtk_tree_view_get_columns(view);
    for (GList *l = columns; l != nullptr && found == nullptr; l = l->next)
        if (gtk_tree_view_column_get_sort_column_id(GTK_TREE_VIEW_COLUMN(l->data)) == column)
            found = GTK_TREE_VIEW_COLUMN(l->data);
    g_list_free(columns);
    return found;
}

int landmap_blocks_selected(GtkTreeView *view) {
    GtkTreeModel *model = nullptr;
    GtkTreeIter it;
    int block = 0;
    if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view), &model, &it))
        gtk_tree_model_get(model, &it, LANDMAP_BLOCK_NUMBER, &block, -1);
    return block;
}

void landmap_blocks_select(GtkTreeView *view, int block) {
    GtkTreeSelection *selection = gtk_tree_view_get_selection(view);
    GtkTreeModel *model = gtk_tree_view_get_model(view);
    GtkTreeIter it;
    if (block > 0 && gtk_tree_model_get_iter_first(model, &it)) do {
            int number = 0;
            gtk_tree_model_get(model, &it, LANDMAP_BLOCK_NUMBER, &number, -1);
            if (number == block) {
                gtk_tree_selection_select_iter(selection, &it);
                return;
            }
        } while (gtk_tree_model_iter_next(model, &it));
    gtk_tree_selection_unselect_all(selection);
}

month_rows landmap_block_months(const block_figures &f, const season_range &season) {
    month_rows rows{};
    rows.count = seasonMonths(&season, rows.month, rows.first, rows.last);
    for (int k = 0; k < rows.count; k++) {
        const int m = rows.month[k] - 1;
        rows.irradiation[k] = static_cast<float>(f.month_irradiation_mj_m2[m]);
        rows.degree_days[k] = static_cast<float>(f.month_gdd[m]);
        rows.falling[k] = f.month_backwards[m];
    }
    rows.total_irradiation = static_cast<float>(f.irradiation_mean_mj_m2);
    rows.total_degree_days = static_cast<float>(f.gdd_mean);
    return rows;
}

void landmap_draw_parcel(cairo_t *cr, const landmap_parcel &p, const land_grid &grid, const map_frame *frame,
                         int selected) {
    if (!(grid.transform[1] != 0.0) || !(grid.transform[5] != 0.0)) return;
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    const auto &blocks = p.blocks.blocks;
    for (size_t k = 0; k < blocks.size(); k++) {
        const bool chosen = static_cast<int>(k) + 1 == selected;
        outlinePath(cr, blocks[k], grid, frame);
        // A light line under a dark one: the outline reads over pale and
        // dark cells, in a light or a dark desktop.
        cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
        cairo_set_line_width(cr, chosen ? 5.0 : 3.0);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, chosen ? 0.75 : 0.10, chosen ? 0.10 : 0.10, chosen ? 0.45 : 0.12);
        cairo_set_line_width(cr, chosen ? 2.6 : 1.3);
        cairo_stroke(cr);
    }
    for (size_t k = 0; k < blocks.size(); k++) {
        double x = 0.0, y = 0.0;
        middleOf(blocks[k], grid, frame, &x, &y);
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        cairo_text_extents_t e;
        cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 11.0);
        cairo_text_extents(cr, blocks[k].name.c_str(), &e);
        cairo_rectangle(cr, x - e.width / 2.0 - 4, y - e.height / 2.0 - 3, e.width + 8, e.height + 6);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.10, 0.10, 0.12);
        drawText(cr, blocks[k].name.c_str(), "Sans Bold 8.5", x, y, 0.5, 0.5);
    }
    cairo_restore(cr);
}

void landmap_blocks_work(gpointer data) {
    landmap_blocks_export *e = static_cast<landmap_blocks_export *>(data);
    const landmap_parcel &p = *e->map->parcel;
    const block_map bm = landmap_block_map(*e->map);
    std::vector<block_figures> figures;
    e->ok = blockFigures(&p.blocks, &p.placement, &bm, e->threshold, &figures, &e->error);
    if (!e->ok) return;
    block_file_context context;
    context.dem_name = e->dem_name;
    const map_options &o = e->map->map->options;
    context.season = o.season;
    context.shading = o.shade ? std::to_string(o.directions) + " directions within " + decimalString(o.distance, 0) + " m"
                              : "none";
    e->ok = writeBlockFile(e->path, &p.blocks, figures, &context, &e->error);
}
