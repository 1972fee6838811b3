// Everything known about the cell under the pointer, on two lines.
#include "landmap/landmap.h"

#include <cmath>

gchar *lm_SpotText(const lm_map *map, int col, int row) {
    if (map == nullptr || col < 0) return g_strdup("Point at the map to read a spot; click it for its months.");
    long i = static_cast<long>(row) * map->cols + col;
    double lat = 0, lon = 0;
    bool placed = lm_CellLatLon(map, col, row, &lat, &lon);
    gchar *where = placed ? g_strdup_printf("%.5f° %s, %.5f° %s", std::fabs(lat), lat >= 0 ? "N" : "S", std::fabs(lon),
                                            lon >= 0 ? "E" : "W")
                          : g_strdup("position unknown");
    gchar *text;
    if (std::isnan(map->elevation[i])) {
        text = g_strdup_printf("cell %d, %d   %s\nno data in the elevation model here", col + 1, row + 1, where);
    } else {
        gchar *elev = decimalText(map->elevation[i], 1), *tilt = decimalText(map->tilt[i], 1);
        gchar *aspect = map->aspect[i] < 0 ? g_strdup("flat") : aspectText(map->aspect[i]);
        gchar *shadow = decimalText(map->shadow[i], 0);
        gchar *gdd = decimalText(map->degree_days[i], 1), *irr = decimalText(map->irradiation[i], 1);
        text = g_strdup_printf("%s degree days, %s MJ/m²   (cell %d, %d: %s)\n"
                               "elevation %s m, tilt %s°, aspect %s, %s minutes of the season in terrain shadow",
                               gdd, irr, col + 1, row + 1, where, elev, tilt, aspect, shadow);
        g_free(elev);
        g_free(tilt);
        g_free(aspect);
        g_free(shadow);
        g_free(gdd);
        g_free(irr);
    }
    g_free(where);
    return text;
}
