// Keys of the main window, and Ctrl+Q and F1 from every window: Escape
// closes the open panel as its close or dismiss button does, Enter in the
// location frame saves, Ctrl+Q quits, F1 opens the tutorial (or, with
// another window open, brings that one forward as the menu would).
#include "shell/shell.h"

namespace {

void press(GtkWidget *button) {
    if (button != nullptr && gtk_widget_is_sensitive(button)) gtk_button_clicked(GTK_BUTTON(button));
}

}  // namespace

gboolean onShellKey(GtkWidget *, GdkEventKey *event, gpointer data) {
    const guint mods = event->state & gtk_accelerator_get_default_mod_mask();
    if (mods == GDK_CONTROL_MASK && (event->keyval == GDK_KEY_q || event->keyval == GDK_KEY_Q)) {
        on_quit_activate(nullptr, nullptr);
        return TRUE;
    }
    if (event->keyval == GDK_KEY_F1 && mods == 0) {
        on_tutorial_activate(nullptr, nullptr);
        return TRUE;
    }
    // Data is set for the other windows: they handle Escape and Enter themselves.
    if (data != nullptr) return FALSE;
    if (event->keyval == GDK_KEY_Escape) {
        const struct { GtkWidget *frame, *close; } panels[] = {
            {error_frame, error_close}, {locale_frame, locale_close},     {t1_frame, t1_close},
            {t2_frame, t2_close},       {t3_frame, t3_close},             {tutorial_frame, tutorial_dismiss},
            {about_frame, about_dismiss},
        };
        for (const auto &p : panels) {
            if (p.frame != nullptr && gtk_widget_get_visible(p.frame)) {
                press(p.close);
                return TRUE;
            }
        }
        return FALSE;
    }
    if ((event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) && locale_frame != nullptr &&
        gtk_widget_get_visible(locale_frame) && GTK_IS_ENTRY(gtk_window_get_focus(GTK_WINDOW(window)))) {
        press(locale_save);
        return TRUE;
    }
    return FALSE;
}
