// Empties the instant test's results so that a new opening starts clean.
#include "selftest/selftest.h"

#include "shell/shell.h"

void t1_Depopulate(void) {
    GtkWidget *const entries[] = {t1_entry1, t1_entry2, t1_entry3, t1_entry4,  t1_entry5,  t1_entry6,
                                  t1_entry7, t1_entry8, t1_entry9, t1_entry10, t1_entry11, t1_entry12};
    for (GtkWidget *entry : entries) gtk_entry_set_text(GTK_ENTRY(entry), "");
    gtk_widget_set_sensitive(t1_calculate, TRUE);
}
