// The report's pictures: the map of the land over a hillshade made from its
// elevations, the blocks outlined and named on it, with legend, north arrow
// and scale bar beside it; a season's months as bars; the land's area by
// degree days. Colours are the windows' scale (model/colourScale.h), so a
// report reads as the map window does.
#include "report/reportPages.h"

#include "model/colourScale.h"
#include "model/model.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const double kInk[3] = {0.10, 0.16, 0.14};
const double kPi = 3.14159265358979323846;
// A map image is at most this many cells across: a larger land is sampled,
// which keeps the PDF small and is still finer than print shows.
const int kMostImageCells = 1600;
// The strip beside the map for its legend, north arrow and scale bar.
const double kKeyStrip = 112.0;

void ink(cairo_t *cr) { cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]); }

// A block's outline: ink on a white halo, to read over any colour.
void outlineStroke(cairo_t *cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.6);
    cairo_stroke_preserve(cr);
    ink(cr);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
}

std::uint32_t pixel(double r, double g, double b) {
    auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xff000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Lambert's light on the ground from the north-west, 45 degrees up, from the
// slope of the elevations between a sample's neighbours (one-sided at an
// edge or beside a cell without data); level ground gets cos 45°.
double shadeAt(const land_map &m, int c, int r, int step, double cell_height) {
    const int cols = m.grid.width, rows = m.grid.height;
    auto z = [&](int cc, int rr, double *v) {
        if (cc < 0 || rr < 0 || cc >= cols || rr >= rows) return false;
        *v = m.elevation[static_cast<size_t>(rr) * static_cast<size_t>(cols) + static_cast<size_t>(cc)];
        return *v != kMapNodata;
    };
    double here = 0.0;
    if (!z(c, r, &here)) return std::cos(kPi / 4.0);
    auto slope = [&](int dc, int dr, double spacing) {
        double a = 0.0, b = 0.0;
        const bool before = z(c - dc * step, r - dr * step, &a), after = z(c + dc * step, r + dr * step, &b);
        if (before && after) return (b - a) / (2.0 * spacing * step);
        if (after) return (b - here) / (spacing * step);
        if (before) return (here - a) / (spacing * step);
        return 0.0;
    };
    double cell_width = m.grid.row_area[static_cast<size_t>(r)] / cell_height;
    if (!(cell_width > 0.0) || !std::isfinite(cell_width)) cell_width = cell_height;
    const double east = slope(1, 0, cell_width);
    const double north = -slope(0, 1, cell_height);   // rows run south
    const double norm = std::sqrt(east * east + north * north + 1.0);
    const double az = 315.0 * kPi / 180.0, alt = kPi / 4.0;
    const double lit = (-east * std::sin(az) * std::cos(alt) - north * std::cos(az) * std::cos(alt) + std::sin(alt)) /
                       norm;
    return std::clamp(lit, 0.0, 1.0);
}

// The map's image, a pixel every step cells: degree days in the scale's
// colours, lit by the hillshade; below the threshold the terrain in grey
// with a trace of its colour, as the window shows it; no data clear.
cairo_surface_t *mapImage(const land_map &m, float threshold, int step) {
    const int cols = m.grid.width, rows = m.grid.height;
    const int w = (cols + step - 1) / step, h = (rows + step - 1) / step;
    cairo_surface_t *image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(image);
    unsigned char *data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const float *gdd = m.band(map_quantity::degree_days);
    const value_range range = valueRange(gdd, m.grid.cells());
    const double span = static_cast<double>(range.high) - range.low;
    const size_t middle = static_cast<size_t>(rows / 2);
    double cell_height = m.grid.row_area[middle] / m.grid.cell_width;
    if (!(cell_height > 0.0) || !std::isfinite(cell_height)) cell_height = 1.0;   // no size to go by: as square
    for (int y = 0; y < h; y++) {
        std::uint32_t *line = reinterpret_cast<std::uint32_t *>(data + static_cast<long>(y) * stride);
        for (int x = 0; x < w; x++) {
            const int c = x * step, r = y * step;
            const float v = gdd[static_cast<size_t>(r) * static_cast<size_t>(cols) + static_cast<size_t>(c)];
            if (v == kMapNodata) {
                line[x] = 0;
                continue;
            }
            double red, green, blue;
            scaleColour(span > 0.0 ? (v - range.low) / span : 0.5, &red, &green, &blue);
            const double shade = shadeAt(m, c, r, step, cell_height);
            if (v < threshold) {
                const double grey = 0.22 + 0.78 * shade;
                line[x] = pixel(0.15 * red + 0.85 * grey, 0.15 * green + 0.85 * grey, 0.15 * blue + 0.85 * grey);
            } else {
                const double light = 0.25 + shade;
                line[x] = pixel(red * light, green * light, blue * light);
            }
        }
    }
    cairo_surface_mark_dirty(image);
    return image;
}

// The point of a ring where its name sits: the middle of its bounding box
// when that lies inside, else its first corner's.
void ringBox(const parcel_ring &ring, double *x0, double *y0, double *x1, double *y1) {
    *x0 = *y0 = HUGE_VAL;
    *x1 = *y1 = -HUGE_VAL;
    for (const parcel_point &p : ring) {
        *x0 = std::min(*x0, p.x), *x1 = std::max(*x1, p.x);
        *y0 = std::min(*y0, p.y), *y1 = std::max(*y1, p.y);
    }
}

// scale_x, scale_y: points a cell across and down.
void drawBlocks(cairo_t *cr, const land_map &m, const parcel &outline, double x, double y, double scale_x,
                double scale_y) {
    const double *t = m.grid.transform;
    auto place = [&](const parcel_point &p, double *px, double *py) {
        *px = x + (p.x - t[0]) / t[1] * scale_x;
        *py = y + (p.y - t[3]) / t[5] * scale_y;
    };
    for (const parcel_block &block : outline.blocks) {
        cairo_new_path(cr);
        double best = -1.0, label_x = 0.0, label_y = 0.0, room_w = 0.0, room_h = 0.0;
        for (const parcel_polygon &polygon : block.polygons) {
            for (const parcel_ring &ring : polygon.rings) {
                for (size_t k = 0; k < ring.size(); k++) {
                    double px, py;
                    place(ring[k], &px, &py);
                    if (k == 0) cairo_move_to(cr, px, py);
                    else cairo_line_to(cr, px, py);
                }
                cairo_close_path(cr);
            }
            if (polygon.rings.empty()) continue;
            double x0, y0, x1, y1;
            ringBox(polygon.rings[0], &x0, &y0, &x1, &y1);
            if ((x1 - x0) * (y1 - y0) > best) {
                best = (x1 - x0) * (y1 - y0);
                place({(x0 + x1) / 2.0, (y0 + y1) / 2.0}, &label_x, &label_y);
                room_w = (x1 - x0) / std::fabs(t[1]) * scale_x;
                room_h = (y1 - y0) / std::fabs(t[5]) * scale_y;
            }
        }
        outlineStroke(cr);
        if (best < 0.0) continue;
        // A name wider than its block would cover its neighbours: the block's number (the table's) instead.
        std::string label = block.name;
        double w, h;
        reportTextSize(cr, label, "Sans Bold 7.5", 0.0, &w, &h);
        if (w > room_w + 4.0 || h > room_h + 2.0) {
            label = std::to_string(&block - outline.blocks.data() + 1);
            reportTextSize(cr, label, "Sans Bold 7.5", 0.0, &w, &h);
        }
        cairo_rectangle(cr, label_x - w / 2.0 - 2.0, label_y - h / 2.0, w + 4.0, h);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
        cairo_fill(cr);
        ink(cr);
        reportLabel(cr, label, "Sans Bold 7.5", label_x, label_y, 0.5, 0.5);
    }
}

// The legend from y down; where it ends.
double drawLegend(cairo_t *cr, const land_map &m, float threshold, bool blocks, double x, double y) {
    const value_range range = valueRange(m.band(map_quantity::degree_days), m.grid.cells());
    ink(cr);
    y += reportLabel(cr, "season degree days", "Sans Bold 8", x, y, 0.0, 0.0);
    y += reportLabel(cr, "°C above 10 °C, " + seasonText(m.options.season), "Sans 7", x, y, 0.0, 0.0, kKeyStrip - 8.0);
    y += 6.0;
    const double bar_w = 12.0, bar_h = 110.0;
    for (int i = 0; i < 110; i++) {
        double r, g, b;
        scaleColour(1.0 - i / 109.0, &r, &g, &b);
        cairo_set_source_rgb(cr, r, g, b);
        cairo_rectangle(cr, x, y + i * bar_h / 110.0, bar_w, bar_h / 110.0 + 0.2);
        cairo_fill(cr);
    }
    ink(cr);
    for (int k = 0; k <= 4; k++) {
        const double v = range.high - (static_cast<double>(range.high) - range.low) * k / 4.0;
        const double ty = y + bar_h * k / 4.0;
        cairo_move_to(cr, x + bar_w, ty);
        cairo_line_to(cr, x + bar_w + 3.0, ty);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        reportLabel(cr, decimalString(v, 0), "Sans 7", x + bar_w + 5.0, ty, 0.0, 0.5);
    }
    if (range.high > range.low && threshold >= range.low && threshold <= range.high) {
        const double ty = y + bar_h * (range.high - threshold) / (static_cast<double>(range.high) - range.low);
        cairo_move_to(cr, x - 4.0, ty);
        cairo_line_to(cr, x + bar_w + 2.0, ty);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
    }
    y += bar_h + 10.0;
    cairo_rectangle(cr, x, y, 12.0, 8.0);
    cairo_set_source_rgb(cr, 0.78, 0.78, 0.76);
    cairo_fill(cr);
    ink(cr);
    reportLabel(cr, "below the threshold, " + decimalString(threshold, 0) + " °C degree days", "Sans 7", x + 16.0,
                y - 1.0, 0.0, 0.0, kKeyStrip - 24.0);
    y += 24.0;
    if (blocks) {
        cairo_rectangle(cr, x + 1.0, y + 1.0, 10.0, 7.0);
        outlineStroke(cr);
        reportLabel(cr, "a block, named", "Sans 7", x + 16.0, y - 1.0, 0.0, 0.0);
        y += 14.0;
    }
    return y + reportLabel(cr, "clear: no elevation data", "Sans 7", x, y, 0.0, 0.0);
}

void drawNorth(cairo_t *cr, double cx, double top) {
    ink(cr);
    reportLabel(cr, "N", "Sans Bold 9", cx, top, 0.5, 0.0);
    cairo_move_to(cr, cx, top + 13.0);
    cairo_line_to(cr, cx + 6.0, top + 37.0);
    cairo_line_to(cr, cx, top + 32.0);
    cairo_line_to(cr, cx - 6.0, top + 37.0);
    cairo_close_path(cr);
    cairo_fill(cr);
    reportLabel(cr, "up is the grid's north", "Sans 6.5", cx, top + 40.0, 0.5, 0.0);
}

// A round length (1, 2 or 5 times a power of ten metres) of at most 90
// points at the map's scale across (scale points a cell), at the middle
// row's cell width.
void drawScaleBar(cairo_t *cr, const land_map &m, double scale, double x, double y) {
    const double metres_per_point = m.grid.cell_width / scale;
    if (!(metres_per_point > 0.0) || !std::isfinite(metres_per_point)) return;
    const double want = 90.0 * metres_per_point, power = std::pow(10.0, std::floor(std::log10(want)));
    const double f = want / power, length = (f < 2.0 ? 1.0 : f < 5.0 ? 2.0 : 5.0) * power;
    const double points = length / metres_per_point;
    for (int k = 0; k < 4; k++) {
        cairo_rectangle(cr, x + points * k / 4.0, y, points / 4.0, 5.0);
        if (k % 2 == 0) ink(cr);
        else cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        ink(cr);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
    const std::string text = length >= 1000.0 ? decimalString(length / 1000.0, 0) + " km"
                                              : decimalString(length, 0) + " m";
    reportLabel(cr, "0", "Sans 7", x, y - 2.0, 0.5, 1.0);
    reportLabel(cr, text, "Sans 7", x + points, y - 2.0, 0.5, 1.0);
    reportLabel(cr, "metres on the ground", "Sans 6.5", x, y + 8.0, 0.0, 0.0);
}

}  // namespace

double drawReportMap(cairo_t *cr, const map_report *report, double x, double y, double width, double height) {
    const land_map &m = *report->map;
    const int cols = m.grid.width, rows = m.grid.height;
    const double room = width - kKeyStrip - 10.0;
    // Cells as long as they are on the ground: a grid in degrees has cells
    // narrower than tall away from the equator.
    const size_t middle = static_cast<size_t>(rows / 2);
    double tall = m.grid.row_area[middle] / (m.grid.cell_width * m.grid.cell_width);
    if (!(tall > 0.0) || !std::isfinite(tall)) tall = 1.0;
    const double scale = std::min(room / cols, height / (rows * tall)), scale_y = scale * tall;
    const double map_h = rows * scale_y;
    const int step = std::max(1, (std::max(cols, rows) + kMostImageCells - 1) / kMostImageCells);
    cairo_surface_t *image = mapImage(m, report->threshold, step);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale * step, scale_y * step);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, cols / static_cast<double>(step), rows / static_cast<double>(step));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
    cairo_rectangle(cr, x, y, cols * scale, map_h);
    cairo_set_source_rgb(cr, 0.6, 0.62, 0.61);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    if (report->blocks.outline != nullptr) {
        cairo_save(cr);
        cairo_rectangle(cr, x, y, cols * scale, map_h);
        cairo_clip(cr);
        drawBlocks(cr, m, *report->blocks.outline, x, y, scale, scale_y);
        cairo_restore(cr);
    }
    const double key_x = x + cols * scale + 10.0;
    const double legend_end = drawLegend(cr, m, report->threshold, report->blocks.outline != nullptr, key_x, y);
    // North arrow and scale bar at the foot of the map, or under the legend when the map is shorter.
    const double foot = std::max(y + map_h, legend_end + 96.0);
    drawNorth(cr, key_x + 30.0, foot - 92.0);
    drawScaleBar(cr, m, scale, key_x + 4.0, foot - 24.0);
    return foot - y;
}

