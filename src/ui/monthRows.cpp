// A slope's months as the windows show them: a chart, a table, the sentence
// that explains a marked month, and the months a season takes.
#include "ui/monthRows.h"

#include "model/model.h"

#include <algorithm>
#include <cmath>

// The chart: each month's degree days as a bar on the left scale, the
// running total as a line on the right scale. A month where the formula
// gives fewer degree days for more sun is hatched and starred, with the
// reason under the chart.
namespace {

const double kInk[3] = {0.043, 0.302, 0.247};

// A round step for about four divisions of the range.
double niceStep(double range) {
    if (!(range > 0.0)) return 1.0;
    double raw = range / 4.0, power = std::pow(10.0, std::floor(std::log10(raw)));
    double f = raw / power;
    return (f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0) * power;
}

}  // namespace

void drawMonthChart(cairo_t *cr, const month_rows *rows, double width, double height) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.984, 1.0, 0.992);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    // A narrow chart wraps its sentences rather than cutting them at the edge.
    double title = drawTextBlock(cr, "degree days above 10 °C: by month (bars), running total (line)", "Sans Bold 9",
                                 12.0, 8.0, width - 24.0, 0.0);

    bool marked = false;
    for (int i = 0; rows != nullptr && i < rows->count; i++) marked = marked || rows->falling[i];
    double note = 0.0;
    if (marked && rows->count > 0) {
        cairo_set_source_rgb(cr, 0.35, 0.22, 0.0);
        // The short form of fallingNote(), which the window says in full.
        note = drawTextBlock(cr, "* more sun gives fewer degree days here: compare by irradiation", "Sans Italic 8",
                             12.0, height - 4.0, width - 24.0, 1.0) + 6.0;
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    }
    const double left = 42.0, right = width - 46.0, top = 8.0 + title + 14.0, bottom = height - 30.0 - note;
    int count = rows != nullptr ? rows->count : 0;
    if (count == 0 || right - left < 40.0 || bottom - top < 40.0) {
        drawText(cr, "no comparison yet", "Sans Italic 10", width / 2.0, height / 2.0, 0.5, 0.5);
        cairo_restore(cr);
        return;
    }

    double monthMax = 0.0, total = 0.0;
    for (int i = 0; i < count; i++) {
        monthMax = std::max(monthMax, static_cast<double>(rows->degree_days[i]));
        total += rows->degree_days[i];
    }
    double stepL = niceStep(monthMax), stepR = niceStep(total);
    double topL = std::max(stepL, std::ceil(monthMax / stepL) * stepL);
    double topR = std::max(stepR, std::ceil(total / stepR) * stepR);

    // Grid lines and both scales.
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i <= 4; i++) {
        double y = bottom - (bottom - top) * i / 4.0;
        cairo_set_source_rgba(cr, kInk[0], kInk[1], kInk[2], i == 0 ? 0.8 : 0.15);
        cairo_move_to(cr, left, y);
        cairo_line_to(cr, right, y);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        gchar *l = decimalText(topL * i / 4.0, stepL < 4.0 ? 1 : 0);
        drawText(cr, l, "Sans 8", left - 6.0, y, 1.0, 0.5);
        g_free(l);
        cairo_set_source_rgb(cr, 0.60, 0.10, 0.15);
        gchar *r = decimalText(topR * i / 4.0, stepR < 4.0 ? 1 : 0);
        drawText(cr, r, "Sans 8", right + 6.0, y, 0.0, 0.5);
        g_free(r);
    }

    double slot = (right - left) / count, barW = std::min(slot * 0.62, 46.0);
    double running = 0.0;
    double px = 0.0, py = 0.0;
    for (int i = 0; i < count; i++) {
        double value = rows->degree_days[i];
        double x = left + slot * (i + 0.5);
        double h = (bottom - top) * value / topL;
        cairo_rectangle(cr, x - barW / 2.0, bottom - h, barW, h);
        cairo_set_source_rgb(cr, 0.20, 0.62, 0.52);
        if (rows->falling[i]) {
            // Hatched in amber: this bar is not comparable by its height.
            cairo_set_source_rgb(cr, 0.93, 0.66, 0.18);
            cairo_fill_preserve(cr);
            cairo_save(cr);
            cairo_clip(cr);
            cairo_set_source_rgba(cr, 0.35, 0.22, 0.0, 0.55);
            cairo_set_line_width(cr, 1.5);
            for (double d = -h; d < barW + h; d += 7.0) {
                cairo_move_to(cr, x - barW / 2.0 + d, bottom);
                cairo_line_to(cr, x - barW / 2.0 + d + h, bottom - h);
            }
            cairo_stroke(cr);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
            drawText(cr, "*", "Sans Bold 11", x, bottom - h - 2.0, 0.5, 1.0);
        } else {
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        char abbreviation[4];
        g_strlcpy(abbreviation, month_names[rows->month[i] - 1], sizeof abbreviation);
        // Narrow slots get a smaller type so that neighbours do not run together.
        drawText(cr, abbreviation, slot < 26.0 ? "Sans 7" : "Sans 8.5", x, bottom + 5.0, 0.5, 0.0);

        running += value;
        double y = bottom - (bottom - top) * running / topR;
        cairo_set_source_rgb(cr, 0.60, 0.10, 0.15);
        cairo_set_line_width(cr, 2.0);
        if (i > 0) {
            cairo_move_to(cr, px, py);
            cairo_line_to(cr, x, y);
            cairo_stroke(cr);
        }
        cairo_arc(cr, x, y, 3.0, 0.0, 2.0 * G_PI);
        cairo_fill(cr);
        px = x;
        py = y;
    }
    cairo_restore(cr);
}

// A slope's months as table rows: marked months carry a star and a tinted
// background so that they read as "compare by irradiation".
void monthTable(GtkListStore *store, const month_rows *rows) {
    gtk_list_store_clear(store);
    int days = 0;
    for (int i = 0; i < rows->count; i++) {
        gchar *range = g_strdup_printf("%d - %d", rows->first[i], rows->last[i]);
        gchar *irr = decimalText(rows->irradiation[i], 1);
        gchar *gdd = decimalText(rows->degree_days[i], 2);
        GtkTreeIter row;
        gtk_list_store_insert_with_values(store, &row, -1, 0, month_names[rows->month[i] - 1], 1, range, 2, irr, 3,
                                          gdd, 4, PANGO_WEIGHT_NORMAL, 5, rows->falling[i] ? "*" : "", 6,
                                          rows->falling[i] ? "#fde7b0" : nullptr, -1);
        days += rows->last[i] - rows->first[i] + 1;
        g_free(range);
        g_free(irr);
        g_free(gdd);
    }
    gchar *total = g_strdup_printf("%d days", days);
    gchar *irr = decimalText(rows->total_irradiation, 1);
    gchar *gdd = decimalText(rows->total_degree_days, 2);
    GtkTreeIter row;
    gtk_list_store_insert_with_values(store, &row, -1, 0, "Season", 1, total, 2, irr, 3, gdd, 4, PANGO_WEIGHT_BOLD, 5,
                                      "", 6, nullptr, -1);
    g_free(total);
    g_free(irr);
    g_free(gdd);
}

const char *fallingNote(void) {
    return "Here the formula gives fewer degree days for more sun, so compare these months by irradiation.";
}

