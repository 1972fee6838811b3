// The question a grower came with, answered in hectares. Only cells with an
// elevation have degree days; where the file has cells without data, the
// answer says so, since the land's size shown on opening counts them too.
#include "landmap/landmap.h"

#include <cmath>

gchar *lm_AnswerText(const lm_map *map, float threshold) {
    threshold_area a = thresholdArea(map->degree_days.data(), map->cols, map->rows, map->row_area.data(), threshold);
    gchar *x = decimalText(a.at_least_ha, a.at_least_ha < 10 ? 2 : 1), *y = decimalText(a.total_ha, a.total_ha < 10 ? 2 : 1);
    gchar *z = decimalText(a.total_ha > 0 ? 100.0 * a.at_least_ha / a.total_ha : 0.0, 1);
    gchar *t = decimalText(threshold, 0);
    gchar *text = g_strdup_printf("%s ha of %s ha (%s %%) get at least %s degree days over this season", x, y, z, t);
    double without = 0.0;
    for (int r = 0; r < map->rows; r++)
        for (int c = 0; c < map->cols; c++)
            if (std::isnan(map->degree_days[static_cast<long>(r) * map->cols + c])) without += map->row_area[r];
    if (without > 0.0) {
        gchar *w = decimalText(without / 1e4, without < 1e5 ? 2 : 1);
        gchar *longer = g_strdup_printf("%s; the land's other %s ha have no elevation data and are not counted.", text, w);
        g_free(text);
        g_free(w);
        text = longer;
    }
    g_free(x);
    g_free(y);
    g_free(z);
    g_free(t);
    return text;
}
