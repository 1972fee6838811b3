// How slopes are named, coloured and marked in every window that ranks them.
#include "ui/slopeFigures.h"

#include "ui/chartText.h"

#include <algorithm>
#include <cmath>

// An aspect in degrees, with its compass name on the eight main points.
gchar *aspectText(float aspect) {
    static const char *const names[8] = {"north", "north-east", "east", "south-east",
                                         "south", "south-west", "west", "north-west"};
    gchar *degrees = decimalText(aspect, std::fmod(aspect, 1.0f) == 0.0f ? 0 : 1);
    gchar *text;
    double eighth = aspect / 45.0;
    if (aspect >= 0.0f && aspect < 360.0f && eighth == std::floor(eighth))
        text = g_strdup_printf("%s° (%s)", degrees, names[static_cast<int>(eighth)]);
    else
        text = g_strdup_printf("%s°", degrees);
    g_free(degrees);
    return text;
}

// The stored site's mark, the same diamond on the compass and on the map.
void drawStoredMark(cairo_t *cr, double x, double y, double edge) {
    cairo_move_to(cr, x, y - 7.0);
    cairo_line_to(cr, x + 7.0, y);
    cairo_line_to(cr, x, y + 7.0);
    cairo_line_to(cr, x - 7.0, y);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, edge);
    cairo_stroke(cr);
}
