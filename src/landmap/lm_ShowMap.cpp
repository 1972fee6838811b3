// A map just computed (or remembered) takes the window: the threshold starts
// at the land's median, the whole land in view, the stored site marked when
// it lies on the land, and the limits said plainly.
#include "landmap/landmap.h"

#include "location/readLocale.h"
#include "model/calibratedRegion.h"
#include "model/model.h"

#include <cmath>

void lm_ShowMap(lm_window *w, const std::shared_ptr<lm_map> &map) {
    w->map = map;
    w->selected_col = w->selected_row = w->hover_col = w->hover_row = -1;
    w->site_col = w->site_row = -1;
    readLocale();
    setCalculatorParameters();
    if (haveprefs == 1) {
        // The calculators take a longitude of 0 or more as west.
        double lon = active_longitude >= 0.0f ? -static_cast<double>(active_longitude) : active_longitude;
        if (!lm_CellOf(map.get(), active_latitude, lon, &w->site_col, &w->site_row)) w->site_col = w->site_row = -1;
    }

    if (map->outside_share > 0.0) {
        gchar *share = decimalText(100.0 * map->outside_share, map->outside_share < 0.01 ? 2 : 1);
        gchar *text = g_strdup_printf("%s %% of this land lies outside the region the degree days are calibrated for "
                                      "(%s): its degree days are not calibrated there.", share,
                                      calibratedRegionText());
        gtk_label_set_text(GTK_LABEL(w->banner), text);
        g_free(text);
        g_free(share);
    }
    gtk_widget_set_visible(w->banner, map->outside_share > 0.0);

    w->updating_threshold = true;
    gtk_adjustment_configure(w->threshold_adj, map->gdd_low, map->gdd_low, map->gdd_high, 1.0, 10.0, 0.0);
    w->updating_threshold = false;
    float median = medianValue(map->degree_days.data(), map->cells());
    w->threshold = std::isnan(median) ? 0.0f : std::floor(median);
    for (GtkWidget *b : {w->button_tif, w->button_map, w->button_areas, w->threshold_scale, w->entry_threshold,
                         w->button_zoom_in, w->button_zoom_out, w->button_fit})
        gtk_widget_set_sensitive(b, TRUE);
    gtk_widget_set_sensitive(w->button_months, FALSE);
    w->fitted = true;
    w->frame = mapFit(map->cols, map->rows, gtk_widget_get_allocated_width(w->map_area),
                      gtk_widget_get_allocated_height(w->map_area));
    lm_SetThreshold(w, w->threshold);
    gchar *spot = lm_SpotText(map.get(), -1, -1);
    gtk_label_set_text(GTK_LABEL(w->readout), spot);
    g_free(spot);
    lm_ShowCell(w);
}
