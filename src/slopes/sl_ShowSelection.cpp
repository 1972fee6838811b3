// The selected slope in words and in its month table: the season's degree
// days and irradiation, and how far it lies above or below the stored slope.
#include "slopes/slopes.h"

#include "model/model.h"

#include <cmath>

namespace {

gchar *slopeName(const sl_view *v, int index) {
    float aspect = index == SL_STORED ? v->stored.aspect : sl_GridAspect(index);
    float tilt = index == SL_STORED ? v->stored.tilt : sl_GridTilt(index);
    gchar *t = sl_Number(tilt, std::fmod(tilt, 1.0f) == 0.0f ? 0 : 1);
    gchar *text;
    if (index != SL_STORED && tilt == 0.0f) {
        text = g_strdup("flat ground (tilt 0°)");
    } else {
        gchar *a = sl_AspectText(aspect);
        text = g_strdup_printf("aspect %s, tilt %s°", a, t);
        g_free(a);
    }
    g_free(t);
    return text;
}

// A gain carries its plus sign; one that rounds to nothing carries none.
gchar *signedNumber(double value, int decimals) {
    gchar *text = sl_Number(value, decimals);
    if (value <= 0.0 || g_ascii_strtod(text, nullptr) == 0.0) return text;
    gchar *plus = g_strconcat("+", text, nullptr);
    g_free(text);
    return plus;
}

}  // namespace

void sl_ShowSelection(sl_window *w) {
    const sl_view *v = &w->view;
    gtk_list_store_clear(w->months_store);
    if (!v->have) {
        gtk_label_set_text(GTK_LABEL(w->selected_title), "Press Compare to see every slope of the site.");
        gtk_label_set_text(GTK_LABEL(w->difference), "");
        gtk_widget_queue_draw(w->month_chart);
        return;
    }
    const slope_season &s = v->results[v->selected];
    const slope_season &stored = v->results[SL_STORED];

    gchar *name = slopeName(v, v->selected);
    const char *role = v->selected == SL_STORED ? "Stored slope" : v->selected == v->best ? "Best slope" : "Selected";
    gchar *title = g_strdup_printf("%s: %s", role, name);
    gtk_label_set_text(GTK_LABEL(w->selected_title), title);
    g_free(title);
    g_free(name);

    gchar *gdd = sl_Number(s.season_degree_days, 2);
    gchar *irr = sl_Number(s.season_irradiation, 1);
    gchar *text;
    if (v->selected == SL_STORED) {
        text = g_strdup_printf("%s degree days and %s MJ/m² over the season.", gdd, irr);
    } else {
        double delta = static_cast<double>(s.season_degree_days) - stored.season_degree_days;
        gchar *d = signedNumber(delta, 2);
        gchar *storedName = slopeName(v, SL_STORED);
        gchar *percent = stored.season_degree_days != 0.0f
                             ? signedNumber(100.0 * delta / stored.season_degree_days, 1)
                             : g_strdup("–");
        text = g_strdup_printf("%s degree days and %s MJ/m² over the season: %s degree days (%s %%) "
                               "against the stored slope (%s).",
                               gdd, irr, d, percent, storedName);
        g_free(d);
        g_free(storedName);
        g_free(percent);
    }
    gtk_label_set_text(GTK_LABEL(w->difference), text);
    g_free(text);
    g_free(gdd);
    g_free(irr);

    int months[12], first[12], last[12];
    int count = sl_SeasonMonths(&v->season, months, first, last);
    int days = 0;
    for (int i = 0; i < count; i++) {
        int m = months[i] - 1;
        gchar *range = g_strdup_printf("%d - %d", first[i], last[i]);
        gchar *mi = sl_Number(s.month_irradiation[m], 1);
        gchar *mg = sl_Number(s.month_degree_days[m], 2);
        GtkTreeIter row;
        gtk_list_store_insert_with_values(w->months_store, &row, -1, 0, month_names[m], 1, range, 2, mi, 3, mg, 4,
                                          PANGO_WEIGHT_NORMAL, -1);
        days += last[i] - first[i] + 1;
        g_free(range);
        g_free(mi);
        g_free(mg);
    }
    gchar *total = g_strdup_printf("%d days", days);
    gchar *ti = sl_Number(s.season_irradiation, 1);
    gchar *tg = sl_Number(s.season_degree_days, 2);
    GtkTreeIter row;
    gtk_list_store_insert_with_values(w->months_store, &row, -1, 0, "Season", 1, total, 2, ti, 3, tg, 4,
                                      PANGO_WEIGHT_BOLD, -1);
    g_free(total);
    g_free(ti);
    g_free(tg);
    gtk_widget_queue_draw(w->month_chart);
}
