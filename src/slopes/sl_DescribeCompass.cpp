// What a screen reader says about the compass: its best slope by the chosen
// measure and the selection, the same words the window shows.
#include "slopes/slopes.h"

void sl_DescribeCompass(sl_window *w) {
    const sl_view *v = &w->view;
    AtkObject *access = gtk_widget_get_accessible(w->compass);
    if (!v->have) {
        atk_object_set_description(access, "No comparison yet: press Compare.");
        return;
    }
    gchar *aspect = aspectText(sl_GridAspect(v->best));
    gchar *tilt = decimalText(sl_GridTilt(v->best), 1);
    gchar *text = g_strdup_printf("Best slope by %s: aspect %s, tilt %s°. %s",
                                  v->by == BY_IRRADIATION ? "irradiation" : "degree days", aspect, tilt,
                                  gtk_label_get_text(GTK_LABEL(w->selected_title)));
    atk_object_set_description(access, text);
    g_free(text);
    g_free(tilt);
    g_free(aspect);
}
