// The stored site's mark, the same diamond on the compass and on the map.
#include "ui/monthRows.h"

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