void drawMonthChart(cairo_t *cr, const report_months *months, double x, double y, double width, double height) {
    ink(cr);
    double top = y + reportLabel(cr, months->title, "Sans Bold 8", x, y, 0.0, 0.0, width);
    top += reportLabel(cr, "degree days each month (°C above 10 °C)", "Sans 7", x, top, 0.0, 0.0, width) + 12.0;
    const double bottom = y + height - 14.0;
    double most = 0.0;
    for (int k = 0; k < months->count; k++)
        if (std::isfinite(months->degree_days[k])) most = std::max(most, months->degree_days[k]);
    const double slot = width / std::max(1, months->count);
    for (int k = 0; k < months->count; k++) {
        const double v = months->degree_days[k];
        const double h = most > 0.0 && std::isfinite(v) ? (bottom - top) * std::max(0.0, v) / most : 0.0;
        const double bx = x + slot * k + slot * 0.15, bw = slot * 0.7;
        // The windows' month chart: teal bars, amber where the formula runs backwards.
        if (months->backwards[k]) cairo_set_source_rgb(cr, 0.93, 0.66, 0.25);
        else cairo_set_source_rgb(cr, 0.18, 0.55, 0.48);
        cairo_rectangle(cr, bx, bottom - h, bw, h);
        cairo_fill(cr);
        if (months->backwards[k]) {
            // Hatched: the month's degree days come from where the formula runs backwards.
            cairo_save(cr);
            cairo_rectangle(cr, bx, bottom - h, bw, h);
            cairo_clip(cr);
            ink(cr);
            cairo_set_line_width(cr, 0.7);
            for (double d = -h; d < bw + h; d += 5.0) {
                cairo_move_to(cr, bx + d, bottom);
                cairo_line_to(cr, bx + d + h, bottom - h);
            }
            cairo_stroke(cr);
            cairo_restore(cr);
        }
        ink(cr);
        const std::string value = figureText(v, 0) + (months->backwards[k] ? "*" : "");
        reportLabel(cr, value, "Sans 6.5", bx + bw / 2.0, bottom - h - 1.0, 0.5, 1.0);
        const int month = months->month[k];
        const std::string name = month >= 1 && month <= 12 ? std::string(month_names[month - 1]).substr(0, 3) : "";
        reportLabel(cr, name, "Sans 6.5", bx + bw / 2.0, bottom + 2.0, 0.5, 0.0);
    }
    ink(cr);
    cairo_move_to(cr, x, bottom + 0.5);
    cairo_line_to(cr, x + width, bottom + 0.5);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
}

