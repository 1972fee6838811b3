// Text placed by its alignment on a point, in the given Pango font.
#include "ui/monthRows.h"

#include <pango/pangocairo.h>

void drawText(cairo_t *cr, const char *text, const char *font, double x, double y, double xalign,
                 double yalign) {
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *description = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    int width, height;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_move_to(cr, x - xalign * width, y - yalign * height);
    pango_cairo_show_layout(cr, layout);
    // No current point is left behind for the next path to start from.
    cairo_new_path(cr);
    pango_font_description_free(description);
    g_object_unref(layout);
}
