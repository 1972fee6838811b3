#include "ui/gridFrame.h"

GtkWidget *classLabel(const char *text, const char *styleClass) {
    GtkWidget *label = gtk_label_new(text);
    if (styleClass != nullptr) gtk_style_context_add_class(gtk_widget_get_style_context(label), styleClass);
    return label;
}
