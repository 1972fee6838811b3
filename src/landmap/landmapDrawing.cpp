// The map's image is made once per colouring and threshold: each cell's
// colour from the scale, lit by a sun in the north-west so the terrain reads,
// and drawn pale where the cell falls short of the threshold. A frame then
// only copies it at its place and scale and adds what a map needs to be
// read: legend with units, north arrow, scale bar in metres, the selected
// cell and the stored site. Nothing in a frame touches the cells, so a frame
// costs the same for any size of land.
#include "landmap/landmapDrawing.h"

#include "landmap/landmapColouring.h"
#include "ui/chartText.h"
#include "ui/slopeFigures.h"

#include <algorithm>
#include <cmath>

// Light from the north-west, 45 degrees up, as maps are lit by convention.
double landmap_hillshade(float tilt, float aspect) {
    const double zenith = G_PI / 4.0, azimuth = 315.0 * G_PI / 180.0;
    if (std::isnan(tilt)) return std::cos(zenith);
    double s = tilt * G_PI / 180.0;
    double lit = std::cos(zenith) * std::cos(s);
    if (aspect >= 0.0f) lit += std::sin(zenith) * std::sin(s) * std::cos(azimuth - aspect * G_PI / 180.0);
    return std::clamp(lit, 0.0, 1.0);
}

guint32 landmap_pixel(double r, double g, double b) {
    auto byte = [](double v) { return static_cast<guint32>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xff000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

void landmap_draw_panel(cairo_t *cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.86);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, kLandmapInk[0], kLandmapInk[1], kLandmapInk[2], 0.4);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void landmap_image_free(landmap_image *image) {
    if (image->base != nullptr) cairo_surface_destroy(image->base);
    if (image->scaled != nullptr) cairo_surface_destroy(image->scaled);
    image->base = image->scaled = nullptr;
    image->scaled_at = 0.0;
}

void landmap_image_paint(landmap_image *image, const land_map *map, float threshold,
                         const std::function<void(long cell, double rgb[3])> &colour) {
    landmap_image_free(image);
    const int cols = map->grid.width, rows = map->grid.height;
    image->base = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cols, rows);
    cairo_surface_flush(image->base);
    unsigned char *data = cairo_image_surface_get_data(image->base);
    const int stride = cairo_image_surface_get_stride(image->base);
    const float *degree_days = map->band(map_quantity::degree_days);
    const float *tilt = map->band(map_quantity::tilt);
    const float *aspect = map->band(map_quantity::aspect);
    for (int r = 0; r < rows; r++) {
        guint32 *line = reinterpret_cast<guint32 *>(data + static_cast<long>(r) * stride);
        for (int c = 0; c < cols; c++) {
            const long i = static_cast<long>(r) * cols + c;
            if (degree_days[i] == kMapNodata) {
                line[c] = 0;   // transparent: no data here
                continue;
            }
            double rgb[3];
            colour(i, rgb);
            const double shade = landmap_hillshade(tilt[i], aspect[i]);
            if (degree_days[i] < threshold) {
                // Short of the threshold: the terrain in grey, a trace of its colour.
                const double grey = 0.22 + 0.78 * shade;
                line[c] = landmap_pixel(0.15 * rgb[0] + 0.85 * grey, 0.15 * rgb[1] + 0.85 * grey,
                                        0.15 * rgb[2] + 0.85 * grey);
            } else {
                const double light = 0.25 + shade;
                line[c] = landmap_pixel(rgb[0] * light, rgb[1] * light, rgb[2] * light);
            }
        }
    }
    cairo_surface_mark_dirty(image->base);
}

void landmap_image_render(landmap_image *image, const land_map *map, const value_range *range, bool by_irradiation,
                          float threshold) {
    const float *values = map->band(by_irradiation ? map_quantity::irradiation : map_quantity::degree_days);
    const double low = range->low;
    const double span = range->high - low;
    landmap_image_paint(image, map, threshold, [&](long i, double rgb[3]) {
        scaleColour(span > 0.0 ? (values[i] - low) / span : 0.5, &rgb[0], &rgb[1], &rgb[2]);
    });
}

namespace {

const double *const kInk = kLandmapInk;

// The image at a zoom below one pixel a cell, made once per zoom: copying
// it is then a plain blit, and a filtered downscale is not redone per frame.
cairo_surface_t *scaledImage(landmap_image *image, const land_map *map, double scale) {
    if (image->scaled != nullptr && image->scaled_at == scale) return image->scaled;
    if (image->scaled != nullptr) cairo_surface_destroy(image->scaled);
    int w = std::max(1, static_cast<int>(std::ceil(map->grid.width * scale)));
    int h = std::max(1, static_cast<int>(std::ceil(map->grid.height * scale)));
    image->scaled = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    image->scaled_at = scale;
    cairo_t *cr = cairo_create(image->scaled);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image->base, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), scale < 0.5 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_destroy(cr);
    return image->scaled;
}

