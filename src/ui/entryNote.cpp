#include "ui/entries.h"

void entryNote(GtkWidget *note, const char *text) {
    gtk_label_set_text(GTK_LABEL(note), text);
    gtk_widget_set_visible(note, text[0] != '\0');
}
