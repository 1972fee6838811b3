#include "ui/entries.h"

void showInt(GtkWidget *entry, int value) {
    gchar *text = g_strdup_printf("%d", value);
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}