void drawImage(cairo_t *cr, const landmap_scene *s) {
    const map_frame &f = s->frame;
    cairo_save(cr);
    if (f.scale < 1.0) {
        cairo_surface_t *scaled = scaledImage(s->image, s->map, f.scale);
        cairo_set_source_surface(cr, scaled, std::round(f.x), std::round(f.y));
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    } else {
        cairo_translate(cr, f.x, f.y);
        cairo_scale(cr, f.scale, f.scale);
        cairo_set_source_surface(cr, s->image->base, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    }
    cairo_paint(cr);
    cairo_restore(cr);
}

void cellBox(cairo_t *cr, const map_frame &f, int col, int row, double *x, double *y, double *size) {
    *size = std::max(f.scale, 7.0);
    *x = f.x + (col + 0.5) * f.scale - *size / 2.0;
    *y = f.y + (row + 0.5) * f.scale - *size / 2.0;
    (void)cr;
}

void drawMarks(cairo_t *cr, const landmap_scene *s) {
    double x, y, size;
    if (s->selected_col >= 0) {
        cellBox(cr, s->frame, s->selected_col, s->selected_row, &x, &y, &size);
        cairo_rectangle(cr, x, y, size, size);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, 0.0, 0.35, 0.30);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
    }
    if (s->site_col >= 0) {
        double cx = s->frame.x + (s->site_col + 0.5) * s->frame.scale;
        double cy = s->frame.y + (s->site_row + 0.5) * s->frame.scale;
        drawStoredMark(cr, cx, cy, 1.5);
    }
}

void drawLegend(cairo_t *cr, const landmap_scene *s) {
    if (s->colour_by != LANDMAP_BY_VALUE) {
        landmap_colouring_legend(cr, s);
        return;
    }
    const double x = 10, y = 10, w = 126, h = 184, barX = x + 10, barY = y + 38, barW = 14, barH = 108;
    landmap_draw_panel(cr, x, y, w, h);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    drawText(cr, s->by_irradiation ? "irradiation" : "degree days", "Sans Bold 8.5", x + 8, y + 6, 0.0, 0.0);
    drawText(cr, s->by_irradiation ? "MJ/m² over the season" : "over the season", "Sans 7.5", x + 8, y + 18, 0.0, 0.0);
    for (int i = 0; i < static_cast<int>(barH); i++) {
        double red, green, blue;
        scaleColour(1.0 - i / (barH - 1.0), &red, &green, &blue);
        cairo_set_source_rgb(cr, red, green, blue);
        cairo_rectangle(cr, barX, barY + i, barW, 1.0);
        cairo_fill(cr);
    }
    const double low = s->range.low, high = s->range.high;
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    for (int k = 0; k <= 4; k++) {
        double v = high - (high - low) * k / 4.0, ty = barY + barH * k / 4.0;
        cairo_move_to(cr, barX + barW, ty);
        cairo_line_to(cr, barX + barW + 4, ty);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        gchar *t = decimalText(v, 0);
        drawText(cr, t, "Sans 7.5", barX + barW + 7, ty, 0.0, 0.5);
        g_free(t);
    }
    if (!s->by_irradiation && high > low && s->threshold >= low && s->threshold <= high) {
        double ty = barY + barH * (high - s->threshold) / (high - low);
        cairo_move_to(cr, barX - 5, ty);
        cairo_line_to(cr, barX + barW + 2, ty);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, x + 8, y + h - 30, 12, 9);
    cairo_set_source_rgb(cr, 0.78, 0.78, 0.76);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    gchar *t = decimalText(s->threshold, 0);
    gchar *below = g_strdup_printf("below %s degree days", t);
    drawText(cr, below, "Sans 7", x + 24, y + h - 26, 0.0, 0.5);
    drawText(cr, "◆ stored site", "Sans 7", x + 8, y + h - 12, 0.0, 0.5);
    g_free(below);
    g_free(t);
}

// Under the legend, where the strip is tall enough to keep it clear of the
// scale bar at its foot; else in the top right-hand corner, as maps have it.
void drawNorth(cairo_t *cr, double width, double height) {
    const bool under = height >= 204 + 52 + 10 + 42;
    const double cx = under ? 10 + 63 : width - 28, top = under ? 204 : 10;
    landmap_draw_panel(cr, cx - 18, top, 36, 52);
    cairo_move_to(cr, cx, top + 18);
    cairo_line_to(cr, cx + 7, top + 46);
    cairo_line_to(cr, cx, top + 40);
    cairo_line_to(cr, cx - 7, top + 46);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    cairo_fill(cr);
    drawText(cr, "N", "Sans Bold 10", cx, top + 3, 0.5, 0.0);
}

