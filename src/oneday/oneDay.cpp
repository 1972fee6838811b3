// The one-day calculator window: its two framed grids, the button row and
// its handlers. Each opening builds a new window with a new widget record;
// the record goes when the window is destroyed (dismiss or window manager).
#include "oneday/oneday.h"

#include "model/model.h"
#include "shell/shell.h"
#include "ui/gridFrame.h"
#include "ui/windowTools.h"

namespace {

const char *const riseSetNote =
    "Sunrise and sunset are when the middle of the sun is on a flat horizon, so they come about "
    "four minutes after the sunrise and before the sunset that newspapers and weather sites give "
    "(up to about eleven minutes far north or south).";

GtkWidget *outputEntry(void) {
    GtkWidget *entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), "  ");
    return entry;
}

}  // namespace

GtkWidget *create_c1_grid1(c1_widgets *w) {
    c1_Initialize();

    GtkWidget *grid = nullptr;
    GtkWidget *frame = beginGridFrame(&grid);
    attachCell(grid, classLabel("     Input", "section-title"), 2, 0);

    const char *names[5] = {"latitude", "longitude", "elevation", "aspect", "tilt"};
    for (int i = 0; i < 5; i++) attachLabel(grid, names[i], 0, i + 1);
    w->entry_lat = locationEntry(active_latitude);
    w->entry_lon = locationEntry(active_longitude);
    w->entry_elev = locationEntry(active_elev);
    w->entry_aspect = locationEntry(active_aspect);
    w->entry_tilt = locationEntry(active_tilt);
    GtkWidget *location[5] = {w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt};
    for (int i = 0; i < 5; i++) attachCell(grid, location[i], 1, i + 1);

    attachLabel(grid, "day", 3, 2);
    attachLabel(grid, "month", 3, 3);
    attachLabel(grid, "year", 3, 4);
    w->entry_day = gtk_entry_new();
    attachCell(grid, w->entry_day, 4, 2);
    gtk_widget_grab_focus(w->entry_day);
    w->cbtxt_month = monthChooser();
    attachCell(grid, w->cbtxt_month, 4, 3);
    w->entry_year = gtk_entry_new();
    attachCell(grid, w->entry_year, 4, 4);

    // Tab: the site, then the date.
    GtkWidget *order[8] = {w->entry_lat,   w->entry_lon, w->entry_elev,    w->entry_aspect,
                           w->entry_tilt, w->entry_day, w->cbtxt_month, w->entry_year};
    focusChain(grid, order, 8);
    endGridFrame(frame);
    return frame;
}

GtkWidget *create_c1_grid2(c1_widgets *w) {
    GtkWidget *grid = nullptr;
    GtkWidget *frame = beginGridFrame(&grid);
    attachCell(grid, classLabel("     Output", "section-title"), 2, 0);

    attachLabel(grid, "sunrise", 0, 1);
    attachLabel(grid, "sunset", 0, 2);
    w->entry_sunrise = outputEntry();
    w->entry_sunset = outputEntry();
    attachCell(grid, w->entry_sunrise, 1, 1);
    attachCell(grid, w->entry_sunset, 1, 2);

    attachLabel(grid, "irradiance", 3, 1);
    attachLabel(grid, "GDD", 3, 2);
    w->entry_irradiance = outputEntry();
    w->entry_gdd = outputEntry();
    attachCell(grid, w->entry_irradiance, 4, 1);
    attachCell(grid, w->entry_gdd, 4, 2);

    // The same moments on the grower's own clock, once calculated.
    w->label_computer_clock = gtk_label_new("");
    gtk_label_set_line_wrap(GTK_LABEL(w->label_computer_clock), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(w->label_computer_clock), 70);
    gtk_label_set_xalign(GTK_LABEL(w->label_computer_clock), 0.0f);
    gtk_grid_attach(GTK_GRID(grid), w->label_computer_clock, 0, 3, 5, 1);

    // Growers compare these times with the newspaper's; say why they differ.
    GtkWidget *note = gtk_label_new(riseSetNote);
    gtk_label_set_line_wrap(GTK_LABEL(note), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(note), 70);
    gtk_label_set_xalign(GTK_LABEL(note), 0.0f);
    gtk_grid_attach(GTK_GRID(grid), note, 0, 4, 5, 1);

    endGridFrame(frame);
    return frame;
}

