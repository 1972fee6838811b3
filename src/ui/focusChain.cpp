#include "ui/windowTools.h"

void focusChain(GtkWidget *container, GtkWidget *const *children, int count) {
    GList *chain = nullptr;
    for (int i = count - 1; i >= 0; i--) chain = g_list_prepend(chain, children[i]);
    // Still the one way in GTK 3 to order Tab across a grid's rows and columns.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(container), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}
