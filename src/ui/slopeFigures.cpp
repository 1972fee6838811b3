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

// Cool blue for the slopes with the fewest degree days through pale yellow
// to deep red for the most: warmth reads as warm colour.
void scaleColour(double t, double *r, double *g, double *b) {
    static const double stops[6][3] = {{0.192, 0.212, 0.584}, {0.271, 0.459, 0.706}, {0.671, 0.851, 0.914},
                                       {0.996, 0.878, 0.565}, {0.957, 0.427, 0.263}, {0.647, 0.000, 0.149}};
    t = std::clamp(t, 0.0, 1.0);
    double at = t * 5.0;
    int i = std::min(static_cast<int>(at), 4);
    double f = at - i;
    *r = stops[i][0] + (stops[i + 1][0] - stops[i][0]) * f;
    *g = stops[i][1] + (stops[i + 1][1] - stops[i][1]) * f;
    *b = stops[i][2] + (stops[i + 1][2] - stops[i][2]) * f;
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
