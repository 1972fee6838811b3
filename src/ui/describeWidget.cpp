#include "ui/windowTools.h"

namespace {

GtkWidget *labelToTheLeft(GtkWidget *widget) {
    GtkWidget *parent = gtk_widget_get_parent(widget);
    if (!GTK_IS_GRID(parent)) return nullptr;
    int left = 0, top = 0;
    gtk_container_child_get(GTK_CONTAINER(parent), widget, "left-attach", &left, "top-attach", &top, nullptr);
    GtkWidget *label = left > 0 ? gtk_grid_get_child_at(GTK_GRID(parent), left - 1, top) : nullptr;
    return GTK_IS_LABEL(label) ? label : nullptr;
}

}  // namespace

void describeWidget(GtkWidget *widget, const char *name, const char *tooltip) {
    if (widget == nullptr) return;
    if (tooltip != nullptr) gtk_widget_set_tooltip_text(widget, tooltip);
    AtkObject *access = gtk_widget_get_accessible(widget);
    if (name != nullptr) {
        atk_object_set_name(access, name);
        return;
    }
    GtkWidget *label = labelToTheLeft(widget);
    if (label == nullptr) return;
    if (gtk_label_get_mnemonic_widget(GTK_LABEL(label)) == nullptr) gtk_label_set_mnemonic_widget(GTK_LABEL(label), widget);
    gchar *text = g_strstrip(g_strdup(gtk_label_get_text(GTK_LABEL(label))));
    atk_object_set_name(access, text);
    g_free(text);
}
