// Opening a file says what it is (name, size in cells and hectares, cell
// size, coordinate system, elevations) or, in one sentence, why it cannot be
// used: no coordinate system, not a raster, several bands, too large for
// this computer's memory. A map computed before for the same file and
// settings in this session comes back at once.
#include "landmap/landmap.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace {

// Bytes a map of the land needs at its peak: the terrain core's run with
// what the window keeps besides the bands, and the window's image of it,
// one pixel a cell.
double mapRunBytes(double width, double height, double cell) {
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    return computeMapBytes(width, height, &wants, 32, 5000.0, cell) + 4.0 * width * height;
}

double memoryBytes() {
    long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<double>(pages) * size : 0.0;
}

void forgetMap(lm_window *w) {
    lm_CancelRun(w);
    w->map.reset();
    lm_FreeImage(&w->image);
    w->selected_col = w->selected_row = w->hover_col = w->hover_row = w->site_col = w->site_row = -1;
    gtk_widget_hide(w->banner);
    gtk_widget_hide(w->progress);
    for (GtkWidget *b : {w->button_tif, w->button_map, w->button_areas, w->button_months, w->threshold_scale,
                         w->entry_threshold, w->button_zoom_in, w->button_zoom_out, w->button_fit})
        gtk_widget_set_sensitive(b, FALSE);
    gtk_label_set_text(GTK_LABEL(w->answer), "");
    gtk_label_set_text(GTK_LABEL(w->readout), spotText(nullptr, -1, -1).c_str());
    lm_ShowCell(w);
    gtk_widget_queue_draw(w->map_area);
    gtk_widget_queue_draw(w->histogram);
}

void refuse(lm_window *w, const std::string &name, const std::string &why) {
    gchar *text = g_strdup_printf("%s cannot be used: %s", name.c_str(), why.c_str());
    gtk_label_set_text(GTK_LABEL(w->refusal), text);
    g_free(text);
    gtk_widget_show(w->refusal);
    gtk_label_set_text(GTK_LABEL(w->land_info), "Open a digital elevation model of your land, or drop its file here.");
}

}  // namespace

void lm_OpenLand(lm_window *w, const char *path) {
    forgetMap(w);
    w->land = lm_land();
    w->land.path = path;
    gtk_label_set_text(GTK_LABEL(w->status), "");
    gchar *base = g_path_get_basename(path);
    gchar *display = g_filename_display_name(base);
    std::string name = display;
    g_free(display);
    g_free(base);
    const bool example = w->land.path == lm_ExampleLand();

    dem_source dem;
    std::string refusal;
    dem_description d{};
    if (openDem(path, 0, &dem, &refusal) != TERRAIN_OK || describeDem(&dem, &d, &refusal) != TERRAIN_OK) {
        closeDem(&dem);
        refuse(w, name, refusal);
        return;
    }
    closeDem(&dem);
    const double need = mapRunBytes(d.width, d.height, std::min(d.cell_width, d.cell_height));
    const double have = memoryBytes();
    if (have > 0.0 && need > have / 2.0) {
        gchar *why = g_strdup_printf("at %d × %d cells it is too large for this computer's memory (its map needs "
                                     "about %.1f GB, half the memory is %.1f GB); cut it into smaller pieces or use "
                                     "veranta-map, which works tile by tile.",
                                     d.width, d.height, need / 1e9, have / 2e9);
        refuse(w, name, why);
        g_free(why);
        return;
    }
    if (!d.any_elevation) {
        refuse(w, name, "every cell of it is without data.");
        return;
    }
    gtk_widget_hide(w->refusal);
    gchar *ha = decimalText(d.hectares, d.hectares < 10 ? 2 : 1);
    gchar *cw = decimalText(d.cell_width, d.cell_width < 10 ? 2 : 1), *ch = decimalText(d.cell_height, d.cell_height < 10 ? 2 : 1);
    gchar *low = decimalText(d.lowest, 1), *high = decimalText(d.highest, 1);
    gchar *text = g_strdup_printf("%s%s\n%d × %d cells of %s × %s m, %s ha\n%s\nelevation %s to %s m",
                                  example ? "A made-up example land (not a real place): " : "", name.c_str(),
                                  d.width, d.height, cw, ch, ha, d.crs_name.c_str(), low, high);
    gtk_label_set_text(GTK_LABEL(w->land_info), text);
    g_free(text);
    g_free(ha);
    g_free(cw);
    g_free(ch);
    g_free(low);
    g_free(high);
    w->land.usable = true;
    w->land.description = name;

    map_options options;
    if (lm_ReadEntries(w, &options)) {
        std::shared_ptr<const land_map> kept = lm_Remembered(w->land.path, &options);
        if (kept != nullptr) lm_ShowMap(w, kept);
    }
    gtk_widget_grab_focus(w->button_compute);
}
