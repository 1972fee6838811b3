// Empties the growing-season test's results and makes it runnable again.
#include "selftest/selftest.h"

#include "shell/shell.h"

void t3_Depopulate(void) {
    GtkWidget *const entries[] = {t3_entry1, t3_entry2, t3_entry3, t3_entry4,
                                  t3_entry5, t3_entry6, t3_entry7, t3_entry8};
    for (GtkWidget *entry : entries) gtk_entry_set_text(GTK_ENTRY(entry), "");
    gtk_widget_set_sensitive(t3_calculate, TRUE);
}
