// The compass chart with the selected slope's months under it, as PNG, SVG
// or PDF by the name's ending, drawn by the same code as the window's charts.
#include "slopes/slopes.h"

#include "model/model.h"
#include "ui/windowFiles.h"

namespace {

const double kWidth = 900.0, kTitle = 92.0, kCompass = 640.0, kMonths = 300.0;

void drawPage(cairo_t *cr, const void *data) {
    const sl_view *v = static_cast<const sl_view *>(data);
    cairo_rectangle(cr, 0, 0, kWidth, kTitle + kCompass + kMonths);
    cairo_set_source_rgb(cr, 0.984, 1.0, 0.992);
    cairo_fill(cr);
    gchar *lat = decimalText(v->site.latitude, 4), *lon = decimalText(v->site.longitude, 4);
    gchar *elev = decimalText(v->site.elevation, 1);
    gchar *title = g_strdup_printf("Latitude %s, longitude %s, elevation %s; %d %s to %d %s %d", lat, lon, elev,
                                   v->season.start_day, month_names[v->season.start_month - 1], v->season.stop_day,
                                   month_names[v->season.stop_month - 1], v->season.year);
    cairo_set_source_rgb(cr, 0.043, 0.302, 0.247);
    drawText(cr, "Season degree days by slope", "Sans Bold 13", 20.0, 14.0, 0.0, 0.0);
    drawText(cr, title, "Sans 10", 20.0, 40.0, 0.0, 0.0);
    const bool stored = v->selected == SL_STORED;
    gchar *aspect = aspectText(stored ? v->stored.aspect : sl_GridAspect(v->selected));
    gchar *tilt = decimalText(stored ? v->stored.tilt : sl_GridTilt(v->selected), 1);
    gchar *gdd = decimalText(v->results[v->selected].season_degree_days, 2);
    gchar *months = g_strdup_printf("Months below: %s slope, aspect %s, tilt %s°, %s degree days%s",
                                    stored ? "the stored" : v->selected == v->best ? "the best" : "the selected",
                                    aspect, tilt, gdd,
                                    v->calibrated ? "" : "   (outside the calibrated region: not calibrated here)");
    drawText(cr, months, "Sans Italic 9.5", 20.0, 62.0, 0.0, 0.0);
    g_free(months);
    g_free(aspect);
    g_free(tilt);
    g_free(gdd);
    g_free(title);
    g_free(lat);
    g_free(lon);
    g_free(elev);

    cairo_save(cr);
    cairo_translate(cr, 0.0, kTitle);
    sl_DrawCompass(cr, v, kWidth, kCompass);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 40.0, kTitle + kCompass);
    month_rows rows = sl_MonthRows(v);
    drawMonthChart(cr, &rows, kWidth - 80.0, kMonths - 20.0);
    cairo_restore(cr);
}

}  // namespace

bool sl_SaveChart(const sl_view *view, const char *path, GError **error) {
    if (!view->have) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no comparison to save");
        return false;
    }
    return saveDrawing(path, kWidth, kTitle + kCompass + kMonths, drawPage, view, "chart", error);
}
