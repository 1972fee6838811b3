// The explorer's exports, each written through the safe writer: replaced
// whole or not at all.
#include "slopes/slopesExports.h"

#include "files/safeWrite.h"
#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "model/winklerRegions.h"
#include "report/report.h"
#include "slopes/slopesCharts.h"
#include "ui/slopeFigures.h"
#include "ui/windowFiles.h"

#include <string>

// Every compared slope as CSV (RFC 4180: comma separated, CRLF line ends, a
// header naming each column with its unit), the grid slopes first and the
// stored slope last; numbers with a decimal point on any locale. Each row
// stands alone: the site, the year and the season's first and last day lead
// it, and the stored slope is marked in its own column. Flat ground is one
// slope whatever its aspect, so it has one row, without an aspect. Only the
// season's months have columns; each month says, 1 or 0, whether its value
// lies where the degree-day formula gives fewer degree days for more sun.
// Then the target (empty without one), the date the slope reaches it (ISO,
// empty where it does not or without a target) and its Winkler region
// (empty for a season the regions are not defined on).
namespace {

void field(GString *out, double value, int decimals) {
    gchar *text = decimalText(value, decimals);
    g_string_append_c(out, ',');
    g_string_append(out, text);
    g_free(text);
}

// A figure as short as it is exact: 15, 2.5, a stored 172.35, a typed 44.133.
void shortest(GString *out, double value) {
    char text[G_ASCII_DTOSTR_BUF_SIZE];
    g_string_append(out, g_ascii_formatd(text, sizeof text, "%.6g", value));
}

}  // namespace

bool slopes_export_table(const slopes_view *view, const char *path, GError **error) {
    if (!view->have) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no comparison to export");
        return false;
    }
    int months[12], first[12], last[12];
    int count = seasonMonths(&view->season, months, first, last);

    GString *out = g_string_new("latitude (deg north),longitude (deg east),elevation (m),year,season first day,"
                                "season last day,aspect (deg),tilt (deg),stored slope (1 yes),"
                                "season irradiation (MJ/m2 clear-sky direct beam),"
                                "season degree days (degC above 10 degC)");
    for (int i = 0; i < count; i++) {
        const char *name = month_names[months[i] - 1];
        g_string_append_printf(out, ",%s irradiation (MJ/m2),%s degree days,%s fewer degree days for more sun (1 yes)",
                               name, name, name);
    }
    g_string_append(out, ",target_gdd,target_date,winkler_region\r\n");
    const std::string target = view->target > 0.0 ? slopes_target_number(view->target) : "";
    // What every row starts with.
    GString *context = g_string_new(nullptr);
    const season_range &season = view->season;
    shortest(context, view->site.latitude);
    g_string_append_c(context, ',');
    shortest(context, view->site.longitude);
    g_string_append_c(context, ',');
    shortest(context, view->site.elevation);
    g_string_append_printf(context, ",%d,%04d-%02d-%02d,%04d-%02d-%02d,", season.year, season.year,
                           season.start_month, season.start_day, season.year, season.stop_month, season.stop_day);
    const int zone = gddZone(view->site.latitude);
    for (int s = 0; s < SLOPES_COUNT; s++) {
        const bool stored = s == SLOPES_STORED;
        const double t = stored ? view->stored.tilt : slopes_grid_tilt(s);
        if (!stored && t == 0.0 && slopes_grid_aspect(s) != 0.0f) continue;   // flat ground, once
        const slope_season &r = view->results[s];
        g_string_append_len(out, context->str, static_cast<gssize>(context->len));
        if (stored || t != 0.0) shortest(out, stored ? view->stored.aspect : slopes_grid_aspect(s));
        g_string_append_c(out, ',');
        shortest(out, t);
        g_string_append(out, stored ? ",1" : ",0");
        field(out, r.season_irradiation, 2);
        field(out, r.season_degree_days, 2);
        bool falling[12];
        seasonFallingMonths(&view->falls, &r, zone, falling);
        for (int i = 0; i < count; i++) {
            field(out, r.month_irradiation[months[i] - 1], 2);
            field(out, r.month_degree_days[months[i] - 1], 2);
            g_string_append(out, falling[months[i] - 1] ? ",1" : ",0");
        }
        const std::string date = view->target > 0.0 ? targetIsoDate(season.year, view->target_days[s]) : "";
        const winkler_class *region = winklerClass(slopes_winkler_region(view, s));
        g_string_append_printf(out, ",%s,%s,%s\r\n", target.c_str(), date.c_str(),
                               region != nullptr ? region->name : "");
    }
    g_string_free(context, TRUE);
    std::string why;
    bool ok = writeFileSafely(path, out->str, out->len, &why);
    if (!ok) g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    g_string_free(out, TRUE);
    return ok;
}

