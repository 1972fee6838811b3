// A map just computed (or remembered) takes the window: the threshold starts
// at the land's median, the whole land in view, the stored site marked when
// it lies on the land, and the limits said plainly.
#include "landmap/landmap.h"

#include <cmath>

void lm_ShowMap(lm_window *w, const std::shared_ptr<const land_map> &map) {
    w->map = map;
    w->selected_col = w->selected_row = w->hover_col = w->hover_row = -1;
    w->site_col = w->site_row = -1;
    if (w->site_known && !cellOf(*map, w->site_latitude, w->site_longitude, &w->site_col, &w->site_row))
        w->site_col = w->site_row = -1;
    const long cells = map->grid.cells();
    const float *gdd = map->band(map_quantity::degree_days);
    w->gdd_range = valueRange(gdd, cells);
    w->irr_range = valueRange(map->band(map_quantity::irradiation), cells);

    const std::string outside = outsideText(*map);
    gtk_label_set_text(GTK_LABEL(w->banner), outside.c_str());
    gtk_widget_set_visible(w->banner, !outside.empty());

    w->updating_threshold = true;
    gtk_adjustment_configure(w->threshold_adj, w->gdd_range.low, w->gdd_range.low, w->gdd_range.high, 1.0, 10.0, 0.0);
    w->updating_threshold = false;
    float median = medianValue(gdd, cells);
    w->threshold = median == kMapNodata ? 0.0f : std::floor(median);
    for (GtkWidget *b : {w->button_tif, w->button_map, w->button_areas, w->threshold_scale, w->entry_threshold,
                         w->button_zoom_in, w->button_zoom_out, w->button_fit})
        gtk_widget_set_sensitive(b, TRUE);
    gtk_widget_set_sensitive(w->button_months, FALSE);
    w->fitted = true;
    w->frame = mapFit(map->grid.width, map->grid.height, gtk_widget_get_allocated_width(w->map_area),
                      gtk_widget_get_allocated_height(w->map_area));
    lm_SetThreshold(w, w->threshold);
    gtk_label_set_text(GTK_LABEL(w->readout), spotText(map.get(), -1, -1).c_str());
    lm_ShowCell(w);
}
