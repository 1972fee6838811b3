// Windows built from UI definitions carry their definitions and style sheets
// inside the program; the first window to open registers them.
#include "ui/windowFiles.h"

#include <set>

extern "C" void veranta_register_resource(void);

void loadWindowStyle(const char *css_resource) {
    static bool registered = false;
    static std::set<std::string> applied;
    if (!registered) {
        veranta_register_resource();
        registered = true;
    }
    if (!applied.insert(css_resource).second) return;
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_resource(provider, css_resource);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}
