// The area table as CSV (RFC 4180, CRLF, a decimal point on any desktop):
// the histogram's classes with their hectares and share of the land.
#include "landmap/landmap.h"

#include "files/safeWrite.h"

#include <cmath>

bool lm_ExportAreas(const lm_map *map, float threshold, const char *path, GError **error) {
    double hectares[LM_CLASSES];
    areaClasses(map->degree_days.data(), map->cols, map->rows, map->row_area.data(), map->gdd_low, map->gdd_high,
                LM_CLASSES, hectares);
    threshold_area a = thresholdArea(map->degree_days.data(), map->cols, map->rows, map->row_area.data(), threshold);
    gchar *t = decimalText(threshold, std::round(threshold) == threshold ? 0 : 2);
    GString *out = g_string_new(nullptr);
    g_string_printf(out, "degree days from (degC above 10 degC),degree days to (degC above 10 degC),area (ha),"
                         "share of the land with elevation data (%%),at least the threshold of %s degree days\r\n", t);
    g_free(t);
    const double span = static_cast<double>(map->gdd_high) - map->gdd_low;
    for (int k = 0; k < LM_CLASSES; k++) {
        double from = map->gdd_low + span * k / LM_CLASSES, to = map->gdd_low + span * (k + 1) / LM_CLASSES;
        gchar *f = decimalText(from, 2), *t = decimalText(to, 2), *h = decimalText(hectares[k], 4);
        gchar *p = decimalText(a.total_ha > 0 ? 100.0 * hectares[k] / a.total_ha : 0.0, 3);
        g_string_append_printf(out, "%s,%s,%s,%s,%s\r\n", f, t, h, p, from >= threshold ? "yes" : to > threshold ? "partly" : "no");
        g_free(f);
        g_free(t);
        g_free(h);
        g_free(p);
    }
    std::string why;
    bool ok = writeFileSafely(path, out->str, out->len, &why);
    g_string_free(out, TRUE);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    return ok;
}
