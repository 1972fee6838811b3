// The question a grower came with, answered in hectares.
#include "landmap/landmap.h"

gchar *lm_AnswerText(const lm_map *map, float threshold) {
    threshold_area a = thresholdArea(map->degree_days.data(), map->cols, map->rows, map->row_area.data(), threshold);
    gchar *x = decimalText(a.at_least_ha, a.at_least_ha < 10 ? 2 : 1), *y = decimalText(a.total_ha, a.total_ha < 10 ? 2 : 1);
    gchar *z = decimalText(a.total_ha > 0 ? 100.0 * a.at_least_ha / a.total_ha : 0.0, 1);
    gchar *t = decimalText(threshold, 0);
    gchar *text = g_strdup_printf("%s ha of %s ha (%s %%) get at least %s degree days over this season", x, y, z, t);
    g_free(x);
    g_free(y);
    g_free(z);
    g_free(t);
    return text;
}