// A round length (1, 2 or 5 times a power of ten metres) of at most 100
// pixels, at the foot of the strip: it depends on the zoom alone.
void drawScaleBar(cairo_t *cr, const landmap_scene *s, double height) {
    double metresPerPixel = s->map->grid.cell_width / s->frame.scale;
    if (!(metresPerPixel > 0.0) || !std::isfinite(metresPerPixel)) return;
    double want = 100.0 * metresPerPixel, power = std::pow(10.0, std::floor(std::log10(want)));
    double f = want / power, length = (f < 2.0 ? 1.0 : f < 5.0 ? 2.0 : 5.0) * power;
    double pixels = length / metresPerPixel, x = 18, y = height - 22;
    landmap_draw_panel(cr, 10, y - 20, 126, 32);
    for (int k = 0; k < 4; k++) {
        cairo_rectangle(cr, x + pixels * k / 4.0, y, pixels / 4.0, 6);
        if (k % 2 == 0)
            cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        else
            cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    gchar *t = length >= 1000.0 ? g_strdup_printf("%g km", length / 1000.0) : g_strdup_printf("%g m", length);
    drawText(cr, "0", "Sans 7.5", x, y - 3, 0.5, 1.0);
    drawText(cr, t, "Sans 7.5", x + pixels, y - 3, 0.5, 1.0);
    g_free(t);
}

}  // namespace

map_frame landmap_fit(int cols, int rows, double width, double height) {
    if (width < 2.0 * kLandmapKeyStrip) return mapFit(cols, rows, width, height);
    map_frame f = mapFit(cols, rows, width - kLandmapKeyStrip, height);
    f.x += kLandmapKeyStrip;
    return f;
}

void landmap_draw_map(cairo_t *cr, const landmap_scene *s, double width, double height) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.953, 0.957, 0.945);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    if (s->map == nullptr || s->image == nullptr || s->image->base == nullptr) {
        cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
        drawText(cr, "No map yet: open your land (or try the example) and press Compute.", "Sans Italic 10",
                    width / 2.0, height / 2.0, 0.5, 0.5);
        cairo_restore(cr);
        return;
    }
    drawImage(cr, s);
    drawMarks(cr, s);
    drawLegend(cr, s);
    drawNorth(cr, width, height);
    drawScaleBar(cr, s, height);
    cairo_restore(cr);
}

// The land's area by degree-day class as bars: the classes at or above the
// threshold in the map's colours, the ones below in grey, as on the map.
void landmap_draw_histogram(cairo_t *cr, const land_map *map, const value_range *gdd, float threshold, double width,
                      double height) {
    const double ink[3] = {0.10, 0.16, 0.14};
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source_rgb(cr, 0.953, 0.957, 0.945);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
    if (map == nullptr) {
        drawText(cr, "area by degree days, once computed", "Sans Italic 8.5", width / 2, height / 2, 0.5, 0.5);
        cairo_restore(cr);
        return;
    }
    double hectares[kAreaClasses];
    areaClasses(map->band(map_quantity::degree_days), map->grid.width, map->grid.height, map->grid.row_area.data(),
                gdd->low, gdd->high, kAreaClasses, hectares);
    double most = *std::max_element(hectares, hectares + kAreaClasses);
    const double left = 8, right = width - 8, top = 16, bottom = height - 16;
    gchar *peak = decimalText(most, most < 10 ? 1 : 0);
    gchar *title = g_strdup_printf("hectares by degree days (tallest bar %s ha)", peak);
    drawText(cr, title, "Sans 7.5", left, 2, 0.0, 0.0);
    g_free(title);
    g_free(peak);
    const double span = static_cast<double>(gdd->high) - gdd->low, slot = (right - left) / kAreaClasses;
    for (int k = 0; k < kAreaClasses; k++) {
        double h = most > 0 ? (bottom - top) * hectares[k] / most : 0.0;
        double upper = gdd->low + span * (k + 1) / kAreaClasses;
        double red = 0.72, green = 0.72, blue = 0.70;
        if (upper > threshold || span == 0.0) scaleColour((k + 0.5) / kAreaClasses, &red, &green, &blue);
        cairo_rectangle(cr, left + slot * k + 1, bottom - h, slot - 2, h);
        cairo_set_source_rgb(cr, red, green, blue);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
    cairo_move_to(cr, left, bottom + 0.5);
    cairo_line_to(cr, right, bottom + 0.5);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    gchar *low = decimalText(gdd->low, 0), *high = decimalText(gdd->high, 0);
    drawText(cr, low, "Sans 7.5", left, bottom + 2, 0.0, 0.0);
    drawText(cr, high, "Sans 7.5", right, bottom + 2, 1.0, 0.0);
    g_free(low);
    g_free(high);
    if (span > 0.0) {
        double x = left + (right - left) * std::clamp((threshold - gdd->low) / span, 0.0, 1.0);
        cairo_move_to(cr, x, top - 4);
        cairo_line_to(cr, x, bottom);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}
