// Every window that computes a season starts from the same one.
#include "ui/entries.h"

#include <algorithm>

void showSeasonDefaults(const season_entries *e) {
    GDateTime *now = g_date_time_new_now_local();
    showInt(e->year, std::clamp(g_date_time_get_year(now), 2000, 2050));
    g_date_time_unref(now);
    showInt(e->start_day, 1);
    gtk_combo_box_set_active(GTK_COMBO_BOX(e->start_month), 3);
    showInt(e->stop_day, 31);
    gtk_combo_box_set_active(GTK_COMBO_BOX(e->stop_month), 9);
}
