// The season window: its two framed grids, the button row and its handlers.
#include "season/season.h"

#include "model/model.h"
#include "shell/shell.h"
#include "ui/gridFrame.h"
#include "ui/windowTools.h"

#include <cstdio>

namespace {

GtkWidget *sizedEntry(const char *text, int chars) {
    GtkWidget *entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    gtk_entry_set_width_chars(GTK_ENTRY(entry), chars);
    gtk_entry_set_max_width_chars(GTK_ENTRY(entry), chars);
    return entry;
}

}  // namespace

GtkWidget *create_c2_grid1(c2_widgets *w) {
    c2_Initialize();
    GtkWidget *grid;
    GtkWidget *frame = beginGridFrame(&grid);

    attachLabel(grid, "location", 1, 1);
    attachLabel(grid, "latitude", 0, 2);
    attachLabel(grid, "longitude", 0, 3);
    attachLabel(grid, "elevation", 0, 4);
    attachLabel(grid, "aspect", 0, 5);
    attachLabel(grid, "tilt", 0, 6);

    w->entry_lat = locationEntry(active_latitude);
    w->entry_lon = locationEntry(active_longitude);
    w->entry_elev = locationEntry(active_elev);
    w->entry_aspect = locationEntry(active_aspect);
    w->entry_tilt = locationEntry(active_tilt);
    attachCell(grid, w->entry_lat, 1, 2);
    attachCell(grid, w->entry_lon, 1, 3);
    attachCell(grid, w->entry_elev, 1, 4);
    attachCell(grid, w->entry_aspect, 1, 5);
    attachCell(grid, w->entry_tilt, 1, 6);

    attachLabel(grid, "day", 2, 2);
    attachLabel(grid, "month", 2, 3);
    attachLabel(grid, "year", 2, 4);

    attachLabel(grid, "start", 3, 1);
    w->entry_startday = sizedEntry("", 14);
    attachCell(grid, w->entry_startday, 3, 2);
    gtk_widget_grab_focus(w->entry_startday);
    w->cbtxt_startmonth = monthChooser();
    attachCell(grid, w->cbtxt_startmonth, 3, 3);

    w->entry_year = gtk_entry_new();
    gtk_entry_set_alignment(GTK_ENTRY(w->entry_year), 0.5f);
    gtk_grid_attach(GTK_GRID(grid), w->entry_year, 3, 4, 2, 1);

    w->label_month_order = classLabel("BAD MONTH ORDER", "normal-label");
    gtk_grid_attach(GTK_GRID(grid), w->label_month_order, 3, 5, 2, 1);
    gtk_widget_hide(w->label_month_order);

    attachLabel(grid, "stop", 4, 1);
    w->entry_stopday = sizedEntry("", 14);
    attachCell(grid, w->entry_stopday, 4, 2);
    w->cbtxt_stopmonth = monthChooser();
    attachCell(grid, w->cbtxt_stopmonth, 4, 3);

    // Tab: the site, then the season.
    GtkWidget *order[10] = {w->entry_lat,       w->entry_lon,      w->entry_elev,      w->entry_aspect,
                            w->entry_tilt,      w->entry_startday, w->cbtxt_startmonth, w->entry_stopday,
                            w->cbtxt_stopmonth, w->entry_year};
    focusChain(grid, order, 10);
    endGridFrame(frame);
    return frame;
}