// The compass chart with the selected slope's months under it, as PNG, SVG
// or PDF by the name's ending, drawn by the same code as the window's charts.
namespace {

const double kWidth = 900.0, kTitle = 92.0, kCompass = 640.0, kMonths = 300.0;

void drawPage(cairo_t *cr, const void *data) {
    const slopes_view *v = static_cast<const slopes_view *>(data);
    cairo_rectangle(cr, 0, 0, kWidth, kTitle + kCompass + kMonths);
    cairo_set_source_rgb(cr, 0.984, 1.0, 0.992);
    cairo_fill(cr);
    gchar *lat = decimalText(v->site.latitude, 4), *lon = decimalText(v->site.longitude, 4);
    gchar *elev = decimalText(v->site.elevation, 1);
    gchar *title = g_strdup_printf("Latitude %s, longitude %s, elevation %s; %d %s to %d %s %d", lat, lon, elev,
                                   v->season.start_day, month_names[v->season.start_month - 1], v->season.stop_day,
                                   month_names[v->season.stop_month - 1], v->season.year);
    // Titled and labelled by what the compass is coloured and ranked by.
    const bool byIrradiation = v->by == BY_IRRADIATION;
    cairo_set_source_rgb(cr, 0.043, 0.302, 0.247);
    drawText(cr, byIrradiation ? "Season irradiation by slope" : "Season degree days by slope", "Sans Bold 13", 20.0,
             14.0, 0.0, 0.0);
    drawText(cr, title, "Sans 10", 20.0, 40.0, 0.0, 0.0);
    const bool stored = v->selected == SLOPES_STORED;
    gchar *aspect = aspectText(stored ? v->stored.aspect : slopes_grid_aspect(v->selected));
    gchar *tilt = decimalText(stored ? v->stored.tilt : slopes_grid_tilt(v->selected), 1);
    const slope_season &r = v->results[v->selected];
    gchar *gdd = decimalText(r.season_degree_days, 2);
    gchar *irr = decimalText(r.season_irradiation, 1);
    gchar *figures = byIrradiation ? g_strdup_printf("%s MJ/m² (clear-sky direct beam), %s degree days", irr, gdd)
                                   : g_strdup_printf("%s degree days", gdd);
    gchar *months = g_strdup_printf("Months below: %s, aspect %s, tilt %s°, %s%s",
                                    stored                    ? "the stored slope"
                                    : v->selected != v->best ? "the selected slope"
                                    : byIrradiation          ? "the best slope by irradiation"
                                                             : "the best slope",
                                    aspect, tilt, figures,
                                    v->calibrated ? "" : "   (outside the calibrated region: not calibrated here)");
    drawText(cr, months, "Sans Italic 9.5", 20.0, 62.0, 0.0, 0.0);
    gchar *caveat = v->selected == v->best ? slopes_best_caveat(v) : nullptr;
    if (caveat != nullptr) drawText(cr, caveat, "Sans Italic 9", 20.0, 78.0, 0.0, 0.0);
    g_free(caveat);
    g_free(months);
    g_free(figures);
    g_free(aspect);
    g_free(tilt);
    g_free(gdd);
    g_free(irr);
    g_free(title);
    g_free(lat);
    g_free(lon);
    g_free(elev);

    cairo_save(cr);
    cairo_translate(cr, 0.0, kTitle);
    slopes_compass_draw(cr, v, kWidth, kCompass);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 40.0, kTitle + kCompass);
    month_rows rows = slopes_month_rows(v);
    drawMonthChart(cr, &rows, kWidth - 80.0, kMonths - 20.0);
    cairo_restore(cr);
}

}  // namespace

bool slopes_save_chart(const slopes_view *view, const char *path, GError **error) {
    if (!view->have) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no comparison to save");
        return false;
    }
    return saveDrawing(path, kWidth, kTitle + kCompass + kMonths, drawPage, view, "chart", error);
}

bool slopes_save_report(const slopes_view *view, const char *path, GError **error) {
    if (!view->have) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no comparison to report");
        return false;
    }
    const bool stored = view->selected == SLOPES_STORED;
    site_report r;
    r.site = view->site;
    r.season = view->season;
    r.ground.tilt = stored ? view->stored.tilt : slopes_grid_tilt(view->selected);
    r.ground.aspect = r.ground.tilt == 0.0f ? -1.0f : stored ? view->stored.aspect : slopes_grid_aspect(view->selected);
    r.figures = view->results[view->selected];
    r.target = view->target;
    r.target_day = view->target > 0.0 ? view->target_days[view->selected] : 0;
    // The desktop's paper, as GTK's printing takes it from the locale.
    GtkPaperSize *paper = gtk_paper_size_new(nullptr);
    r.paper = std::string(gtk_paper_size_get_name(paper)) == GTK_PAPER_NAME_LETTER ? REPORT_LETTER : REPORT_A4;
    gtk_paper_size_free(paper);
    r.version = VERANTA_VERSION;
    r.date = reportToday();
    std::string why;
    if (!writeSiteReport(path, &r, &why)) {
        g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, "%s", why.c_str());
        return false;
    }
    return true;
}
