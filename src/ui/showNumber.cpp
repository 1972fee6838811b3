#include "ui/gridFrame.h"

void showNumber(GtkWidget *entry, const char *format, float value) {
    gchar *text = g_strdup_printf(format, static_cast<double>(value));
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}
