// The land's area by degree-day class as bars: the classes at or above the
// threshold in the map's colours, the ones below in grey, as on the map.
#include "landmap/landmap.h"

#include <algorithm>
#include <cmath>

void lm_DrawHistogram(cairo_t *cr, const land_map *map, const value_range *gdd, float threshold, double width,
                      double height) {
    const double ink[3] = {0.10, 0.16, 0.14};
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.953, 0.957, 0.945);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
    if (map == nullptr) {
        drawText(cr, "area by degree days, once computed", "Sans Italic 8.5", width / 2, height / 2, 0.5, 0.5);
        cairo_restore(cr);
        return;
    }
    double hectares[kAreaClasses];
    areaClasses(map->band(map_quantity::degree_days), map->grid.width, map->grid.height, map->grid.row_area.data(),
                gdd->low, gdd->high, kAreaClasses, hectares);
    double most = *std::max_element(hectares, hectares + kAreaClasses);
    const double left = 8, right = width - 8, top = 16, bottom = height - 16;
    gchar *peak = decimalText(most, most < 10 ? 1 : 0);
    gchar *title = g_strdup_printf("hectares by degree days (tallest bar %s ha)", peak);
    drawText(cr, title, "Sans 7.5", left, 2, 0.0, 0.0);
    g_free(title);
    g_free(peak);
    const double span = static_cast<double>(gdd->high) - gdd->low, slot = (right - left) / kAreaClasses;
    for (int k = 0; k < kAreaClasses; k++) {
        double h = most > 0 ? (bottom - top) * hectares[k] / most : 0.0;
        double upper = gdd->low + span * (k + 1) / kAreaClasses;
        double red = 0.72, green = 0.72, blue = 0.70;
        if (upper > threshold || span == 0.0) scaleColour((k + 0.5) / kAreaClasses, &red, &green, &blue);
        cairo_rectangle(cr, left + slot * k + 1, bottom - h, slot - 2, h);
        cairo_set_source_rgb(cr, red, green, blue);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
    cairo_move_to(cr, left, bottom + 0.5);
    cairo_line_to(cr, right, bottom + 0.5);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    gchar *low = decimalText(gdd->low, 0), *high = decimalText(gdd->high, 0);
    drawText(cr, low, "Sans 7.5", left, bottom + 2, 0.0, 0.0);
    drawText(cr, high, "Sans 7.5", right, bottom + 2, 1.0, 0.0);
    g_free(low);
    g_free(high);
    if (span > 0.0) {
        double x = left + (right - left) * std::clamp((threshold - gdd->low) / span, 0.0, 1.0);
        cairo_move_to(cr, x, top - 4);
        cairo_line_to(cr, x, bottom);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}