GtkWidget *create_c2_grid2(c2_widgets *w) {
    GtkWidget *grid;
    GtkWidget *frame = beginGridFrame(&grid);

    attachLabel(grid, "output by month", 3, 0);
    attachLabel(grid, "cumulative output", 5, 0);
    attachLabel(grid, "month", 0, 1);
    attachLabel(grid, "days", 0, 2);

    w->entry_month = sizedEntry("", 12);
    w->entry_days = sizedEntry("", 12);
    attachCell(grid, w->entry_month, 1, 1);
    attachCell(grid, w->entry_days, 1, 2);

    attachCell(grid, classLabel("          ", nullptr), 2, 1);

    w->entry_month_irr = sizedEntry("  ", 14);
    w->entry_month_gdd = sizedEntry("  ", 14);
    attachCell(grid, w->entry_month_irr, 3, 1);
    attachCell(grid, w->entry_month_gdd, 3, 2);

    attachLabel(grid, "irradiance", 4, 1);
    attachLabel(grid, "deg days", 4, 2);

    w->entry_cum_irr = sizedEntry("  ", 14);
    w->entry_cum_gdd = sizedEntry("  ", 14);
    attachCell(grid, w->entry_cum_irr, 5, 1);
    attachCell(grid, w->entry_cum_gdd, 5, 2);

    endGridFrame(frame);
    return frame;
}

void manyDays(void) {
    c2_widgets *w = g_new0(c2_widgets, 1);
    oneormany = 2;

    GtkWidget *box = nullptr;
    c2_window = calculatorWindow("GDD during months", &box);
    // The record lives exactly as long as its window, however it is closed.
    g_signal_connect(c2_window, "destroy", G_CALLBACK(on_c2_window_destroy), w);

    packFixed(box, create_c2_grid1(w));
    packFixed(box, create_c2_grid2(w));

    GtkWidget *row = buttonRow(box);

    gtk_grid_attach(GTK_GRID(row), gtk_label_new(""), 0, 0, 1, 1);
    w->button_start = gtk_button_new_with_label("     start     ");
    gtk_widget_set_sensitive(w->button_start, FALSE);
    gtk_grid_attach(GTK_GRID(row), w->button_start, 1, 0, 1, 1);
    w->button_continue = gtk_button_new_with_label("continue");
    gtk_widget_set_sensitive(w->button_continue, FALSE);
    gtk_grid_attach(GTK_GRID(row), w->button_continue, 2, 0, 1, 1);
    w->button_close = gtk_button_new_with_label("     close     ");
    gtk_grid_attach(GTK_GRID(row), w->button_close, 3, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(row), gtk_label_new(""), 4, 0, 1, 1);

    g_signal_connect(w->cbtxt_startmonth, "changed", G_CALLBACK(on_c2_month_changed), w);
    g_signal_connect(w->cbtxt_stopmonth, "changed", G_CALLBACK(on_c2_month_changed), w);
    g_signal_connect(w->button_start, "clicked", G_CALLBACK(on_c2_start_clicked), w);
    g_signal_connect(w->button_continue, "clicked", G_CALLBACK(on_c2_continue_clicked), w);
    g_signal_connect(w->button_close, "clicked", G_CALLBACK(on_c2_close_clicked), w);

    describeSiteEntries(w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt);
    describeWidget(w->entry_startday, "start day", "first day of the season in the start month");
    describeWidget(w->cbtxt_startmonth, "start month", "first month of the season");
    describeWidget(w->entry_stopday, "stop day", "last day of the season in the stop month");
    describeWidget(w->cbtxt_stopmonth, "stop month", "last month of the season");
    describeWidget(w->entry_year, "year", "year of the season, 2000 to 2050");
    describeWidget(w->entry_month, nullptr, "the month shown");
    describeWidget(w->entry_days, nullptr, "days of the month within the season");
    const char *irr = "MJ/m² (mj/sqm): the direct beam of a clear sky only, no diffuse sky light, no light "
                      "reflected from the ground, no cloud";
    const char *gdd = "degree days Celsius above a base of 10 °C of an average season at a site of this "
                      "irradiation and elevation in the calibrated region (formulas fitted to long-run "
                      "weather-station records there, daily maxima capped at 30 °C, the air's pressure as at sea "
                      "level, 1013 mb, at every elevation); not a clear-sky season, not a given year, not the "
                      "site's own record";
    gchar *tip = g_strconcat("the month's irradiation on the slope, ", irr, nullptr);
    describeWidget(w->entry_month_irr, "irradiance of the month", tip);
    g_free(tip);
    tip = g_strconcat("the month's growing degree days, ", gdd, nullptr);
    describeWidget(w->entry_month_gdd, "deg days of the month", tip);
    g_free(tip);
    tip = g_strconcat("irradiation of the season so far, ", irr, nullptr);
    describeWidget(w->entry_cum_irr, "cumulative irradiance", tip);
    g_free(tip);
    tip = g_strconcat("growing degree days of the season so far, ", gdd, nullptr);
    describeWidget(w->entry_cum_gdd, "cumulative deg days", tip);
    g_free(tip);
    GtkWidget *chain[3] = {gtk_widget_get_parent(gtk_widget_get_parent(w->entry_lat)), row,
                           gtk_widget_get_parent(gtk_widget_get_parent(w->entry_month))};
    focusChain(box, chain, 3);
    // Enter continues a season under way, else starts one.
    GtkWidget *mains[2] = {w->button_continue, w->button_start};
    windowKeys(c2_window, w->button_close, mains, 2);

    gtk_widget_show_all(c2_window);
    gtk_widget_hide(w->label_month_order);
    gtk_widget_grab_focus(w->entry_lat);
}

