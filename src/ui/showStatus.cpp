#include "ui/windowFiles.h"

void showStatus(GtkWidget *status, const char *text, bool failed) {
    gtk_label_set_text(GTK_LABEL(status), text);
    GtkStyleContext *style = gtk_widget_get_style_context(status);
    if (failed)
        gtk_style_context_add_class(style, "failed");
    else
        gtk_style_context_remove_class(style, "failed");
}
