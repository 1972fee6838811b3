// The block table, a block's months, the blocks drawn over the map and the
// block file, for the map window.
#include "landmap/landmapBlocks.h"

#include "terrain/mapTexts.h"
#include "ui/chartText.h"

#include <cmath>

namespace {

struct block_column {
    const char *title;        // with its unit
    int decimals;             // -1: text
    double factor;            // shown as value × factor (shares as %)
};

const block_column kColumns[LANDMAP_BLOCK_COLUMNS] = {
    {nullptr, -1, 1.0},
    {"Block", -1, 1.0},
    {"Area (ha)", 2, 1.0},
    {"Reaching (ha)", 2, 1.0},
    {"Reaching (%)", 1, 100.0},
    {"Min (degree days)", 0, 1.0},
    {"Mean (degree days)", 0, 1.0},
    {"Max (degree days)", 0, 1.0},
    {"Irradiation (MJ/m², mean)", 0, 1.0},
    {"Outside calibration (%)", 1, 100.0},
};

void showNumber(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model, GtkTreeIter *iter, gpointer data) {
    const int column = GPOINTER_TO_INT(data);
    double value = 0.0;
    gtk_tree_model_get(model, iter, column, &value, -1);
    const block_column &shown = kColumns[column];
    const std::string text = std::isnan(value) ? "–" : decimalString(value * shown.factor, shown.decimals);
    g_object_set(cell, "text", text.c_str(), nullptr);
}

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
    GtkListStore *store = gtk_list_store_new(LANDMAP_BLOCK_COLUMNS, G_TYPE_INT, G_TYPE_STRING, G_TYPE_DOUBLE,
                                             G_TYPE_DOUBLE, G_TYPE_DOUBLE, G_TYPE_DOUBLE, G_TYPE_DOUBLE,
                                             G_TYPE_DOUBLE, G_TYPE_DOUBLE, G_TYPE_DOUBLE);
    gtk_tree_view_set_model(view, GTK_TREE_MODEL(store));
    for (int c = LANDMAP_BLOCK_NAME; c < LANDMAP_BLOCK_COLUMNS; c++) {
        GtkCellRenderer *cell = gtk_cell_renderer_text_new();
        GtkTreeViewColumn *column = gtk_tree_view_column_new();
        gtk_tree_view_column_set_title(column, kColumns[c].title);
        gtk_tree_view_column_pack_start(column, cell, TRUE);
        if (c == LANDMAP_BLOCK_NAME) {
            gtk_tree_view_column_add_attribute(column, cell, "text", c);
        } else {
            g_object_set(cell, "xalign", 1.0, nullptr);
            gtk_tree_view_column_set_cell_data_func(column, cell, showNumber, GINT_TO_POINTER(c), nullptr);
        }
        gtk_tree_view_column_set_sort_column_id(column, c);
        gtk_tree_view_column_set_resizable(column, TRUE);
        gtk_tree_view_append_column(view, column);
    }
    gtk_tree_view_set_search_column(view, LANDMAP_BLOCK_NAME);
    g_object_unref(store);   // the view keeps it
    return store;
}

void landmap_blocks_fill(GtkListStore *store, const std::vector<block_figures> &figures) {
    gtk_list_store_clear(store);
    for (const block_figures &f : figures) {
        GtkTreeIter it;
        gtk_list_store_append(store, &it);
        gtk_list_store_set(store, &it, LANDMAP_BLOCK_NUMBER, f.block, LANDMAP_BLOCK_NAME, f.name.c_str(),
                           LANDMAP_BLOCK_HECTARES, f.hectares, LANDMAP_BLOCK_REACHING_HA, f.hectares_reaching,
                           LANDMAP_BLOCK_REACHING_SHARE, f.hectares_with_data > 0 ? f.share_reaching : NAN,
                           LANDMAP_BLOCK_GDD_MIN, f.gdd_min, LANDMAP_BLOCK_GDD_MEAN, f.gdd_mean,
                           LANDMAP_BLOCK_GDD_MAX, f.gdd_max, LANDMAP_BLOCK_IRRADIATION, f.irradiation_mean_mj_m2,
                           LANDMAP_BLOCK_OUTSIDE, f.share_outside_calibration, -1);
    }
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
