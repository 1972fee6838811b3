// The one-day calculator: a window built in code that shows sunrise, sunset,
// the day's irradiation and the day's share of the month's degree days for
// one date at the stored site.
#ifndef VERANTA_ONEDAY_ONEDAY_H
#define VERANTA_ONEDAY_ONEDAY_H

#include <gtk/gtk.h>

// The widgets of one window; allocated when the window is built and freed
// when it is destroyed.
struct c1_widgets {
    GtkWidget *entry_lat;
    GtkWidget *entry_lon;
    GtkWidget *entry_elev;
    GtkWidget *entry_aspect;
    GtkWidget *entry_tilt;
    GtkWidget *entry_day;
    GtkWidget *cbtxt_month;
    GtkWidget *entry_year;
    GtkWidget *entry_sunrise;
    GtkWidget *entry_sunset;
    GtkWidget *entry_irradiance;
    GtkWidget *entry_gdd;
    // Under the sunrise and sunset: the same moments on this computer's
    // clock, or which clock they are on.
    GtkWidget *label_computer_clock;
    GtkWidget *button_calculate;
    GtkWidget *button_dismiss;
};

// Results of c1_CheckEntries.
constexpr int C1_OK = 0;
constexpr int C1_OUTSIDE_REGION = 1;
constexpr int C1_BAD_DAY = 2;
constexpr int C1_BAD_YEAR = 3;

// Builds and shows a new window, stored in c1_window; sets oneormany to 1.
void oneDay(void);
// The input frame (fields 1 to 8) and the output frame (fields 9 to 12).
GtkWidget *create_c1_grid1(c1_widgets *w);
GtkWidget *create_c1_grid2(c1_widgets *w);

// Reads locale.txt (haveprefs, the site) and sets the fixed parameters.
void c1_Initialize(void);
// One of the C1_ codes above; the first failing check decides.
int c1_CheckEntries(c1_widgets *w);
// True when all five location entries lie inside the calibrated region.
bool c1_LocaleOK(c1_widgets *w);
// Reads the entries, computes and fills the four output entries.
void c1_ShowResult(c1_widgets *w);

extern "C" {
void on_c1_calculate_clicked(GtkWidget *button, gpointer data);
void on_c1_cbtxt_month_changed(GtkWidget *combo, gpointer data);
void on_c1_dismiss_clicked(GtkWidget *button, gpointer data);
void on_c1_window_destroy(GtkWidget *widget, gpointer data);
}

#endif
