// What the explorer draws: the compass of slopes (its geometry, the
// drawing, what the pointer and a screen reader are told of it) and the
// selected slope's months.
#include "slopes/slopesCharts.h"

#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "ui/chartText.h"
#include "ui/slopeFigures.h"

#include <algorithm>
#include <cmath>

// The compass fills the height of its area, with room for the direction
// marks around it and the legend to its right.
slopes_compass slopes_compass_layout(double width, double height) {
    slopes_compass l{};
    const double legend = 115.0, margin = 34.0;
    double size = std::max(std::min(width - legend, height), 120.0);
    l.radius = size / 2.0 - margin;
    // Tilt 0 is the centre disc; each 2.5 degrees more is one band outwards.
    l.band = l.radius / (SLOPES_TILTS - 0.5);
    l.cx = std::max((width - legend) / 2.0, size / 2.0);
    l.cy = height / 2.0;
    l.legend_x = l.cx + size / 2.0 + 10.0;
    l.legend_w = 18.0;
    l.legend_h = std::min(l.radius * 1.2, height - 150.0);
    l.legend_y = l.cy - l.radius;
    return l;
}

void slopes_compass_place(const slopes_compass *l, float aspect, float tilt, double *x, double *y) {
    double a = aspect, t = tilt;
    if (t < 0.0) {
        t = -t;
        a += 180.0;
    }
    double r = std::fmin(t / 2.5 * l->band, l->radius);
    double rad = a * G_PI / 180.0;
    *x = l->cx + r * std::sin(rad);
    *y = l->cy - r * std::cos(rad);
}

// Which slope lies under a point of the compass: the stored slope's mark
// first (it may sit between cells), then the cell of aspect and tilt.
int slopes_compass_slope_at(const slopes_view *view, const slopes_compass *l, double x, double y) {
    if (view->have) {
        double sx, sy;
        slopes_compass_place(l, view->stored.aspect, view->stored.tilt, &sx, &sy);
        if (std::hypot(x - sx, y - sy) <= 7.0) return SLOPES_STORED;
    }
    double dx = x - l->cx, dy = y - l->cy;
    double r = std::hypot(dx, dy);
    if (r > l->radius) return -1;
    int tilt = static_cast<int>(std::lround(r / l->band));
    if (tilt > SLOPES_TILTS - 1) tilt = SLOPES_TILTS - 1;
    double degrees = std::atan2(dx, -dy) * 180.0 / G_PI;
    if (degrees < 0.0) degrees += 360.0;
    int aspect = static_cast<int>(std::lround(degrees / 15.0)) % SLOPES_ASPECTS;
    // Flat ground is one slope whatever its direction.
    if (tilt == 0) aspect = 0;
    return aspect * SLOPES_TILTS + tilt;
}

