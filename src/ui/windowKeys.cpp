// Escape and Enter for a window. Enter on a focused button or list is that
// widget's own; in an entry (or with nothing focused) it presses the main
// button, as a calculate or start would be pressed by mouse.
#include "ui/windowTools.h"

#include <vector>

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
