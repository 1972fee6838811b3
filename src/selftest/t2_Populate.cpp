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

    // Clock text of a minute count, every part cut by truncation in single precision.
    const struct {
        GtkWidget *entry;
        float minutes;
    } clocks[] = {{t2_entry1, active_sunrise}, {t2_entry2, active_sunset}};
    for (const auto &c : clocks) {
        int hours = static_cast<int>(c.minutes / 60.0f);
        float rest = c.minutes - 60.0f * static_cast<float>(hours);
        int mins = static_cast<int>(rest);
        int secs = static_cast<int>(60.0f * (rest - static_cast<float>(mins)));
        std::snprintf(buffer, 64, "%2.2d:%2.2d:%2.2d %s", hours, mins, secs, zone);
        gtk_entry_set_text(GTK_ENTRY(c.entry), buffer);
    }

    float irradiation = getDaysIrr(active_day, active_month, active_year);
    std::snprintf(buffer, 64, "%.2f mj/sqm", static_cast<double>(irradiation));
    gtk_entry_set_text(GTK_ENTRY(t2_entry3), buffer);

    g_free(zone);
    g_free(buffer);
}
