// A land too large for memory: its coarse picture, read decimated (GDAL
// takes an overview where the file has one), an area chosen on it, and the
// area mapped at full resolution.
#include "landmap/landmapArea.h"

#include "landmap/landmapParcel.h"
#include "terrain/mapTexts.h"
#include "ui/chartText.h"

#include <gdal.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

const char *const kLandmapChooseArea =
    "This land is too large to map whole: it is shown coarsely. Shift+drag a rectangle on it (or press Choose area "
    "and drag) to map that area at full resolution, or open a parcel.";

namespace {

// Bytes an area's map needs at its peak, as for a whole land.
double areaBytes(const landmap_preview &p, const map_window &a) {
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    return computeMapBytes(a.width, a.height, &wants, 32, 5000.0, std::min(p.cell_width, p.cell_height)) +
           4.0 * a.width * a.height;
}

}  // namespace

void landmap_preview_work(landmap_preview_read *read) {
    landmap_land &land = read->land;
    dem_source dem;
    std::string why;
    dem_description d{};
    auto p = std::make_shared<landmap_preview>();
    bool ok = openDem(land.path, 0, &dem, &why) == TERRAIN_OK && describeDem(&dem, &d, &why) == TERRAIN_OK;
    if (ok) {
        const double shrink = std::max(1.0, static_cast<double>(std::max(dem.width, dem.height)) / kLandmapPreviewSide);
        p->dem_width = dem.width;
        p->dem_height = dem.height;
        p->cell_width = d.cell_width;
        p->cell_height = d.cell_height;
        p->width = std::max(1, static_cast<int>(std::lround(dem.width / shrink)));
        p->height = std::max(1, static_cast<int>(std::lround(dem.height / shrink)));
        std::vector<double> z(static_cast<size_t>(p->width) * p->height);
        GDALRasterIOExtraArg extra;
        INIT_RASTERIO_EXTRA_ARG(extra);
        extra.eResampleAlg = GRIORA_NearestNeighbour;
        ok = GDALRasterIOEx(static_cast<GDALRasterBandH>(dem.band), GF_Read, 0, 0, dem.width, dem.height, z.data(),
                            p->width, p->height, GDT_Float64, 0, 0, &extra) == CE_None;
        if (!ok) why = "its elevations cannot be read";
        p->elevation.assign(z.size(), kMapNodata);
        bool any = false;
        for (int r = 0; ok && r < p->height; r++)
            for (int c = 0; c < p->width; c++) {
                // Shown north up and east right, as the map is.
                const int fr = dem.flip_rows ? p->height - 1 - r : r, fc = dem.flip_columns ? p->width - 1 - c : c;
                const double v = z[static_cast<size_t>(fr) * p->width + fc];
                if ((dem.has_nodata && v == dem.nodata) || !std::isfinite(v)) continue;
                const float m = static_cast<float>(v * dem.vertical_metres);
                if (m < kLowestLand || m > kHighestLand) continue;
                p->elevation[static_cast<size_t>(r) * p->width + c] = m;
                p->low = any ? std::min(p->low, m) : m;
                p->high = any ? std::max(p->high, m) : m;
                any = true;
            }
        if (ok && !any) {
            ok = false;
            why = "no elevation shows in its coarse picture.";
        }
    }
    closeDem(&dem);
    if (!ok) {
        if (!why.empty() && why.back() != '.') why += ".";
        land.usable = false;
        land.said = land.name + " cannot be used: " + why;
        return;
    }
    auto metres = [](double v) { return decimalString(v, v < 10 ? 2 : 1); };
    land.said = land.name + "\n" + std::to_string(d.width) + " × " + std::to_string(d.height) + " cells of " +
                metres(d.cell_width) + " × " + metres(d.cell_height) + " m, " + metres(d.hectares) + " ha\n" +
                d.crs_name + "\n" + kLandmapChooseArea;
    land.usable = true;
    read->preview = std::move(p);
}

