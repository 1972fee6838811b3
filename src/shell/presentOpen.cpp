// A menu item refused by the one-at-a-time rule brings the open panel or
// window to the front, so a calculator hidden behind the main window is
// never lost.
#include "shell/shell.h"

#include "landmap/landmapWindow.h"
#include "slopes/slopesWindow.h"
#include "stationwindow/stationWindow.h"

void presentOpen(void) {
    if (slopes_open != nullptr) {
        gtk_window_present(GTK_WINDOW(slopes_open));
    } else if (landmap_open != nullptr) {
        gtk_window_present(GTK_WINDOW(landmap_open));
    } else if (station_open != nullptr) {
        gtk_window_present(GTK_WINDOW(station_open));
    } else if (c1_window != nullptr && gtk_widget_get_visible(c1_window)) {
        gtk_window_present(GTK_WINDOW(c1_window));
    } else if (c2_window != nullptr && gtk_widget_get_visible(c2_window)) {
        gtk_window_present(GTK_WINDOW(c2_window));
    } else if (window != nullptr) {
        // A panel of the main window, or the warning in place of a calculator.
        gtk_window_present(GTK_WINDOW(window));
    }
}
