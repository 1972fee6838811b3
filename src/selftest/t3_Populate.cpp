// The growing-season test: degree days of April to October 2007 for a fixed
// site of the northern zone, and their total.
#include "selftest/selftest.h"

#include "model/model.h"
#include "shell/shell.h"

#include <cstdio>

void t3_Populate(void) {
    char *buffer = static_cast<char *>(g_malloc0(64));

    storeSeasonCase();

    GtkWidget *const entries[] = {t3_entry1, t3_entry2, t3_entry3, t3_entry4, t3_entry5, t3_entry6, t3_entry7};
    float total = 0.0f;
    for (int month = 4; month <= 10; ++month) {
        float x = getMonthsIrr(month);
        float g = getMonthsGDD(month, x);
        std::snprintf(buffer, 64, "%.2f degree days", static_cast<double>(g));
        gtk_entry_set_text(GTK_ENTRY(entries[month - 4]), buffer);
        total += g;
    }
    // The total of the unrounded values, so it may differ in the last digit
    // from the sum of the texts shown above it.
    std::snprintf(buffer, 64, "%.2f degree days", static_cast<double>(total));
    gtk_entry_set_text(GTK_ENTRY(t3_entry8), buffer);

    g_free(buffer);
}
