#include "ui/gridFrame.h"

GtkWidget *calculatorWindow(const char *title, GtkWidget **box) {
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), title);
    gtk_window_set_default_size(GTK_WINDOW(window), 600, 470);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    // The style sheet's dark text for our painted windows.
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "veranta");

    *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_container_add(GTK_CONTAINER(window), *box);
    gtk_container_set_border_width(GTK_CONTAINER(*box), 10);

    GdkColor colour = {0, 0x3333, 0xEEEE, 0xCCCC};
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_modify_bg(window, GTK_STATE_NORMAL, &colour);
    G_GNUC_END_IGNORE_DEPRECATIONS
    return window;
}
