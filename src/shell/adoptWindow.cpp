// Every window the menu opens stays above the main window, and Ctrl+Q and F1
// work in it as in the main window.
#include "shell/shell.h"

void adoptWindow(GtkWidget *other) {
    if (other == nullptr) return;
    if (window != nullptr) gtk_window_set_transient_for(GTK_WINDOW(other), GTK_WINDOW(window));
    g_signal_connect(other, "key-press-event", G_CALLBACK(onShellKey), other);
}
