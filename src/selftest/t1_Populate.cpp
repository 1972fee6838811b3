// The instant test: the solar engine on one fixed, published case, each result
// shown beside its reference value.
#include "selftest/selftest.h"

#include "model/model.h"
#include "shell/shell.h"

#include <cstdio>

void t1_Populate(void) {
    char *buffer = static_cast<char *>(g_malloc0(64));

    storeFixedCase();

    prepareRecord(active_day, active_month, active_year);
    pdat->day_of_year = active_daynum;
    S_solpos(pdat);

    const struct {
        GtkWidget *entry;
        const char *format;
        float value;
    } rows[] = {
        {t1_entry1, "%.4f  (97.0329)", pdat->solar_azimuth},
        {t1_entry2, "%.5f  (0.91257)", pdat->cos_incidence},
        {t1_entry3, "%.4f  (48.4099)", pdat->elevation_refracted},
        {t1_entry4, "%.3f  (989.669)", pdat->etr_horizontal},
        {t1_entry5, "%.2f  (1323.24)", pdat->etr_normal},
        {t1_entry6, "%.2f  (1207.55)", pdat->etr_tilted},
        {t1_entry7, "%.5f  (1.03704)", pdat->prime_factor},
        {t1_entry8, "%.5f  (1.20191)", pdat->shadowband_factor},
        {t1_entry9, "%.3f  (347.173)", pdat->sunrise_minutes},
        {t1_entry10, "%.2f  (1181.11)", pdat->sunset_minutes},
        {t1_entry11, "%.5f  (0.96428)", pdat->prime_denominator},
        {t1_entry12, "%.4f  (41.5901)", pdat->zenith_refracted},
    };
    for (const auto &row : rows) {
        std::snprintf(buffer, 64, row.format, static_cast<double>(row.value));
        gtk_entry_set_text(GTK_ENTRY(row.entry), buffer);
    }

    g_free(buffer);
}
