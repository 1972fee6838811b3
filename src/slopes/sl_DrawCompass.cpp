// The compass chart: aspect as the direction from the centre (north up),
// tilt as the distance, each slope's cell coloured by its season degree days
// or irradiation, with the stored, best, selected and hovered slopes marked
// and a legend.
#include "slopes/slopes.h"

#include <cmath>

namespace {

const double kInk[3] = {0.043, 0.302, 0.247};   // the window's dark green

double radians(double compassDegrees) { return (compassDegrees - 90.0) * G_PI / 180.0; }

// The annular sector of one grid slope.
void cellPath(cairo_t *cr, const sl_compass_layout *l, int index) {
    int tilt = index % SL_TILTS;
    double aspect = sl_GridAspect(index);
    if (tilt == 0) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, l->cx, l->cy, 0.5 * l->band, 0.0, 2.0 * G_PI);
        return;
    }
    double inner = (tilt - 0.5) * l->band, outer = (tilt + 0.5) * l->band;
    double a0 = radians(aspect - 7.5), a1 = radians(aspect + 7.5);
    cairo_new_sub_path(cr);
    cairo_arc(cr, l->cx, l->cy, outer, a0, a1);
    cairo_arc_negative(cr, l->cx, l->cy, inner, a1, a0);
    cairo_close_path(cr);
}

double share(const sl_view *v, int index) {
    if (v->high <= v->low) return 0.5;
    return (seasonMeasure(&v->results[index], v->by) - v->low) / (v->high - v->low);
}

void markCentre(const sl_compass_layout *l, int index, double *x, double *y) {
    sl_SlopePlace(l, sl_GridAspect(index), sl_GridTilt(index), x, y);
}

void legend(cairo_t *cr, const sl_view *v, const sl_compass_layout *l) {
    double x = l->legend_x, y = l->legend_y, w = l->legend_w, h = l->legend_h;
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    // Degree days Celsius above 10 °C, or the clear-sky direct beam in MJ/m².
    drawText(cr, v->by == BY_IRRADIATION ? "MJ/m² (beam)" : "degree days", "Sans Bold 9", x, y - 6.0, 0.0, 1.0);
    if (v->have) {
        cairo_pattern_t *scale = cairo_pattern_create_linear(0.0, y + h, 0.0, y);
        for (int i = 0; i <= 10; i++) {
            double r, g, b;
            scaleColour(i / 10.0, &r, &g, &b);
            cairo_pattern_add_color_stop_rgb(scale, i / 10.0, r, g, b);
        }
        cairo_rectangle(cr, x, y, w, h);
        cairo_set_source(cr, scale);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(scale);
    } else {
        cairo_rectangle(cr, x, y, w, h);
        cairo_set_source_rgb(cr, 0.88, 0.92, 0.90);
        cairo_fill_preserve(cr);
    }
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (v->have) {
        for (int i = 0; i <= 4; i++) {
            double value = v->low + (v->high - v->low) * i / 4.0;
            double ty = y + h - h * i / 4.0;
            cairo_move_to(cr, x + w, ty);
            cairo_line_to(cr, x + w + 4.0, ty);
            cairo_stroke(cr);
            gchar *text = decimalText(value, v->high - v->low < 20.0 ? 1 : 0);
            drawText(cr, text, "Sans 8.5", x + w + 7.0, ty, 0.0, 0.5);
            g_free(text);
        }
    }
    // The marks' key under the scale.
    double ky = y + h + 26.0;
    cairo_set_line_width(cr, 2.0);
    cairo_arc(cr, x + 9.0, ky, 6.0, 0.0, 2.0 * G_PI);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_stroke(cr);
    drawText(cr, v->by == BY_IRRADIATION ? "sunniest slope" : "best slope", "Sans 8.5", x + 22.0, ky, 0.0, 0.5);
    ky += 22.0;
    cairo_move_to(cr, x + 9.0, ky - 7.0);
    cairo_line_to(cr, x + 16.0, ky);
    cairo_line_to(cr, x + 9.0, ky + 7.0);
    cairo_line_to(cr, x + 2.0, ky);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_fill(cr);
    drawText(cr, "stored slope", "Sans 8.5", x + 22.0, ky, 0.0, 0.5);
    ky += 22.0;
    cairo_rectangle(cr, x + 3.0, ky - 6.0, 12.0, 12.0);
    cairo_set_source_rgb(cr, 0.0, 0.55, 0.45);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke(cr);
    drawText(cr, "selected", "Sans 8.5", x + 22.0, ky, 0.0, 0.5);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    drawText(cr, "centre: flat", "Sans Italic 8.5", x, ky + 26.0, 0.0, 0.5);
    drawText(cr, "rings: tilt", "Sans Italic 8.5", x, ky + 42.0, 0.0, 0.5);
}

}  // namespace