void drawAreaHistogram(cairo_t *cr, const std::string &title, const float *values, int cols, int rows,
                       const double *row_area, float threshold, double x, double y, double width, double height) {
    const value_range range = valueRange(values, static_cast<long>(cols) * rows);
    double hectares[kAreaClasses];
    areaClasses(values, cols, rows, row_area, range.low, range.high, kAreaClasses, hectares);
    const double most = *std::max_element(hectares, hectares + kAreaClasses);
    ink(cr);
    double top = y + reportLabel(cr, title, "Sans Bold 8", x, y, 0.0, 0.0, width);
    top += reportLabel(cr,
                       "hectares (ha) in each of " + std::to_string(kAreaClasses) +
                           " equal classes of season degree days (°C above 10 °C); the tallest bar is " +
                           figureText(most, most < 10.0 ? 2 : 1) + " ha",
                       "Sans 7", x, top, 0.0, 0.0, width) +
           14.0;
    const double bottom = y + height - 26.0;
    const double span = static_cast<double>(range.high) - range.low, slot = width / kAreaClasses;
    for (int k = 0; k < kAreaClasses; k++) {
        const double h = most > 0.0 ? (bottom - top) * hectares[k] / most : 0.0;
        const double upper = range.low + span * (k + 1) / kAreaClasses;
        double r = 0.72, g = 0.72, b = 0.70;
        if (upper > threshold || span == 0.0) scaleColour((k + 0.5) / kAreaClasses, &r, &g, &b);
        cairo_set_source_rgb(cr, r, g, b);
        cairo_rectangle(cr, x + slot * k + 1.0, bottom - h, slot - 2.0, h);
        cairo_fill(cr);
        ink(cr);
        if (hectares[k] > 0.0)
            reportLabel(cr, figureText(hectares[k], hectares[k] < 10.0 ? 2 : 1), "Sans 6", x + slot * (k + 0.5),
                        bottom - h - 1.0, 0.5, 1.0);
    }
    ink(cr);
    cairo_move_to(cr, x, bottom + 0.5);
    cairo_line_to(cr, x + width, bottom + 0.5);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    for (int k = 0; k <= kAreaClasses; k += kAreaClasses / 4) {
        const double v = range.low + span * k / kAreaClasses;
        reportLabel(cr, decimalString(v, 0), "Sans 6.5", x + slot * k, bottom + 2.0, k == 0 ? 0.0 : k == kAreaClasses ? 1.0 : 0.5,
                    0.0);
    }
    reportLabel(cr, "°C degree days", "Sans 6.5", x + width / 2.0, bottom + 12.0, 0.5, 0.0);
    if (span > 0.0) {
        const double tx = x + width * std::clamp((threshold - range.low) / span, 0.0, 1.0);
        cairo_move_to(cr, tx, top - 10.0);
        cairo_line_to(cr, tx, bottom);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
        reportLabel(cr, "threshold " + decimalString(threshold, 0), "Sans 6.5", tx + 3.0, top - 2.0, 0.0, 1.0);
    }
}