void on_c2_month_changed(GtkWidget *, gpointer data) {
    c2_widgets *w = static_cast<c2_widgets *>(data);
    bool both = gtk_combo_box_get_active(GTK_COMBO_BOX(w->cbtxt_startmonth)) >= 0 &&
                gtk_combo_box_get_active(GTK_COMBO_BOX(w->cbtxt_stopmonth)) >= 0;
    gtk_widget_set_sensitive(w->button_start, both);
    gtk_widget_hide(w->label_month_order);
}

void on_c2_start_clicked(GtkWidget *, gpointer data) {
    c2_widgets *w = static_cast<c2_widgets *>(data);
    int retval = c2_CheckEntries(w);
    std::printf("retval is %d and error_watch is %d\n", retval, error_watch);
    std::fflush(stdout);

    switch (retval) {
    case 0:
        pass = 1;
        c2_ShowResult(w);
        // pass is 0 when the engine refused the location: that run is over.
        if (pass != 0) {
            gtk_widget_set_sensitive(w->button_start, FALSE);
            gtk_widget_set_sensitive(w->button_continue, TRUE);
        }
        break;
    case 1:
        gtk_widget_hide(c2_window);
        gtk_widget_show(error_frame);
        gtk_widget_set_sensitive(error_close, TRUE);
        break;
    case 2:
        gtk_entry_set_text(GTK_ENTRY(w->entry_startday), "BAD DAY");
        break;
    case 3:
        gtk_entry_set_text(GTK_ENTRY(w->entry_stopday), "BAD DAY");
        break;
    case 4:
        gtk_entry_set_text(GTK_ENTRY(w->entry_year), "BAD YEAR");
        break;
    case 5:
        gtk_widget_show(w->label_month_order);
        gtk_widget_set_sensitive(w->button_start, FALSE);
        break;
    default:
        break;
    }
}

void on_c2_continue_clicked(GtkWidget *, gpointer data) {
    pass = pass + 1;
    c2_ShowResult(static_cast<c2_widgets *>(data));
}

void on_c2_close_clicked(GtkWidget *button, gpointer) {
    gtk_widget_hide(c2_window);
    in_use = 0;
    // Never shown again: destroying it frees the record (destroy handler).
    gtk_widget_destroy(gtk_widget_get_toplevel(button));
}

void on_c2_window_destroy(GtkWidget *destroyed, gpointer data) {
    g_free(data);
    // Closing through the window manager must release the one-at-a-time
    // rule too, or no other dialog could be opened afterwards.
    if (destroyed == c2_window) {
        c2_window = nullptr;
        in_use = 0;
    }
}
