// The selected cell month by month, in the explorer's table and month chart:
// the months are the terrain core's for that cell, exact as computed.
#include "landmap/landmap.h"

#include "model/model.h"

#include <cmath>

void lm_ShowCell(lm_window *w) {
    gtk_list_store_clear(w->months_store);
    sl_view &v = w->months;
    v.have = false;
    const lm_map *m = w->map.get();
    long i = m != nullptr && w->selected_col >= 0 ? static_cast<long>(w->selected_row) * m->cols + w->selected_col : -1;
    if (i < 0 || std::isnan(m->degree_days[i])) {
        gtk_label_set_text(GTK_LABEL(w->selected_title),
                           m == nullptr ? "" : "Click a cell of the map for its months.");
        gtk_widget_queue_draw(w->month_chart);
        return;
    }
    v.have = true;
    v.season = m->settings.season;
    v.selected = 0;
    slope_season &s = v.results[0];
    const long cells = m->cells();
    for (int k = 0; k < 12; k++) {
        s.month_irradiation[k] = m->month_irradiation[k * cells + i];
        s.month_degree_days[k] = m->month_degree_days[k * cells + i];
    }
    s.season_irradiation = m->irradiation[i];
    s.season_degree_days = m->degree_days[i];

    gchar *title = g_strdup_printf("Cell %d, %d: its months", w->selected_col + 1, w->selected_row + 1);
    gtk_label_set_text(GTK_LABEL(w->selected_title), title);
    g_free(title);
    int months[12], first[12], last[12];
    int count = sl_SeasonMonths(&v.season, months, first, last), days = 0;
    GtkTreeIter it;
    for (int k = 0; k < count; k++) {
        gchar *range = g_strdup_printf("%d - %d", first[k], last[k]);
        gchar *irr = sl_Number(s.month_irradiation[months[k] - 1], 1);
        gchar *gdd = sl_Number(s.month_degree_days[months[k] - 1], 2);
        gtk_list_store_append(w->months_store, &it);
        gtk_list_store_set(w->months_store, &it, 0, month_names[months[k] - 1], 1, range, 2, irr, 3, gdd, 4, PANGO_WEIGHT_NORMAL, -1);
        days += last[k] - first[k] + 1;
        g_free(range);
        g_free(irr);
        g_free(gdd);
    }
    gchar *total = g_strdup_printf("%d days", days);
    gchar *irr = sl_Number(s.season_irradiation, 1), *gdd = sl_Number(s.season_degree_days, 2);
    gtk_list_store_append(w->months_store, &it);
    gtk_list_store_set(w->months_store, &it, 0, "Season", 1, total, 2, irr, 3, gdd, 4, PANGO_WEIGHT_BOLD, -1);
    g_free(total);
    g_free(irr);
    g_free(gdd);
    gtk_widget_queue_draw(w->month_chart);
}
