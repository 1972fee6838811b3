// Text as the windows' charts and exports write it: numbers with a decimal
// point whatever the desktop's language, and text placed or wrapped on a
// cairo drawing in a Pango font.
#ifndef VERANTA_UI_CHARTTEXT_H
#define VERANTA_UI_CHARTTEXT_H

#include <gtk/gtk.h>

// Text with a decimal point whatever the locale, never "-0.00"; owned by the
// caller.
gchar *decimalText(double value, int decimals);
// Text centred on (x, y) by xalign, yalign (0 left/top .. 1 right/bottom).
void drawText(cairo_t *cr, const char *text, const char *font, double x, double y, double xalign, double yalign);
// Text wrapped to a width, its left edge at x, its top (yalign 0) or bottom
// (yalign 1) at y; returns its height.
double drawTextBlock(cairo_t *cr, const char *text, const char *font, double x, double y, double width,
                     double yalign);

#endif
