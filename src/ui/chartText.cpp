// Text on the charts: numbers with a decimal point whatever the locale, text
// placed by its alignment, and text wrapped to a width.
#include "ui/chartText.h"

#include <pango/pangocairo.h>

// Text wrapped at word boundaries to a width, so a chart's sentences stay
// inside it however narrow the chart is drawn.
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

// Text placed by its alignment on a point, in the given Pango font.
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

// Numbers in the window and in exported files keep the decimal point on a
// decimal-comma desktop too: g_ascii_formatd ignores the locale.
gchar *decimalText(double value, int decimals) {
    char format[8];
    g_snprintf(format, sizeof format, "%%.%df", decimals);
    char buffer[G_ASCII_DTOSTR_BUF_SIZE];
    g_ascii_formatd(buffer, sizeof buffer, format, value);
    // "-0.00" for a tiny negative difference reads as a loss that is not there.
    if (buffer[0] == '-' && g_strtod(buffer, nullptr) == 0.0) return g_strdup(buffer + 1);
    return g_strdup(buffer);
}
