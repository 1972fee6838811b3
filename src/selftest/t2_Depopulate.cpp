// Empties the one-day test's results and makes it runnable again.
#include "selftest/selftest.h"

#include "shell/shell.h"

void t2_Depopulate(void) {
    gtk_entry_set_text(GTK_ENTRY(t2_entry1), "");
    gtk_entry_set_text(GTK_ENTRY(t2_entry2), "");
    gtk_entry_set_text(GTK_ENTRY(t2_entry3), "");
    gtk_widget_set_sensitive(t2_calculate, TRUE);
}
