// The selected cell's months as CSV, as the table shows them, the season last.
#include "landmap/landmap.h"

#include "files/safeWrite.h"
#include "model/model.h"

#include <cmath>

bool lm_ExportMonths(const lm_map *map, int col, int row, const char *path, GError **error) {
    long i = static_cast<long>(row) * map->cols + col;
    if (col < 0 || std::isnan(map->degree_days[i])) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "no cell with data is selected");
        return false;
    }
    double lat = 0.0, lon = 0.0;
    lm_CellLatLon(map, col, row, &lat, &lon);
    gchar *la = decimalText(lat, 6), *lo = decimalText(lon, 6);
    GString *out = g_string_new("column,row,latitude,longitude,month,first day,last day,irradiation (MJ/m2),degree days\r\n");
    int months[12], first[12], last[12];
    int count = sl_SeasonMonths(&map->settings.season, months, first, last);
    const long cells = map->cells();
    for (int k = 0; k <= count; k++) {
        bool season = k == count;
        float irr = season ? map->irradiation[i] : map->month_irradiation[(months[k] - 1) * cells + i];
        float gdd = season ? map->degree_days[i] : map->month_degree_days[(months[k] - 1) * cells + i];
        gchar *ir = decimalText(irr, 2), *gd = decimalText(gdd, 2);
        if (season)
            g_string_append_printf(out, "%d,%d,%s,%s,season,,,%s,%s\r\n", col + 1, row + 1, la, lo, ir, gd);
        else
            g_string_append_printf(out, "%d,%d,%s,%s,%s,%d,%d,%s,%s\r\n", col + 1, row + 1, la, lo,
                                   month_names[months[k] - 1], first[k], last[k], ir, gd);
        g_free(ir);
        g_free(gd);
    }
    g_free(la);
    g_free(lo);
    std::string why;
    bool ok = writeFileSafely(path, out->str, out->len, &why);
    g_string_free(out, TRUE);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    return ok;
}
