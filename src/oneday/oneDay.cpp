// The one-day calculator window: its two framed grids, the button row and
// its handlers. Each opening builds a new window with a new widget record;
// the record goes when the window is destroyed (dismiss or window manager).
#include "oneday/oneday.h"

#include "model/model.h"
#include "shell/gridFrame.h"
#include "shell/shell.h"

namespace {

GtkWidget *locationEntry(float value) {
    GtkWidget *entry = gtk_entry_new();
    if (haveprefs == 1) {
        gchar *text = g_strdup_printf("%8.4f", static_cast<double>(value));
        gtk_entry_set_text(GTK_ENTRY(entry), text);
        g_free(text);
    }
    return entry;
}

GtkWidget *outputEntry(void) {
    GtkWidget *entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), "  ");
    return entry;
}

void attach(GtkWidget *grid, GtkWidget *child, int column, int row) {
    gtk_grid_attach(GTK_GRID(grid), child, column, row, 1, 1);
}

void attachLabel(GtkWidget *grid, const char *text, int column, int row) {
    attach(grid, classLabel(text, "normal-label"), column, row);
}

void packFixed(GtkWidget *box, GtkWidget *child) {
    gtk_box_pack_start(GTK_BOX(box), child, FALSE, FALSE, 0);
}

}  // namespace

GtkWidget *create_c1_grid1(c1_widgets *w) {
    c1_Initialize();

    GtkWidget *grid = nullptr;
    GtkWidget *frame = beginGridFrame(&grid);
    attach(grid, classLabel("     Input", "section-title"), 2, 0);

    const char *names[5] = {"latitude", "longitude", "elevation", "aspect", "tilt"};
    for (int i = 0; i < 5; i++) attachLabel(grid, names[i], 0, i + 1);
    w->entry_lat = locationEntry(active_latitude);
    w->entry_lon = locationEntry(active_longitude);
    w->entry_elev = locationEntry(active_elev);
    w->entry_aspect = locationEntry(active_aspect);
    w->entry_tilt = locationEntry(active_tilt);
    GtkWidget *location[5] = {w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt};
    for (int i = 0; i < 5; i++) attach(grid, location[i], 1, i + 1);

    attachLabel(grid, "day", 3, 2);
    attachLabel(grid, "month", 3, 3);
    attachLabel(grid, "year", 3, 4);
    w->entry_day = gtk_entry_new();
    attach(grid, w->entry_day, 4, 2);
    gtk_widget_grab_focus(w->entry_day);
    w->cbtxt_month = monthChooser();
    attach(grid, w->cbtxt_month, 4, 3);
    w->entry_year = gtk_entry_new();
    attach(grid, w->entry_year, 4, 4);

    endGridFrame(frame);
    return frame;
}

GtkWidget *create_c1_grid2(c1_widgets *w) {
    GtkWidget *grid = nullptr;
    GtkWidget *frame = beginGridFrame(&grid);
    attach(grid, classLabel("     Output", "section-title"), 2, 0);

    attachLabel(grid, "sunrise", 0, 1);
    attachLabel(grid, "sunset", 0, 2);
    w->entry_sunrise = outputEntry();
    w->entry_sunset = outputEntry();
    attach(grid, w->entry_sunrise, 1, 1);
    attach(grid, w->entry_sunset, 1, 2);

    attachLabel(grid, "irradiance", 3, 1);
    attachLabel(grid, "GDD", 3, 2);
    w->entry_irradiance = outputEntry();
    w->entry_gdd = outputEntry();
    attach(grid, w->entry_irradiance, 4, 1);
    attach(grid, w->entry_gdd, 4, 2);

    endGridFrame(frame);
    return frame;
}

void oneDay(void) {
    c1_widgets *w = g_new0(c1_widgets, 1);
    oneormany = 1;

    c1_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(c1_window), "GDD during one day");
    gtk_window_set_default_size(GTK_WINDOW(c1_window), 600, 470);
    gtk_window_set_position(GTK_WINDOW(c1_window), GTK_WIN_POS_CENTER);

    GtkWidget *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_container_add(GTK_CONTAINER(c1_window), box);
    gtk_container_set_border_width(GTK_CONTAINER(box), 10);
    packFixed(box, create_c1_grid1(w));
    packFixed(box, create_c1_grid2(w));

    GdkColor colour = {0, 0x3333, 0xEEEE, 0xCCCC};
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_modify_bg(c1_window, GTK_STATE_NORMAL, &colour);
    G_GNUC_END_IGNORE_DEPRECATIONS

    GtkWidget *buttons = gtk_grid_new();
    gtk_widget_set_size_request(buttons, 600, 30);
    gtk_grid_set_row_spacing(GTK_GRID(buttons), 10);
    gtk_grid_set_column_spacing(GTK_GRID(buttons), 100);
    packFixed(box, buttons);

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

    gtk_window_set_position(GTK_WINDOW(c1_window), GTK_WIN_POS_CENTER);
    gtk_widget_show_all(c1_window);
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
