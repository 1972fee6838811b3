// Driving the real program in GUI tests: a private working folder with the UI
// definition and style sheet, the program's own start-up, and small helpers
// to press, type and read widgets. Every test runs in its own process.
#ifndef VERANTA_TESTS_GUI_SUPPORT_H
#define VERANTA_TESTS_GUI_SUPPORT_H

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace gui {

// Creates a fresh temporary folder, copies veranta.glade and veranta.css into
// it (each only when asked) and makes it the working folder. Returns its path.
std::string enterTempDir(bool withGlade = true, bool withCss = true);

// Opens the display, trying again for a while when the X server refuses the
// connection. Returns whether it succeeded; start-up's own gtk_init then finds
// the toolkit initialised instead of ending the process.
bool connectDisplay();

// enterTempDir() and then the program's start-up; fails the test when the
// start-up does not succeed or there is no display.
void start();

// Lets GTK handle everything pending (redraws, map and unmap, signals).
void pump();

// Lets the main loop run until done() holds, or seconds have gone (twice as
// many under the sanitizers); whether it holds. A test waits for the state a
// window shows, never a set time.
bool await(const std::function<bool()> &done, double seconds = 100);

void activate(GtkWidget *menuItem);
void click(GtkWidget *button);
std::string text(GtkWidget *entry);
void setText(GtkWidget *entry, const char *value);
bool visible(GtkWidget *widget);
bool sensitive(GtkWidget *widget);

// Chooses the item with the given text in a text combo box.
void choose(GtkWidget *comboBoxText, const char *item);

// A child of a window built from a template (a widget or another object of
// the template), by its id there; null when the template has none.
GObject *templateObject(GtkWidget *window, const char *id);
GtkWidget *templateChild(GtkWidget *window, const char *id);

// The grids inside a window, depth first, in packing order.
std::vector<GtkWidget *> grids(GtkWidget *window);
// The child of a grid at (column, row), or nullptr.
GtkWidget *cell(GtkWidget *grid, int column, int row);

// Writes a file in the working folder.
void writeFile(const char *name, const std::string &content);
// Reads a whole file; sets *exists to false when it cannot be opened.
std::string readFile(const char *name, bool *exists = nullptr);

}  // namespace gui

#endif
