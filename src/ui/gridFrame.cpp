// The framed grids of the two calculator windows, built in code as those
// windows always were: frames with their style, labels, month choosers,
// location entries and the row of buttons.
#include "ui/gridFrame.h"

#include "model/model.h"

namespace {

const char *const title_css =
    ".section-title {   font-family: Sans;   font-weight: bold;   font-size: 12pt; }\n";
const char *const label_css =
    ".normal-label {   font-family: Sans;   font-weight: bold;   font-size: 10pt; }\n";

const char *const css_data = "#grid_frame {  border: 2px solid white;  padding: 10px;}";

void addScreenStyle(const char *text) {
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, text, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace

GtkWidget *beginGridFrame(GtkWidget **grid) {
    // The screen keeps the providers; registering them once keeps repeated
    // openings from piling up identical style sheets.
    static bool registered = false;
    if (!registered) {
        addScreenStyle(title_css);
        addScreenStyle(label_css);
        registered = true;
    }
    GtkWidget *frame = gtk_frame_new(nullptr);
    gtk_widget_set_name(frame, "grid_frame");
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_NONE);
    *grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(*grid), 10);
    gtk_grid_set_column_spacing(GTK_GRID(*grid), 10);
    gtk_container_add(GTK_CONTAINER(frame), *grid);
    return frame;
}

void endGridFrame(GtkWidget *frame) {
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css_data, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(frame), GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_USER);
    g_object_unref(provider);
}

GtkWidget *classLabel(const char *text, const char *styleClass) {
    GtkWidget *label = gtk_label_new(text);
    if (styleClass != nullptr) gtk_style_context_add_class(gtk_widget_get_style_context(label), styleClass);
    return label;
}

void attachCell(GtkWidget *grid, GtkWidget *child, int column, int row) {
    gtk_grid_attach(GTK_GRID(grid), child, column, row, 1, 1);
}

void attachLabel(GtkWidget *grid, const char *text, int column, int row) {
    attachCell(grid, classLabel(text, "normal-label"), column, row);
}

void packFixed(GtkWidget *box, GtkWidget *child) {
    gtk_box_pack_start(GTK_BOX(box), child, FALSE, FALSE, 0);
}

GtkWidget *calculatorWindow(const char *title, GtkWidget **box) {
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), title);
    gtk_window_set_default_size(GTK_WINDOW(window), 600, 470);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    // The style sheet's dark text for our painted windows.
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "veranta");

    *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_container_add(GTK_CONTAINER(window), *box);
    gtk_container_set_border_width(GTK_CONTAINER(*box), 10);

    GdkColor colour = {0, 0x3333, 0xEEEE, 0xCCCC};
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_modify_bg(window, GTK_STATE_NORMAL, &colour);
    G_GNUC_END_IGNORE_DEPRECATIONS
    return window;
}

GtkWidget *buttonRow(GtkWidget *box) {
    GtkWidget *row = gtk_grid_new();
    gtk_widget_set_size_request(row, 600, 30);
    gtk_grid_set_row_spacing(GTK_GRID(row), 10);
    gtk_grid_set_column_spacing(GTK_GRID(row), 100);
    packFixed(box, row);
    return row;
}

GtkWidget *monthChooser(void) {
    GtkWidget *box = gtk_combo_box_text_new();
    for (const char *name : month_names) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(box), name);
    return box;
}

GtkWidget *locationEntry(float value) {
    GtkWidget *entry = gtk_entry_new();
    if (haveprefs == 1) {
        gchar *text = g_strdup_printf("%8.4f", static_cast<double>(value));
        gtk_entry_set_text(GTK_ENTRY(entry), text);
        g_free(text);
    }
    return entry;
}

void showNumber(GtkWidget *entry, const char *format, float value) {
    gchar *text = g_strdup_printf(format, static_cast<double>(value));
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    g_free(text);
}
