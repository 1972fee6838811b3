// Pieces shared by the two calculator windows: the framed grids with their
// style, the labels and the month choosers.
#ifndef VERANTA_UI_GRIDFRAME_H
#define VERANTA_UI_GRIDFRAME_H

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

// A location entry: the value as "%8.4f" when locale.txt was read, else empty.
GtkWidget *locationEntry(float value);

// Places a widget in one cell of a grid, or a "normal-label" label.
void attachCell(GtkWidget *grid, GtkWidget *child, int column, int row);
void attachLabel(GtkWidget *grid, const char *text, int column, int row);

// Packs a child at the start of a box, neither expanded nor filled.
void packFixed(GtkWidget *box, GtkWidget *child);

// A new calculator window (600 x 470, centred, frame colour) holding a
// vertical box, returned in *box, with a border of 10.
GtkWidget *calculatorWindow(const char *title, GtkWidget **box);

// Shows a single-precision result in an entry, formatted by a printf format
// that takes one double.
void showNumber(GtkWidget *entry, const char *format, float value);

// The row of buttons under the frames, packed into the box.
GtkWidget *buttonRow(GtkWidget *box);

#endif