// The compass chart: aspect as the direction from the centre (north up),
// tilt as the distance, each slope's cell coloured by its season degree days
// or irradiation, with the stored, best, selected and hovered slopes marked
// and a legend.
namespace {

const double kInk[3] = {0.043, 0.302, 0.247};   // the window's dark green

double radians(double compassDegrees) { return (compassDegrees - 90.0) * G_PI / 180.0; }

// The annular sector of one grid slope.
void cellPath(cairo_t *cr, const slopes_compass *l, int index) {
    int tilt = index % SLOPES_TILTS;
    double aspect = slopes_grid_aspect(index);
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

double share(const slopes_view *v, int index) {
    if (v->high <= v->low) return 0.5;
    return (seasonMeasure(&v->results[index], v->by) - v->low) / (v->high - v->low);
}

void markCentre(const slopes_compass *l, int index, double *x, double *y) {
    slopes_compass_place(l, slopes_grid_aspect(index), slopes_grid_tilt(index), x, y);
}

void legend(cairo_t *cr, const slopes_view *v, const slopes_compass *l) {
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

void slopes_compass_draw(cairo_t *cr, const slopes_view *v, double width, double height) {
    slopes_compass l = slopes_compass_layout(width, height);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.984, 1.0, 0.992);
    cairo_fill(cr);

    // The cells, grey until there are numbers to colour them by.
    for (int i = 0; i < SLOPES_GRID; i++) {
        if (i % SLOPES_TILTS == 0 && i != 0) continue;  // flat ground is drawn once
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
        if (v->hover >= 0 && v->hover < SLOPES_GRID && v->hover != v->selected) {
            cellPath(cr, &l, v->hover);
            cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.6);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        }
        if (v->selected < SLOPES_GRID) {
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

        slopes_compass_place(&l, v->stored.aspect, v->stored.tilt, &x, &y);
        drawStoredMark(cr, x, y, 1.2);
        if (v->selected == SLOPES_STORED) {
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

// The compass fills the height of its area, with room for the direction
// marks around it and the legend to its right.
// The pointer's tooltip over a slope: its role, aspect and tilt, and its
// season's figures with their units; with a target, the date it is reached.
gchar *slopes_compass_tooltip(const slopes_view *v, int index) {
    float aspect = index == SLOPES_STORED ? v->stored.aspect : slopes_grid_aspect(index);
    float tilt = index == SLOPES_STORED ? v->stored.tilt : slopes_grid_tilt(index);
    gchar *a = aspectText(aspect);
    gchar *t = decimalText(tilt, 1);
    gchar *g = decimalText(v->results[index].season_degree_days, 2);
    gchar *i = decimalText(v->results[index].season_irradiation, 1);
    const char *role = index == SLOPES_STORED ? "stored slope"
                       : index != v->best     ? ""
                       : v->by == BY_IRRADIATION ? "sunniest slope"
                                                 : "best slope by degree days";
    gchar *text = g_strdup_printf("%s%saspect %s, tilt %s°\n%s degree days (°C above 10 °C)\n%s MJ/m² (clear-sky direct beam)",
                                  role, *role != '\0' ? "\n" : "", a, t, g, i);
    // With a target, the day this slope reaches it.
    if (v->target > 0.0) {
        const std::string date = targetDateText(v->season.year, v->target_days[index]);
        gchar *more = g_strdup_printf("%s\ntarget %s degree days: %s", text,
                                      slopes_target_number(v->target).c_str(), date.c_str());
        g_free(text);
        text = more;
    }
    g_free(a);
    g_free(t);
    g_free(g);
    g_free(i);
    return text;
}

// What a screen reader says about the compass: its best slope by the chosen
// measure and the selection, the same words the window shows.
gchar *slopes_compass_description(const slopes_view *v, const char *selection) {
    if (!v->have) return g_strdup("No comparison yet: press Compare.");
    gchar *aspect = aspectText(slopes_grid_aspect(v->best));
    gchar *tilt = decimalText(slopes_grid_tilt(v->best), 1);
    gchar *text = g_strdup_printf("Best slope by %s: aspect %s, tilt %s°. %s",
                                  v->by == BY_IRRADIATION ? "irradiation" : "degree days", aspect, tilt, selection);
    g_free(tilt);
    g_free(aspect);
    return text;
}

namespace {

// A grid slope as the window names it.
gchar *gridSlopeName(int index) {
    const float t = slopes_grid_tilt(index);
    if (t == 0.0f) return g_strdup("flat ground (tilt 0°)");
    gchar *aspect = aspectText(slopes_grid_aspect(index));
    gchar *tilt = decimalText(t, std::fmod(t, 1.0f) == 0.0f ? 0 : 1);
    gchar *name = g_strdup_printf("aspect %s, tilt %s°", aspect, tilt);
    g_free(tilt);
    g_free(aspect);
    return name;
}

}  // namespace

gchar *slopes_best_caveat(const slopes_view *v) {
    if (!v->have || v->by != BY_DEGREE_DAYS) return nullptr;
    int months[12];
    const int count = slopes_falling_months(v, v->best, months);
    if (count == 0) return nullptr;
    GString *which = g_string_new(nullptr);
    for (int i = 0; i < count; i++) {
        if (i > 0) g_string_append(which, i + 1 == count ? " and " : ", ");
        g_string_append(which, month_names[months[i] - 1]);
    }
    const int sunniest = slopes_best_by(v, BY_IRRADIATION);
    gchar *text;
    if (sunniest == v->best) {
        text = g_strdup_printf("Its %s lie where the formula gives fewer degree days for more sun; it is the best "
                               "slope by irradiation too.",
                               which->str);
    } else {
        gchar *name = gridSlopeName(sunniest);
        text = g_strdup_printf("Its %s lie where the formula gives fewer degree days for more sun; by irradiation "
                               "the best slope is %s.",
                               which->str, name);
        g_free(name);
    }
    g_string_free(which, TRUE);
    return text;
}

// The selected slope's months as the table and chart show them.
month_rows slopes_month_rows(const slopes_view *v) {
    month_rows rows = {};
    if (!v->have) return rows;
    const slope_season &s = v->results[v->selected];
    bool falling[12];
    seasonFallingMonths(&v->falls, &s, gddZone(v->site.latitude), falling);
    rows.count = seasonMonths(&v->season, rows.month, rows.first, rows.last);
    for (int i = 0; i < rows.count; i++) {
        int m = rows.month[i] - 1;
        rows.irradiation[i] = s.month_irradiation[m];
        rows.degree_days[i] = s.month_degree_days[m];
        rows.falling[i] = falling[m];
    }
    rows.total_irradiation = s.season_irradiation;
    rows.total_degree_days = s.season_degree_days;
    return rows;
}
