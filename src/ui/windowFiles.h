// What the windows share around files: the status line that says how an
// export went, the Save dialog of an export, and drawings saved by the
// name's ending.
#ifndef VERANTA_UI_WINDOWFILES_H
#define VERANTA_UI_WINDOWFILES_H

#include <gtk/gtk.h>

#include <string>
#include <vector>

// A status line's text, marked "failed" for the style sheets or not; the
// line is one line, so the whole text is its tooltip too.
void showStatus(GtkWidget *status, const char *text, bool failed);
// How an export went: "<what> written to <file>", or that the file was not
// written and why (why may be null).
void showExportOutcome(GtkWidget *status, const char *what, const char *path, bool ok, const char *why);

// A filter of file name endings ("tif"), in either case: a camera or a
// Windows share may write ".TIF".
void addFileFilter(GtkFileChooser *chooser, const char *name, const std::vector<std::string> &endings);

// Asks where to write an export: a Save dialog, modal above parent, that
// starts in the user's documents folder (exports are the grower's documents,
// not the program's data folder) with a suggested name and one filter. A
// chosen name goes to chosen(data, kind, path). *open holds the dialog while
// it is open; nothing happens while one is. A window that goes first closes
// it (or any dialog it keeps so) with closeChooser.
void chooseExport(GtkWindow *parent, GtkFileChooserNative **open, const char *title, const char *name,
                  const char *filter, const std::vector<std::string> &endings,
                  void (*chosen)(gpointer data, int kind, const char *path), gpointer data, int kind);
void closeChooser(GtkFileChooserNative **open);

// Draws width × height points with draw(cr, data) and saves them as PNG, SVG
// or PDF by the name's ending, replaced whole or not at all; on failure false
// with *error set ("the <what> could not be drawn", or the writer's reason).
bool saveDrawing(const char *path, double width, double height, void (*draw)(cairo_t *cr, const void *data),
                 const void *data, const char *what, GError **error);

#endif
