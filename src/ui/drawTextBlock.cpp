// Text wrapped at word boundaries to a width, so a chart's sentences stay
// inside it however narrow the chart is drawn.
#include "ui/monthRows.h"

#include <pango/pangocairo.h>

double drawTextBlock(cairo_t *cr, const char *text, const char *font, double x, double y, double width,
                     double yalign) {
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *description = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_width(layout, static_cast<int>(width > 1.0 ? width : 1.0) * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, text, -1);
    int w, h;
    pango_layout_get_pixel_size(layout, &w, &h);
    cairo_move_to(cr, x, y - yalign * h);
    pango_cairo_show_layout(cr, layout);
    cairo_new_path(cr);
    pango_font_description_free(description);
    g_object_unref(layout);
    return h;
}
