// The location frame's own word on a Save or Clear that did not happen: the
// standard output, where the program also reports it, is out of a grower's
// sight. The message stays until the next action of the frame.
#include "location/location.h"

#include "shell/shell.h"

void showLocaleMessage(const char *text) {
    if (text == nullptr) {
        GtkWidget *entries[5] = {locale_entry_lat, locale_entry_lon, locale_entry_elev, locale_entry_aspect,
                                 locale_entry_tilt};
        for (GtkWidget *entry : entries) gtk_style_context_remove_class(gtk_widget_get_style_context(entry), "error");
    }
    if (locale_message == nullptr) return;
    gtk_label_set_text(GTK_LABEL(locale_message), text != nullptr ? text : "");
    gtk_widget_set_visible(locale_message, text != nullptr);
}