void oneDay(void) {
    c1_widgets *w = g_new0(c1_widgets, 1);
    oneormany = 1;

    GtkWidget *box = nullptr;
    c1_window = calculatorWindow("GDD during one day", &box);
    packFixed(box, create_c1_grid1(w));
    packFixed(box, create_c1_grid2(w));

    GtkWidget *buttons = buttonRow(box);

    GtkWidget *spacer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_widget_set_size_request(spacer, 75, 30);
    gtk_grid_attach(GTK_GRID(buttons), spacer, 0, 0, 1, 1);

    w->button_calculate = gtk_button_new_with_label(" calculate ");
    gtk_widget_set_sensitive(w->button_calculate, FALSE);
    gtk_grid_attach(GTK_GRID(buttons), w->button_calculate, 1, 0, 1, 1);
    g_signal_connect(w->button_calculate, "clicked", G_CALLBACK(on_c1_calculate_clicked), w);

    w->button_dismiss = gtk_button_new_with_label("  dismiss  ");
    gtk_grid_attach(GTK_GRID(buttons), w->button_dismiss, 2, 0, 1, 1);
    g_signal_connect(w->button_dismiss, "clicked", G_CALLBACK(on_c1_dismiss_clicked), nullptr);

    g_signal_connect(w->cbtxt_month, "changed", G_CALLBACK(on_c1_cbtxt_month_changed), w->button_calculate);
    // Dismiss and the window manager's close both end here; the record lives
    // exactly as long as its window.
    g_signal_connect(c1_window, "destroy", G_CALLBACK(on_c1_window_destroy), w);

    describeSiteEntries(w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt);
    describeWidget(w->entry_day, nullptr, "day of the month");
    describeWidget(w->cbtxt_month, "month", "month of the day");
    describeWidget(w->entry_year, nullptr, "year, 2000 to 2050");
    describeWidget(w->entry_sunrise, nullptr,
                   "sunrise on the standard clock of the zone nearest the site: the centre of the sun on a flat "
                   "horizon");
    describeWidget(w->entry_sunset, nullptr,
                   "sunset on the standard clock of the zone nearest the site: the centre of the sun on a flat "
                   "horizon");
    describeWidget(w->entry_irradiance, nullptr,
                   "the day's irradiation on the slope, MJ/m² (mj/sqm): the direct beam of a clear sky only, "
                   "no diffuse sky light, no light reflected from the ground, no cloud");
    describeWidget(w->entry_gdd, nullptr,
                   "the day's share of the month's growing degree days: degree days Celsius above a base of "
                   "10 °C of an average season at a site of this irradiation and elevation in the calibrated "
                   "region (formulas fitted to long-run weather-station records there, daily maxima capped at "
                   "30 °C, the air's pressure as at sea level, 1013 mb, at every elevation); not a clear-sky "
                   "season, not a given year, not the site's own record");
    GtkWidget *chain[3] = {gtk_widget_get_parent(gtk_widget_get_parent(w->entry_lat)), buttons,
                           gtk_widget_get_parent(gtk_widget_get_parent(w->entry_sunrise))};
    focusChain(box, chain, 3);
    windowKeys(c1_window, w->button_dismiss, &w->button_calculate, 1);

    gtk_window_set_position(GTK_WINDOW(c1_window), GTK_WIN_POS_CENTER);
    gtk_widget_show_all(c1_window);
    gtk_widget_grab_focus(w->entry_lat);
}

void on_c1_calculate_clicked(GtkWidget *, gpointer data) {
    c1_widgets *w = static_cast<c1_widgets *>(data);
    switch (c1_CheckEntries(w)) {
        case C1_OK:
            c1_ShowResult(w);
            break;
        case C1_OUTSIDE_REGION:
            gtk_widget_hide(c1_window);
            gtk_widget_show(error_frame);
            gtk_widget_set_sensitive(error_close, TRUE);
            break;
        case C1_BAD_DAY:
            gtk_entry_set_text(GTK_ENTRY(w->entry_day), "BAD DAY");
            break;
        case C1_BAD_YEAR:
            gtk_entry_set_text(GTK_ENTRY(w->entry_year), "BAD YEAR");
            break;
        default:
            break;
    }
}

void on_c1_cbtxt_month_changed(GtkWidget *, gpointer data) {
    if (data != nullptr) gtk_widget_set_sensitive(GTK_WIDGET(data), TRUE);
}

void on_c1_dismiss_clicked(GtkWidget *, gpointer) {
    // Destroying rather than hiding: a dismissed window is never shown again.
    in_use = 0;
    if (c1_window != nullptr) gtk_widget_destroy(c1_window);
}

void on_c1_window_destroy(GtkWidget *widget, gpointer data) {
    g_free(data);
    if (c1_window == widget) {
        c1_window = nullptr;
        in_use = 0;
    }
}
