// What makes every window reachable and alike: the keys that close it or
// press its main button, names and tooltips for its fields, its Tab order,
// and the definitions and style sheets the program carries.
#include "ui/windowTools.h"

#include <set>
#include <string>
#include <vector>

// Escape and Enter for a window. Enter on a focused button or list is that
// widget's own; in an entry (or with nothing focused) it presses the main
// button, as a calculate or start would be pressed by mouse.
namespace {

struct keys {
    GtkWidget *close;
    std::vector<GtkWidget *> mains;
};

gboolean onKey(GtkWidget *window, GdkEventKey *event, gpointer data) {
    const keys *k = static_cast<const keys *>(data);
    if (event->keyval == GDK_KEY_Escape && k->close != nullptr) {
        if (gtk_widget_is_sensitive(k->close)) gtk_button_clicked(GTK_BUTTON(k->close));
        return TRUE;
    }
    if (event->keyval != GDK_KEY_Return && event->keyval != GDK_KEY_KP_Enter) return FALSE;
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (focus != nullptr && !GTK_IS_ENTRY(focus)) return FALSE;
    for (GtkWidget *button : k->mains) {
        if (gtk_widget_is_sensitive(button) && gtk_widget_get_visible(button)) {
            gtk_button_clicked(GTK_BUTTON(button));
            return TRUE;
        }
    }
    return FALSE;
}

void freeKeys(gpointer data, GClosure *) { delete static_cast<keys *>(data); }

}  // namespace

void windowKeys(GtkWidget *window, GtkWidget *close, GtkWidget *const *mains, int count) {
    keys *k = new keys{close, std::vector<GtkWidget *>(mains, mains + count)};
    g_signal_connect_data(window, "key-press-event", G_CALLBACK(onKey), k, freeKeys, GConnectFlags(0));
}

namespace {

GtkWidget *labelToTheLeft(GtkWidget *widget) {
    GtkWidget *parent = gtk_widget_get_parent(widget);
    if (!GTK_IS_GRID(parent)) return nullptr;
    int left = 0, top = 0;
    gtk_container_child_get(GTK_CONTAINER(parent), widget, "left-attach", &left, "top-attach", &top, nullptr);
    GtkWidget *label = left > 0 ? gtk_grid_get_child_at(GTK_GRID(parent), left - 1, top) : nullptr;
    return GTK_IS_LABEL(label) ? label : nullptr;
}

}  // namespace

void describeWidget(GtkWidget *widget, const char *name, const char *tooltip) {
    if (widget == nullptr) return;
    if (tooltip != nullptr) gtk_widget_set_tooltip_text(widget, tooltip);
    AtkObject *access = gtk_widget_get_accessible(widget);
    if (name != nullptr) {
        atk_object_set_name(access, name);
        return;
    }
    GtkWidget *label = labelToTheLeft(widget);
    if (label == nullptr) return;
    if (gtk_label_get_mnemonic_widget(GTK_LABEL(label)) == nullptr) gtk_label_set_mnemonic_widget(GTK_LABEL(label), widget);
    gchar *text = g_strstrip(g_strdup(gtk_label_get_text(GTK_LABEL(label))));
    atk_object_set_name(access, text);
    g_free(text);
}

// The five site fields mean the same in every window, so they say it in the
// same words, with the range the degree-day formulas are calibrated for.
void describeSiteEntries(GtkWidget *latitude, GtkWidget *longitude, GtkWidget *elevation, GtkWidget *aspect,
                         GtkWidget *tilt) {
    describeWidget(latitude, nullptr, "latitude of the site, degrees, north positive (calibrated 42 to 46)");
    describeWidget(longitude, nullptr, "longitude of the site, degrees, west negative (calibrated −124 to −122.5)");
    describeWidget(elevation, nullptr, "elevation, metres above sea level (calibrated 100 to 600 m)");
    describeWidget(aspect, nullptr, "aspect: the way the slope faces, degrees clockwise from north; 180 is south");
    describeWidget(tilt, nullptr, "tilt: steepness of the slope, degrees from level ground (calibrated −10 to 30)");
}

void focusChain(GtkWidget *container, GtkWidget *const *children, int count) {
    GList *chain = nullptr;
    for (int i = count - 1; i >= 0; i--) chain = g_list_prepend(chain, children[i]);
    // Still the one way in GTK 3 to order Tab across a grid's rows and columns.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(container), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

namespace {

void measureLines(GtkWidget *label, gpointer data) {
    const int lines = GPOINTER_TO_INT(data);
    std::string sample = "Xg";
    for (int i = 1; i < lines; i++) sample += "\nXg";
    PangoLayout *layout = gtk_widget_create_pango_layout(label, sample.c_str());
    int height = 0;
    pango_layout_get_pixel_size(layout, nullptr, &height);
    g_object_unref(layout);
    GtkStyleContext *style = gtk_widget_get_style_context(label);
    GtkBorder padding{}, border{};
    gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
    gtk_style_context_get_border(style, gtk_style_context_get_state(style), &border);
    height += padding.top + padding.bottom + border.top + border.bottom;
    int width = -1, now = -1;
    gtk_widget_get_size_request(label, &width, &now);
    if (now != height) gtk_widget_set_size_request(label, width, height);
}

}  // namespace

void holdLines(GtkWidget *label, int lines) {
    gtk_label_set_lines(GTK_LABEL(label), lines);
    measureLines(label, GINT_TO_POINTER(lines));
    g_signal_connect(label, "style-updated", G_CALLBACK(measureLines), GINT_TO_POINTER(lines));
}

// Windows built from UI definitions carry their definitions and style sheets
// inside the program; the first window to open registers them.
extern "C" void veranta_register_resource(void);

void registerWindowResources(void) {
    static bool registered = false;
    if (registered) return;
    veranta_register_resource();
    registered = true;
}

void loadWindowStyle(const char *css_resource) {
    static std::set<std::string> applied;
    registerWindowResources();
    if (!applied.insert(css_resource).second) return;
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_resource(provider, css_resource);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}
