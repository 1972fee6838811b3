// Widget handles of the main window, one per object id of veranta.glade,
// the loaded UI definition, the start-up steps and the bound handlers.
#ifndef VERANTA_SHELL_SHELL_H
#define VERANTA_SHELL_SHELL_H

#include <gtk/gtk.h>

extern GtkBuilder *builder;

extern GtkWidget *window;
extern GtkWidget *fixed0;
extern GtkWidget *menu1;
extern GtkWidget *startlogging;
extern GtkWidget *savelog;
extern GtkWidget *locale;
extern GtkWidget *quit;
extern GtkWidget *oneday;
extern GtkWidget *months;
extern GtkWidget *slopes;
extern GtkWidget *landmap;
extern GtkWidget *station;
extern GtkWidget *testoneinstant;
extern GtkWidget *testoneday;
extern GtkWidget *testgrowingseason;
extern GtkWidget *tutorial;
extern GtkWidget *about;
extern GtkWidget *t1_frame;
extern GtkWidget *t1_fixed;
extern GtkWidget *t1_entry1;
extern GtkWidget *t1_entry2;
extern GtkWidget *t1_entry3;
extern GtkWidget *t1_entry4;
extern GtkWidget *t1_entry5;
extern GtkWidget *t1_entry6;
extern GtkWidget *t1_entry7;
extern GtkWidget *t1_entry8;
extern GtkWidget *t1_entry9;
extern GtkWidget *t1_entry10;
extern GtkWidget *t1_entry11;
extern GtkWidget *t1_entry12;
extern GtkWidget *t1_calculate;
extern GtkWidget *t1_close;
extern GtkWidget *t1_topband;
extern GtkWidget *t1_explanation;
extern GtkWidget *t2_calculate;
extern GtkWidget *t2_close;
extern GtkWidget *t2_frame;
extern GtkWidget *t2_fixed;
extern GtkWidget *t2_frame1;
extern GtkWidget *t2_fixed1;
extern GtkWidget *t2_entry1;
extern GtkWidget *t2_entry2;
extern GtkWidget *t2_entry3;
extern GtkWidget *t2_topband;
extern GtkWidget *t3_frame;
extern GtkWidget *t3_fixed;
extern GtkWidget *t3_box;
extern GtkWidget *t3_grid;
extern GtkWidget *t3_calculate;
extern GtkWidget *t3_close;
extern GtkWidget *t3_entry1;
extern GtkWidget *t3_entry2;
extern GtkWidget *t3_entry3;
extern GtkWidget *t3_entry4;
extern GtkWidget *t3_entry5;
extern GtkWidget *t3_entry6;
extern GtkWidget *t3_entry7;
extern GtkWidget *t3_entry8;
extern GtkWidget *t3_topband;
extern GtkWidget *error_frame;
extern GtkWidget *error_fixed;
extern GtkWidget *error_topband;
extern GtkWidget *error_box;
extern GtkWidget *error_grid;
extern GtkWidget *error_close;
extern GtkWidget *c1_window;
extern GtkWidget *c2_window;
extern GtkWidget *locale_frame;
extern GtkWidget *locale_fixed;
extern GtkWidget *locale_entry_lat;
extern GtkWidget *locale_entry_lon;
extern GtkWidget *locale_entry_elev;
extern GtkWidget *locale_entry_aspect;
extern GtkWidget *locale_entry_tilt;
extern GtkWidget *locale_clear;
extern GtkWidget *locale_save;
extern GtkWidget *locale_close;
extern GtkWidget *locale_topband;
// Not one of the described ids: the line under the fields that says why a
// Save or Clear did not happen. May be missing from an older definition.
extern GtkWidget *locale_message;
extern GtkWidget *tutorial_frame;
extern GtkWidget *tutorial_fixed;
extern GtkWidget *tutorial_dismiss;
extern GtkWidget *about_frame;
extern GtkWidget *about_fixed;
extern GtkWidget *about_dismiss;

// Everything main does before the main loop: toolkit, UI definition, handlers,
// widget handles, colours, style sheet, main window shown, frames hidden.
// Returns 0, or 1 when the UI definition cannot be loaded (after one line on
// the standard error stream; no window is shown then).
int startUp(int *argc, char ***argv);
void buildWidgets(GtkBuilder *ui);
void colorWidgets(void);
// Accessible names, tooltips with units and Tab order of the main window's
// panels, from their labels.
void describeMainWindow(void);
// Brings the open panel or window to the front.
void presentOpen(void);
// Key presses of the main window (data null) and of the other windows (data
// set): Ctrl+Q, F1, and in the main window Escape and Enter for its panels.
gboolean onShellKey(GtkWidget *widget, GdkEventKey *event, gpointer data);
// A window the shell opened: above the main window, with its keys.
void adoptWindow(GtkWidget *other);
// A window that is destroyed when closed (the explorer, the map of the land):
// however it goes, the one-at-a-time rule is released then.
void releaseWhenGone(GtkWidget *other);

// The application id: program name, window class and icon name, as the
// desktop entry and the installed icons have it.
extern const char *const veranta_app_id;


// Handlers bound by name from the UI definition.
extern "C" {
void on_locale_activate(GtkWidget *widget, gpointer data);
void on_locale_clear_clicked(GtkWidget *widget, gpointer data);
void on_locale_save_clicked(GtkWidget *widget, gpointer data);
void on_locale_close_clicked(GtkWidget *widget, gpointer data);
void on_quit_activate(GtkWidget *widget, gpointer data);
void on_oneday_activate(GtkWidget *widget, gpointer data);
void on_months_activate(GtkWidget *widget, gpointer data);
void on_error_close_clicked(GtkWidget *widget, gpointer data);
void on_testoneinstant_activate(GtkWidget *widget, gpointer data);
void on_t1_calculate_clicked(GtkWidget *widget, gpointer data);
void on_t1_close_clicked(GtkWidget *widget, gpointer data);
void on_testoneday_activate(GtkWidget *widget, gpointer data);
void on_t2_calculate_clicked(GtkWidget *widget, gpointer data);
void on_t2_close_clicked(GtkWidget *widget, gpointer data);
void on_testgrowingseason_activate(GtkWidget *widget, gpointer data);
void on_t3_calculate_clicked(GtkWidget *widget, gpointer data);
void on_t3_close_clicked(GtkWidget *widget, gpointer data);
void on_tutorial_activate(GtkWidget *widget, gpointer data);
void on_tutorial_dismiss_clicked(GtkWidget *widget, gpointer data);
void on_about_activate(GtkWidget *widget, gpointer data);
void on_about_dismiss_clicked(GtkWidget *widget, gpointer data);
// Not bound by the definition: connected at start-up.
void on_slopes_activate(GtkWidget *widget, gpointer data);
void on_landmap_activate(GtkWidget *widget, gpointer data);
void on_station_activate(GtkWidget *widget, gpointer data);
}

#endif
