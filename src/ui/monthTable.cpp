// A slope's months as table rows: marked months carry a star and a tinted
// background so that they read as "compare by irradiation".
#include "ui/monthRows.h"

#include "model/model.h"

void monthTable(GtkListStore *store, const month_rows *rows) {
    gtk_list_store_clear(store);
    int days = 0;
    for (int i = 0; i < rows->count; i++) {
        gchar *range = g_strdup_printf("%d - %d", rows->first[i], rows->last[i]);
        gchar *irr = decimalText(rows->irradiation[i], 1);
        gchar *gdd = decimalText(rows->degree_days[i], 2);
        GtkTreeIter row;
        gtk_list_store_insert_with_values(store, &row, -1, 0, month_names[rows->month[i] - 1], 1, range, 2, irr, 3,
                                          gdd, 4, PANGO_WEIGHT_NORMAL, 5, rows->falling[i] ? "*" : "", 6,
                                          rows->falling[i] ? "#fde7b0" : nullptr, -1);
        days += rows->last[i] - rows->first[i] + 1;
        g_free(range);
        g_free(irr);
        g_free(gdd);
    }
    gchar *total = g_strdup_printf("%d days", days);
    gchar *irr = decimalText(rows->total_irradiation, 1);
    gchar *gdd = decimalText(rows->total_degree_days, 2);
    GtkTreeIter row;
    gtk_list_store_insert_with_values(store, &row, -1, 0, "Season", 1, total, 2, irr, 3, gdd, 4, PANGO_WEIGHT_BOLD, 5,
                                      "", 6, nullptr, -1);
    g_free(total);
    g_free(irr);
    g_free(gdd);
}
