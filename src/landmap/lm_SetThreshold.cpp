// The slider, the entry, the sentence, the map and the histogram follow one
// threshold; the image is made again since the faded cells change.
#include "landmap/landmap.h"

#include <cmath>

void lm_SetThreshold(lm_window *w, float threshold) {
    w->threshold = threshold;
    w->updating_threshold = true;
    gtk_adjustment_set_value(w->threshold_adj, threshold);
    gchar *t = decimalText(threshold, std::round(threshold) == threshold ? 0 : 1);
    gtk_entry_set_text(GTK_ENTRY(w->entry_threshold), t);
    g_free(t);
    w->updating_threshold = false;
    if (w->map == nullptr) return;
    gtk_label_set_text(GTK_LABEL(w->answer), answerText(*w->map, threshold).c_str());
    const bool by_irradiation = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w->colour_irr));
    lm_RenderImage(&w->image, w->map.get(), by_irradiation ? &w->irr_range : &w->gdd_range, by_irradiation, threshold);
    gtk_widget_queue_draw(w->map_area);
    gtk_widget_queue_draw(w->histogram);
}