map_window landmap_area_of(const landmap_preview &p, double px0, double py0, double px1, double py1) {
    const double sx = static_cast<double>(p.dem_width) / p.width, sy = static_cast<double>(p.dem_height) / p.height;
    const long x0 = std::max(0L, std::lround(std::min(px0, px1) * sx));
    const long y0 = std::max(0L, std::lround(std::min(py0, py1) * sy));
    const long x1 = std::min<long>(p.dem_width, std::lround(std::max(px0, px1) * sx));
    const long y1 = std::min<long>(p.dem_height, std::lround(std::max(py0, py1) * sy));
    if (x1 <= x0 || y1 <= y0) return map_window{};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

bool landmap_area_fits(const landmap_preview &p, const map_window &area, double memory_bytes, std::string *why) {
    if (area.width < 1 || area.height < 1) {
        *why = "Drag across the land to choose an area.";
        return false;
    }
    const double need = areaBytes(p, area);
    if (memory_bytes > 0.0 && need > memory_bytes / 2.0) {
        *why = "That area (" + landmap_area_said(p, area) + ") is still too large for this computer's memory: its map needs about " +
               decimalString(need / 1e9, 1) + " GB, half the memory is " + decimalString(memory_bytes / 2e9, 1) +
               " GB. Choose a smaller one.";
        return false;
    }
    return true;
}

std::string landmap_area_said(const landmap_preview &p, const map_window &area) {
    const double ha = static_cast<double>(area.width) * area.height * p.cell_width * p.cell_height / 1e4;
    return std::to_string(area.width) + " × " + std::to_string(area.height) + " cells, about " +
           decimalString(ha, ha < 10 ? 2 : 1) + " ha";
}

void landmap_draw_preview(cairo_t *cr, const landmap_preview &p, const map_frame *f, const map_window &area,
                          const double rubber[4], double width, double height) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.93, 0.94, 0.93);
    cairo_paint(cr);
    cairo_surface_t *image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, p.width, p.height);
    unsigned char *data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const float span = p.high > p.low ? p.high - p.low : 1.0f;
    for (int r = 0; r < p.height; r++) {
        uint32_t *row = reinterpret_cast<uint32_t *>(data + static_cast<size_t>(r) * stride);
        for (int c = 0; c < p.width; c++) {
            const float z = p.elevation[static_cast<size_t>(r) * p.width + c];
            if (z == kMapNodata) {
                row[c] = 0;
                continue;
            }
            const uint32_t g = static_cast<uint32_t>(50 + 180 * (z - p.low) / span);
            row[c] = 0xff000000u | g << 16 | g << 8 | g;
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_save(cr);
    cairo_translate(cr, f->x, f->y);
    cairo_scale(cr, f->scale, f->scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);

    auto box = [&](double x0, double y0, double x1, double y1, bool fill) {
        cairo_rectangle(cr, std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
        if (fill) {
            cairo_set_source_rgba(cr, 0.95, 0.75, 0.10, 0.25);
            cairo_fill_preserve(cr);
        }
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 3.0);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, 0.75, 0.10, 0.45);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    };
    if (area.width > 0) {
        const double sx = static_cast<double>(p.width) / p.dem_width, sy = static_cast<double>(p.height) / p.dem_height;
        box(f->x + area.x0 * sx * f->scale, f->y + area.y0 * sy * f->scale,
            f->x + (area.x0 + area.width) * sx * f->scale, f->y + (area.y0 + area.height) * sy * f->scale, true);
    }
    if (rubber[0] >= 0) box(rubber[0], rubber[1], rubber[2], rubber[3], false);

    // The sentence across the top, on a pale band that reads in any theme.
    cairo_rectangle(cr, 0, 0, width, 40);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.88);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.10, 0.16, 0.14);
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *font = pango_font_description_from_string("Sans 8.5");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_width(layout, static_cast<int>((width - 16) * PANGO_SCALE));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_text(layout, kLandmapChooseArea, -1);
    cairo_move_to(cr, 8, 4);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
    (void)height;
    cairo_restore(cr);
}

void landmap_area_run_work(landmap_area_run *run) {
    auto map = std::make_shared<land_map>();
    // The area as one group: the date its mean reaches a target.
    if (landmap_compute_window(run->dem_path, &run->options, &run->area, &run->control, map.get(), &run->refusal,
                               nullptr, 1) == TERRAIN_OK)
        run->result = std::move(map);
}

