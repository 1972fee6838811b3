// One frame of the map: the cached image copied at the frame's place and
// scale, then what a map needs to be read: legend with units, north arrow,
// scale bar in metres, the selected cell and the stored site. Nothing here
// touches the cells, so a frame costs the same for any size of land.
#include "landmap/landmap.h"

#include <algorithm>
#include <cmath>

namespace {

const double kInk[3] = {0.10, 0.16, 0.14};

// The image at a zoom below one pixel a cell, made once per zoom: copying
// it is then a plain blit, and a filtered downscale is not redone per frame.
cairo_surface_t *scaledImage(lm_image *image, const land_map *map, double scale) {
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

void drawImage(cairo_t *cr, const lm_scene *s) {
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

void drawMarks(cairo_t *cr, const lm_scene *s) {
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

void panel(cairo_t *cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.86);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, kInk[0], kInk[1], kInk[2], 0.4);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void drawLegend(cairo_t *cr, const lm_scene *s) {
    const double x = 10, y = 10, w = 124, h = 184, barX = x + 10, barY = y + 38, barW = 14, barH = 108;
    panel(cr, x, y, w, h);
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

void drawNorth(cairo_t *cr, double width) {
    const double cx = width - 28, top = 12;
    panel(cr, cx - 18, top, 36, 52);
    cairo_move_to(cr, cx, top + 18);
    cairo_line_to(cr, cx + 7, top + 46);
    cairo_line_to(cr, cx, top + 40);
    cairo_line_to(cr, cx - 7, top + 46);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    cairo_fill(cr);
    drawText(cr, "N", "Sans Bold 10", cx, top + 3, 0.5, 0.0);
}

// A round length (1, 2 or 5 times a power of ten metres) near a fifth of
// the width.
void drawScaleBar(cairo_t *cr, const lm_scene *s, double width, double height) {
    double metresPerPixel = s->map->grid.cell_width / s->frame.scale;
    if (!(metresPerPixel > 0.0) || !std::isfinite(metresPerPixel)) return;
    double want = width / 5.0 * metresPerPixel, power = std::pow(10.0, std::floor(std::log10(want)));
    double f = want / power, length = (f < 2.0 ? 1.0 : f < 5.0 ? 2.0 : 5.0) * power;
    double pixels = length / metresPerPixel, x = 14, y = height - 22;
    panel(cr, x - 6, y - 20, pixels + 12 + 50, 32);
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

void lm_DrawMap(cairo_t *cr, const lm_scene *s, double width, double height) {
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
    drawNorth(cr, width);
    drawScaleBar(cr, s, width, height);
    cairo_restore(cr);
}