void sl_DrawCompass(cairo_t *cr, const sl_view *v, double width, double height) {
    sl_compass_layout l = sl_CompassLayout(width, height);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.984, 1.0, 0.992);
    cairo_fill(cr);

    // The cells, grey until there are numbers to colour them by.
    for (int i = 0; i < SL_GRID; i++) {
        if (i % SL_TILTS == 0 && i != 0) continue;  // flat ground is drawn once
        cellPath(cr, &l, i);
        if (v->have) {
            double r, g, b;
            scaleColour(share(v, i), &r, &g, &b);
            cairo_set_source_rgb(cr, r, g, b);
        } else {
            cairo_set_source_rgb(cr, 0.88, 0.92, 0.90);
        }
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }

    // Tilt rings every 10 degrees through the cells of that tilt, and the
    // four main directions.
    cairo_set_source_rgba(cr, kInk[0], kInk[1], kInk[2], 0.55);
    cairo_set_line_width(cr, 1.0);
    const double dash[] = {3.0, 3.0};
    cairo_set_dash(cr, dash, 2, 0.0);
    for (int t = 10; t <= 30; t += 10) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, l.cx, l.cy, t / 2.5 * l.band, 0.0, 2.0 * G_PI);
    }
    cairo_move_to(cr, l.cx, l.cy - l.radius);
    cairo_line_to(cr, l.cx, l.cy + l.radius);
    cairo_move_to(cr, l.cx - l.radius, l.cy);
    cairo_line_to(cr, l.cx + l.radius, l.cy);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    cairo_set_line_width(cr, 1.2);
    cairo_arc(cr, l.cx, l.cy, l.radius, 0.0, 2.0 * G_PI);
    cairo_stroke(cr);

    // Ticks every 15 degrees, N/E/S/W in bold and the diagonals lighter.
    static const char *const marks[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    for (int a = 0; a < 360; a += 15) {
        double rad = radians(a);
        double inner = l.radius, outer = l.radius + (a % 45 == 0 ? 7.0 : 4.0);
        cairo_move_to(cr, l.cx + inner * std::cos(rad), l.cy + inner * std::sin(rad));
        cairo_line_to(cr, l.cx + outer * std::cos(rad), l.cy + outer * std::sin(rad));
        cairo_stroke(cr);
        if (a % 45 != 0) continue;
        double tr = l.radius + 18.0;
        bool main = a % 90 == 0;
        drawText(cr, marks[a / 45], main ? "Sans Bold 12" : "Sans 8.5", l.cx + tr * std::cos(rad),
                    l.cy + tr * std::sin(rad), 0.5, 0.5);
    }

    // Ring labels on a pale ground, between north and north-east.
    for (int t = 10; t <= 30; t += 10) {
        double r = t / 2.5 * l.band, rad = radians(22.5);
        double x = l.cx + r * std::cos(rad), y = l.cy + r * std::sin(rad);
        gchar *text = g_strdup_printf("%d°", t);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
        cairo_rectangle(cr, x - 13.0, y - 8.0, 26.0, 16.0);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        drawText(cr, text, "Sans Bold 8.5", x, y, 0.5, 0.5);
        g_free(text);
    }

    if (v->have) {
        // Hover and selection outline their cell; the stored slope, which may
        // lie between cells, is a diamond.
        if (v->hover >= 0 && v->hover < SL_GRID && v->hover != v->selected) {
            cellPath(cr, &l, v->hover);
            cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.6);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        }
        if (v->selected < SL_GRID) {
            cellPath(cr, &l, v->selected);
            cairo_set_source_rgb(cr, 0.0, 0.55, 0.45);
            cairo_set_line_width(cr, 3.0);
            cairo_stroke(cr);
        }
        double x, y;
        markCentre(&l, v->best, &x, &y);
        cairo_arc(cr, x, y, 6.0, 0.0, 2.0 * G_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);

        sl_SlopePlace(&l, v->stored.aspect, v->stored.tilt, &x, &y);
        drawStoredMark(cr, x, y, 1.2);
        if (v->selected == SL_STORED) {
            cairo_rectangle(cr, x - 10.0, y - 10.0, 20.0, 20.0);
            cairo_set_source_rgb(cr, 0.0, 0.55, 0.45);
            cairo_set_line_width(cr, 3.0);
            cairo_stroke(cr);
        }
    } else {
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        drawText(cr, "no comparison yet", "Sans Italic 10", l.cx, l.cy + l.radius * 0.5, 0.5, 0.5);
    }
    legend(cr, v, &l);
    cairo_restore(cr);
}
