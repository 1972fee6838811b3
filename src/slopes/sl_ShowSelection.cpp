// The selected slope in words and in its month table: the season's degree
// days and irradiation, and how far it lies above or below the stored slope.
#include "slopes/slopes.h"

#include "model/model.h"

#include <cmath>

namespace {

gchar *slopeName(const sl_view *v, int index) {
    float aspect = index == SL_STORED ? v->stored.aspect : sl_GridAspect(index);
    float tilt = index == SL_STORED ? v->stored.tilt : sl_GridTilt(index);
    gchar *t = decimalText(tilt, std::fmod(tilt, 1.0f) == 0.0f ? 0 : 1);
    gchar *text;
    if (index != SL_STORED && tilt == 0.0f) {
        text = g_strdup("flat ground (tilt 0°)");
    } else {
        gchar *a = aspectText(aspect);
        text = g_strdup_printf("aspect %s, tilt %s°", a, t);
        g_free(a);
    }
    g_free(t);
    return text;
}

// A gain carries its plus sign; one that rounds to nothing carries none.
gchar *signedNumber(double value, int decimals) {
    gchar *text = decimalText(value, decimals);
    if (value <= 0.0 || g_ascii_strtod(text, nullptr) == 0.0) return text;
    gchar *plus = g_strconcat("+", text, nullptr);
    g_free(text);
    return plus;
}

}  // namespace

void sl_ShowSelection(sl_window *w) {
    const sl_view *v = &w->view;
    if (!v->have) {
        gtk_list_store_clear(w->months_store);
        gtk_label_set_text(GTK_LABEL(w->selected_title), "Press Compare to see every slope of the site.");
        gtk_label_set_text(GTK_LABEL(w->difference), "");
        gtk_widget_hide(w->falling_note);
        sl_DescribeCompass(w);
        gtk_widget_queue_draw(w->month_chart);
        return;
    }
    const slope_season &s = v->results[v->selected];
    const slope_season &stored = v->results[SL_STORED];

    gchar *name = slopeName(v, v->selected);
    const char *role = v->selected == SL_STORED ? "Stored slope"
                       : v->selected != v->best  ? "Selected"
                       : v->by == BY_IRRADIATION ? "Best slope by irradiation"
                                                 : "Best slope";
    gchar *title = g_strdup_printf("%s: %s", role, name);
    gtk_label_set_text(GTK_LABEL(w->selected_title), title);
    g_free(title);
    g_free(name);

    gchar *gdd = decimalText(s.season_degree_days, 2);
    gchar *irr = decimalText(s.season_irradiation, 1);
    gchar *text;
    if (v->selected == SL_STORED) {
        text = g_strdup_printf("%s degree days and %s MJ/m² (clear-sky direct beam) over the season.", gdd, irr);
    } else {
        double delta = static_cast<double>(s.season_degree_days) - stored.season_degree_days;
        gchar *d = signedNumber(delta, 2);
        gchar *storedName = slopeName(v, SL_STORED);
        gchar *percent = stored.season_degree_days != 0.0f
                             ? signedNumber(100.0 * delta / stored.season_degree_days, 1)
                             : g_strdup("–");
        text = g_strdup_printf("%s degree days and %s MJ/m² (clear-sky direct beam) over the season: %s degree days (%s %%) "
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

    month_rows rows = sl_MonthRows(v);
    monthTable(w->months_store, &rows);
    bool marked = false;
    for (int i = 0; i < rows.count; i++) marked = marked || rows.falling[i];
    gtk_label_set_text(GTK_LABEL(w->falling_note), marked ? fallingNote() : "");
    gtk_widget_set_visible(w->falling_note, marked);
    sl_DescribeCompass(w);
    gtk_widget_queue_draw(w->month_chart);
}
