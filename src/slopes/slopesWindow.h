// The slope explorer (Calculate ▸ Compare slopes…): for the stored site and
// a season, the season's degree days and irradiation of every slope
// direction and steepness at once, as a compass chart and the months of one
// chosen slope, both exported. A GtkWindow whose template is slopes.ui.
#ifndef VERANTA_SLOPES_SLOPESWINDOW_H
#define VERANTA_SLOPES_SLOPESWINDOW_H

#include "slopes/slopesComparison.h"

#include <gtk/gtk.h>

#define SLOPES_TYPE_WINDOW (slopes_window_get_type())
G_DECLARE_FINAL_TYPE(SlopesWindow, slopes_window, SLOPES, WINDOW, GtkWindow)

// The explorer open now, or null; one at a time like every other window.
extern SlopesWindow *slopes_open;

// Opens and shows the explorer with the site from locale.txt and the usual
// season, above the parent window (none when null).
SlopesWindow *slopes_window_open(GtkWindow *parent);

// What the charts show now.
const slopes_view *slopes_window_get_view(SlopesWindow *self);
// True while a comparison runs.
bool slopes_window_is_comparing(SlopesWindow *self);
// What the file choosers do with the chosen name: the table (chart false) or
// the charts written there, the outcome said in the window's status line.
bool slopes_window_export_to(SlopesWindow *self, bool chart, const char *path);
// The selected slope's site report as PDF written there, said the same way.
bool slopes_window_save_report(SlopesWindow *self, const char *path);

#endif
