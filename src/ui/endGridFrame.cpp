#include "ui/gridFrame.h"

namespace {

const char *const css_data = "#grid_frame {  border: 2px solid white;  padding: 10px;}";

}  // namespace

void endGridFrame(GtkWidget *frame) {
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css_data, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(frame), GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_USER);
    g_object_unref(provider);
}
