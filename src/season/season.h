// The growing-season calculator: a window that steps month by month through a
// season and keeps the running totals of irradiation and degree days.
#ifndef VERANTA_SEASON_SEASON_H
#define VERANTA_SEASON_SEASON_H

#include <gtk/gtk.h>

// The widgets of one season window; allocated zero-filled when the window is
// built, handed to every handler of the window, freed when it is destroyed.
struct c2_widgets {
    GtkWidget *entry_lat;
    GtkWidget *entry_lon;
    GtkWidget *entry_elev;
    GtkWidget *entry_aspect;
    GtkWidget *entry_tilt;
    GtkWidget *entry_startday;
    GtkWidget *entry_stopday;
    GtkWidget *entry_year;
    GtkWidget *cbtxt_startmonth;
    GtkWidget *cbtxt_stopmonth;
    GtkWidget *label_month_order;
    GtkWidget *entry_month;
    GtkWidget *entry_days;
    GtkWidget *entry_month_irr;
    GtkWidget *entry_month_gdd;
    GtkWidget *entry_cum_irr;
    GtkWidget *entry_cum_gdd;
    GtkWidget *button_start;
    GtkWidget *button_continue;
    GtkWidget *button_close;
};

// Builds and shows a new season window, stored in c2_window; oneormany = 2.
void manyDays(void);
GtkWidget *create_c2_grid1(c2_widgets *w);
GtkWidget *create_c2_grid2(c2_widgets *w);

// Reads locale.txt (sets haveprefs and the location) and the fixed parameters.
void c2_Initialize(void);
// 0 when a run may start; 1 location outside the region (warning armed),
// 2 bad start day, 3 bad stop day, 4 bad year, 5 bad month order.
int c2_CheckEntries(c2_widgets *w);
// True when the five location entries lie inside the calibrated region.
bool c2_LocaleOK(c2_widgets *w);
// Shows one month of the run: the first when pass is 1, else the next one.
void c2_ShowResult(c2_widgets *w);

void on_c2_month_changed(GtkWidget *combo, gpointer data);
void on_c2_start_clicked(GtkWidget *button, gpointer data);
void on_c2_continue_clicked(GtkWidget *button, gpointer data);
void on_c2_close_clicked(GtkWidget *button, gpointer data);
void on_c2_window_destroy(GtkWidget *window, gpointer data);

#endif
