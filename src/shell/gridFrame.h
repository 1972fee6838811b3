// Pieces shared by the two calculator windows: the framed grids with their
// style, the labels and the month choosers.
#ifndef VERANTA_SHELL_GRIDFRAME_H
#define VERANTA_SHELL_GRIDFRAME_H

#include <gtk/gtk.h>

// Registers the "section-title" and "normal-label" classes for the screen
// (once per run), then creates a frame named "grid_frame" without label or
// shadow, holding a new grid (row and column spacing 10) returned in *grid.
GtkWidget *beginGridFrame(GtkWidget **grid);

// Gives the frame its white border and padding (css_data, user priority).
void endGridFrame(GtkWidget *frame);

// A label with the given style class (none when styleClass is nullptr).
GtkWidget *classLabel(const char *text, const char *styleClass);

// A text combo box with the twelve month names, none active.
GtkWidget *monthChooser(void);

#endif
