// The selected cell's months as CSV, as the table shows them, the season last;
// each month says, 1 or 0, whether its degree days come from where the
// formula gives fewer degree days for more sun, as the explorer's CSV does.
#include "landmap/landmap.h"

#include "files/safeWrite.h"
#include "model/model.h"

bool lm_ExportMonths(const lm_map *map, int col, int row, const char *path, GError **error) {
    long i = static_cast<long>(row) * map->cols + col;
    gdd_falls falls;
    findGddFalls(&falls);
    slope_season s;
    bool falling[12];
    if (col < 0 || !lm_CellSeason(map, i, &falls, &s, falling)) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "no cell with data is selected");
        return false;
    }
    double lat = 0.0, lon = 0.0;
    lm_CellLatLon(map, col, row, &lat, &lon);
    gchar *la = decimalText(lat, 6), *lo = decimalText(lon, 6);
    GString *out = g_string_new("column,row,\"latitude (WGS 84, degrees, north positive)\","
                                "\"longitude (WGS 84, degrees, east positive)\",month,first day,last day,"
                                "\"irradiation (MJ/m2, clear-sky direct beam)\",degree days (degC above 10 degC),"
                                "fewer degree days for more sun (1 yes)\r\n");
    int months[12], first[12], last[12];
    int count = seasonMonths(&map->settings.season, months, first, last);
    for (int k = 0; k <= count; k++) {
        bool season = k == count;
        int m = season ? 0 : months[k] - 1;
        gchar *ir = decimalText(season ? s.season_irradiation : s.month_irradiation[m], 2);
        gchar *gd = decimalText(season ? s.season_degree_days : s.month_degree_days[m], 2);
        if (season)
            g_string_append_printf(out, "%d,%d,%s,%s,season,,,%s,%s,\r\n", col + 1, row + 1, la, lo, ir, gd);
        else
            g_string_append_printf(out, "%d,%d,%s,%s,%s,%d,%d,%s,%s,%d\r\n", col + 1, row + 1, la, lo, month_names[m],
                                   first[k], last[k], ir, gd, falling[m] ? 1 : 0);
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
