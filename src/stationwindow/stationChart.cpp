// Drawing the running season totals. The years run from blue (the first)
// to red (the last); an incomplete season is dashed and pale, since its
// total misses days.
#include "stationwindow/stationChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char *const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void text(cairo_t *cr, const char *t, double x, double y, double xalign, double yalign, bool bold = false) {
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *font = pango_font_description_from_string(bold ? "Sans Bold 9" : "Sans 9");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, t, -1);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    cairo_move_to(cr, x - xalign * w, y - yalign * h);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

// A step of 1, 2, 2.5 or 5 times a power of ten giving at most about 6 lines.
double gridStep(double top) {
    const double raw = top / 6.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * power >= raw) return f * power;
    return 10.0 * power;
}

void yearColour(cairo_t *cr, double share, double alpha) {
    // From #2c7bb6 to #d7191c.
    cairo_set_source_rgba(cr, (44 + share * (215 - 44)) / 255.0, (123 + share * (25 - 123)) / 255.0,
                          (182 + share * (28 - 182)) / 255.0, alpha);
}

}  // namespace

std::vector<double> station_estimate_month_ends(const station_figures &figures, const station_comparison &comparison) {
    std::vector<double> ends;
    if (comparison.years.empty()) return ends;
    double total = 0.0;
    for (int m = figures.season.start_month; m <= figures.season.stop_month; m++) {
        double sum = 0.0;
        for (const estimate_year &e : comparison.years) sum += estimateOf(e, m);
        total += sum / static_cast<double>(comparison.years.size());
        ends.push_back(total);
    }
    return ends;
}

void station_draw_chart(cairo_t *cr, const station_figures *figures, const station_comparison *comparison,
                      const GdkRGBA *ink, double width, double height) {
    cairo_save(cr);
    gdk_cairo_set_source_rgba(cr, ink);
    if (figures == nullptr || figures->years.empty()) {
        text(cr, figures == nullptr ? "Open a station's daily temperatures to see each year's season here."
                                    : "The file holds no day of this season.",
             width / 2, height / 2, 0.5, 0.5);
        cairo_restore(cr);
        return;
    }
    const double left = 64, right = 16, top = 52, bottom = 30;
    const double plotW = std::max(10.0, width - left - right), plotH = std::max(10.0, height - top - bottom);
    const std::vector<year_figures> &years = figures->years;
    size_t days = 0;
    double most = figures->target;
    for (const year_figures &y : years) {
        days = std::max(days, y.running.size());
        if (!y.running.empty()) most = std::max(most, y.running.back());
    }
    std::vector<double> ends;
    if (comparison != nullptr) ends = station_estimate_month_ends(*figures, *comparison);
    if (!ends.empty()) most = std::max(most, ends.back());
    if (!(most > 0.0)) most = 100.0;
    const double step = gridStep(most * 1.05);
    const double yTop = std::ceil(most * 1.05 / step) * step;
    auto X = [&](double i) { return left + (days > 1 ? i / static_cast<double>(days - 1) : 0.0) * plotW; };
    auto Y = [&](double v) { return top + plotH - v / yTop * plotH; };

    // Grid, degree days on the left, months along the bottom.
    cairo_set_line_width(cr, 1.0);
    for (double v = 0.0; v <= yTop + 1e-9; v += step) {
        cairo_set_source_rgba(cr, ink->red, ink->green, ink->blue, v == 0.0 ? 0.6 : 0.15);
        cairo_move_to(cr, left, std::round(Y(v)) + 0.5);
        cairo_line_to(cr, left + plotW, std::round(Y(v)) + 0.5);
        cairo_stroke(cr);
        char label[32];
        std::snprintf(label, sizeof label, "%.0f", v);
        gdk_cairo_set_source_rgba(cr, ink);
        text(cr, label, left - 6, Y(v), 1.0, 0.5);
    }
    cairo_save(cr);
    cairo_translate(cr, 12, top + plotH / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, "degree days (°C above 10 °C)", 0, 0, 0.5, 0.5);
    cairo_restore(cr);
    const year_figures &first = years.front();
    double at = 0.0;
    for (const month_figures &m : first.months) {
        cairo_set_source_rgba(cr, ink->red, ink->green, ink->blue, 0.15);
        cairo_move_to(cr, std::round(X(at)) + 0.5, top);
        cairo_line_to(cr, std::round(X(at)) + 0.5, top + plotH);
        cairo_stroke(cr);
        gdk_cairo_set_source_rgba(cr, ink);
        text(cr, kMonthNames[m.month - 1], X(at + m.days / 2.0), top + plotH + 4, 0.5, 0.0);
        at += m.days;
    }

    // The years, oldest first so the latest lie on top.
    const int y0 = years.front().year, y1 = years.back().year;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const year_figures &y : years) {
        const double share = y1 > y0 ? static_cast<double>(y.year - y0) / (y1 - y0) : 1.0;
        yearColour(cr, share, y.complete ? 0.9 : 0.45);
        const double dash[] = {5.0, 4.0};
        cairo_set_dash(cr, dash, y.complete ? 0 : 2, 0.0);
        cairo_set_line_width(cr, 1.4);
        for (size_t i = 0; i < y.running.size(); i++) {
            if (i == 0)
                cairo_move_to(cr, X(0), Y(y.running[0]));
            else
                cairo_line_to(cr, X(static_cast<double>(i)), Y(y.running[i]));
        }
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0.0);

    // The estimate: its months joined by straight lines from 0 at the season's start.
    if (!ends.empty()) {
        gdk_cairo_set_source_rgba(cr, ink);
        cairo_set_line_width(cr, 3.5);
        cairo_move_to(cr, X(0), Y(0));
        double end = -1.0;
        for (size_t k = 0; k < ends.size() && k < first.months.size(); k++) {
            end += first.months[k].days;
            cairo_line_to(cr, X(end), Y(ends[k]));
        }
        cairo_stroke(cr);
    }

    // The target as a rule across the chart.
    if (figures->target > 0.0) {
        const double dash[] = {8.0, 4.0};
        cairo_set_dash(cr, dash, 2, 0.0);
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, ink->red, ink->green, ink->blue, 0.8);
        cairo_move_to(cr, left, Y(figures->target));
        cairo_line_to(cr, left + plotW, Y(figures->target));
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0.0);
        char label[64];
        std::snprintf(label, sizeof label, "target %g", figures->target);
        gdk_cairo_set_source_rgba(cr, ink);
        text(cr, label, left + 6, Y(figures->target) - 2, 0.0, 1.0, true);
    }

    // The legend above the chart.
    char legend[256];
    std::snprintf(legend, sizeof legend, "Each year's running season total, %d (blue) to %d (red); dashed: incomplete.", y0, y1);
    gdk_cairo_set_source_rgba(cr, ink);
    text(cr, legend, left, 4, 0.0, 0.0);
    std::snprintf(legend, sizeof legend, "%s%s. Rule: %s.",
                  ends.empty() ? "No estimate without the station's site" : "Bold: the estimate, an average season at the site",
                  figures->target > 0.0 ? "; dashed rule: the target" : "", gddRuleName(figures->rule));
    text(cr, legend, left, 22, 0.0, 0.0);
    cairo_restore(cr);
}
