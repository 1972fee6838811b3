// The one-day test: sunrise, sunset and the day's irradiation for the fixed
// case of the instant test.
#include "selftest/selftest.h"

#include "model/model.h"
#include "shell/shell.h"

#include <cstdio>

void t2_Populate(void) {
    char *buffer = static_cast<char *>(g_malloc0(64));
    char *zone = g_strdup("(EST)");

    storeFixedCase();

    getDayBounds(active_day, active_month, active_year, &active_sunrise, &active_sunset);

    const struct {
        GtkWidget *entry;
        float minutes;
    } clocks[] = {{t2_entry1, active_sunrise}, {t2_entry2, active_sunset}};
    for (const auto &c : clocks) {
        clockText(c.minutes, zone, buffer, 64);
        gtk_entry_set_text(GTK_ENTRY(c.entry), buffer);
    }

    float irradiation = getDaysIrr(active_day, active_month, active_year);
    std::snprintf(buffer, 64, "%.2f mj/sqm", static_cast<double>(irradiation));
    gtk_entry_set_text(GTK_ENTRY(t2_entry3), buffer);

    g_free(zone);
    g_free(buffer);
}
