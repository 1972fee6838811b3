// The selected cell month by month, in the explorer's table and month chart,
// its months marked where the degree-day formula runs backwards: the months
// are the terrain core's for that cell, exact as computed.
#include "landmap/landmap.h"

void lm_ShowCell(lm_window *w) {
    gtk_list_store_clear(w->months_store);
    w->months = month_rows{};
    gtk_widget_hide(w->falling_note);
    const land_map *m = w->map.get();
    long i = m != nullptr && w->selected_col >= 0 ? static_cast<long>(w->selected_row) * m->grid.width + w->selected_col
                                                  : -1;
    cell_months cm;
    if (m == nullptr || !cellMonths(*m, i, &w->falls, &cm)) {
        gtk_label_set_text(GTK_LABEL(w->selected_title), m == nullptr ? "" : "Click a cell of the map for its months.");
        gtk_widget_queue_draw(w->month_chart);
        return;
    }
    month_rows &rows = w->months;
    rows.count = cm.count;
    bool marked = false;
    for (int k = 0; k < rows.count; k++) {
        rows.month[k] = cm.month[k];
        rows.first[k] = cm.first[k];
        rows.last[k] = cm.last[k];
        rows.irradiation[k] = cm.irradiation[k];
        rows.degree_days[k] = cm.degree_days[k];
        rows.falling[k] = cm.falling[k];
        marked = marked || cm.falling[k];
    }
    rows.total_irradiation = cm.total_irradiation;
    rows.total_degree_days = cm.total_degree_days;
    monthTable(w->months_store, &rows);
    gtk_label_set_text(GTK_LABEL(w->falling_note), marked ? fallingNote() : "");
    gtk_widget_set_visible(w->falling_note, marked);

    gchar *title = g_strdup_printf("Cell %d, %d: its months", w->selected_col + 1, w->selected_row + 1);
    gtk_label_set_text(GTK_LABEL(w->selected_title), title);
    g_free(title);
    gtk_widget_queue_draw(w->month_chart);
}
