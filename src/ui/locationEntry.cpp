#include "ui/gridFrame.h"

#include "model/model.h"

GtkWidget *locationEntry(float value) {
    GtkWidget *entry = gtk_entry_new();
    if (haveprefs == 1) {
        gchar *text = g_strdup_printf("%8.4f", static_cast<double>(value));
        gtk_entry_set_text(GTK_ENTRY(entry), text);
        g_free(text);
    }
    return entry;
}
