// Making every window reachable by keyboard and screen reader: names and
// tooltips for its fields, its Tab order, and the keys that close it or
// press its main button; and the UI definitions and style sheets carried in
// the program.
#ifndef VERANTA_UI_WINDOWTOOLS_H
#define VERANTA_UI_WINDOWTOOLS_H

#include <gtk/gtk.h>

// Gives a field its accessible name and a tooltip (either may be null). With
// no name, the field takes the text of the label to its left in its grid,
// which then also labels it for assistive tools.
void describeWidget(GtkWidget *widget, const char *name, const char *tooltip);

// The latitude, longitude, elevation, aspect and tilt fields of a site, with
// their units and calibrated ranges.
void describeSiteEntries(GtkWidget *latitude, GtkWidget *longitude, GtkWidget *elevation, GtkWidget *aspect,
                         GtkWidget *tilt);

// The order Tab takes through a container's children (count of them).
void focusChain(GtkWidget *container, GtkWidget *const *children, int count);

// Escape presses close; Enter in an entry presses the first of the main
// buttons (count of them) that can be pressed now.
void windowKeys(GtkWidget *window, GtkWidget *close, GtkWidget *const *mains, int count);

// Keeps a label exactly lines lines of its font tall, whatever its text (up
// to that many lines), now and when its style changes, so that a text that
// changes under the pointer moves nothing around it.
void holdLines(GtkWidget *label, int lines);

// Registers the program's resources (UI definitions, style sheets) once; a
// window class whose template is among them calls it before using it.
void registerWindowResources(void);
// Registers the resources and applies a style sheet among them to the screen
// (once per sheet).
void loadWindowStyle(const char *css_resource);

#endif
