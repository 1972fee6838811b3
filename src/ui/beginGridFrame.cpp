#include "ui/gridFrame.h"

namespace {

const char *const title_css =
    ".section-title {   font-family: Sans;   font-weight: bold;   font-size: 12pt; }\n";
const char *const label_css =
    ".normal-label {   font-family: Sans;   font-weight: bold;   font-size: 10pt; }\n";

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
