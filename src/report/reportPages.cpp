// The pages of a report: cairo's PDF surface writing into a string, text
// laid out by Pango at 72 points to the inch so that font sizes are the
// page's points, flowing down the page and on to the next where it does not
// fit; tables whose header repeats where they continue. cairo embeds the
// fonts' glyphs it uses and keeps the text as text, so it can be selected
// and searched.
#include "report/reportPages.h"

#include "model/gddFalls.h"
#include "model/model.h"
#include "terrain/mapTexts.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

const char *const kReportBody = "Sans 9";
const char *const kReportSmall = "Sans 7.5";
const char *const kReportBold = "Sans Bold 9";

namespace {

const double kInk[3] = {0.10, 0.16, 0.14};

// A layout of text in points: the page's own unit, hinting off as print wants.
PangoLayout *layoutOf(cairo_t *cr, const std::string &text, const char *font, double width) {
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoContext *context = pango_layout_get_context(layout);
    pango_cairo_context_set_resolution(context, 72.0);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);
    PangoFontDescription *description = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    if (width > 0.0) {
        pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

cairo_status_t appendBytes(void *closure, const unsigned char *data, unsigned int length) {
    static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void reportTextSize(cairo_t *cr, const std::string &text, const char *font, double width, double *w, double *h) {
    PangoLayout *layout = layoutOf(cr, text, font, width);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    *w = static_cast<double>(logical.width) / PANGO_SCALE;
    *h = static_cast<double>(logical.height) / PANGO_SCALE;
    g_object_unref(layout);
}

double reportLabel(cairo_t *cr, const std::string &text, const char *font, double x, double y, double xalign,
                   double yalign, double width) {
    PangoLayout *layout = layoutOf(cr, text, font, width);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    const double w = width > 0.0 ? width : static_cast<double>(logical.width) / PANGO_SCALE;
    const double h = static_cast<double>(logical.height) / PANGO_SCALE;
    if (width > 0.0 && xalign > 0.0)
        pango_layout_set_alignment(layout, xalign >= 1.0 ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_CENTER);
    cairo_move_to(cr, x - w * xalign, y - h * yalign);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    return h;
}

report_pages::report_pages(report_paper paper, const std::string &footer, std::string *pdf)
    : pdf_(pdf), footer_(footer) {
    // A4 is 210 x 297 mm, Letter 8.5 x 11 in; 72 points to the inch.
    page_width_ = paper == REPORT_LETTER ? 612.0 : 210.0 / 25.4 * 72.0;
    page_height_ = paper == REPORT_LETTER ? 792.0 : 297.0 / 25.4 * 72.0;
    pdf_->clear();
    surface_ = cairo_pdf_surface_create_for_stream(appendBytes, pdf_, page_width_, page_height_);
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "veranta");
    cr_ = cairo_create(surface_);
    y_ = margin_;
}

report_pages::~report_pages() {
    if (cr_ != nullptr) cairo_destroy(cr_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

void report_pages::footer() {
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, 0.35, 0.38, 0.37);
    reportLabel(cr_, footer_, kReportSmall, margin_, page_height_ - margin_, 0.0, 1.0);
    reportLabel(cr_, "page " + std::to_string(page_), kReportSmall, page_width_ - margin_, page_height_ - margin_, 1.0,
                1.0);
    cairo_restore(cr_);
}

void report_pages::newPage() {
    footer();
    cairo_show_page(cr_);
    page_++;
    y_ = margin_;
}

void report_pages::need(double points) {
    if (y_ > margin_ && y_ + points > bottom()) newPage();
}

void report_pages::title(const std::string &text) {
    double w, h;
    reportTextSize(cr_, text, "Sans Bold 16", width(), &w, &h);
    need(h + 40.0);
    cairo_set_source_rgb(cr_, kInk[0], kInk[1], kInk[2]);
    y_ += reportLabel(cr_, text, "Sans Bold 16", margin_, y_, 0.0, 0.0, width()) + 8.0;
}

void report_pages::heading(const std::string &text) {
    double w, h;
    reportTextSize(cr_, text, "Sans Bold 11", width(), &w, &h);
    // A heading never ends a page alone.
    need(h + 48.0);
    if (y_ > margin_) y_ += 6.0;
    cairo_set_source_rgb(cr_, kInk[0], kInk[1], kInk[2]);
    y_ += reportLabel(cr_, text, "Sans Bold 11", margin_, y_, 0.0, 0.0, width()) + 4.0;
}

void report_pages::paragraph(const std::string &text, const char *font) {
    double w, h;
    reportTextSize(cr_, text, font, width(), &w, &h);
    need(h);
    cairo_set_source_rgb(cr_, kInk[0], kInk[1], kInk[2]);
    y_ += reportLabel(cr_, text, font, margin_, y_, 0.0, 0.0, width()) + 5.0;
}

// One row at y_: each cell wrapped to its column; its height.
double report_pages::tableRow(const std::vector<column> &columns, const std::vector<std::string> &cells,
                              const char *font, bool measure) {
    double x = margin_, tallest = 0.0;
    for (size_t k = 0; k < columns.size(); k++) {
        const double w = width() * columns[k].share - 4.0;
        const std::string &text = k < cells.size() ? cells[k] : std::string();
        double tw, th;
        reportTextSize(cr_, text, font, w, &tw, &th);
        if (!measure) reportLabel(cr_, text, font, x + w * columns[k].align, y_ + 2.0, columns[k].align, 0.0, w);
        tallest = std::max(tallest, th);
        x += width() * columns[k].share;
    }
    return tallest + 4.0;
}

void report_pages::table(const std::vector<column> &columns, const std::vector<std::vector<std::string>> &rows) {
    std::vector<std::string> headers;
    for (const column &c : columns) headers.push_back(c.header);
    auto header = [&] {
        cairo_set_source_rgb(cr_, kInk[0], kInk[1], kInk[2]);
        const double h = tableRow(columns, headers, "Sans Bold 7.5", false);
        y_ += h;
        cairo_move_to(cr_, margin_, y_);
        cairo_line_to(cr_, margin_ + width(), y_);
        cairo_set_line_width(cr_, 0.8);
        cairo_stroke(cr_);
    };
    const double header_height = tableRow(columns, headers, "Sans Bold 7.5", true);
    need(header_height + (rows.empty() ? 0.0 : tableRow(columns, rows[0], kReportSmall, true)));
    header();
    for (const std::vector<std::string> &row : rows) {
        const double h = tableRow(columns, row, kReportSmall, true);
        if (y_ + h > bottom()) {
            newPage();
            header();
        }
        cairo_set_source_rgb(cr_, kInk[0], kInk[1], kInk[2]);
        tableRow(columns, row, kReportSmall, false);
        y_ += h;
        cairo_move_to(cr_, margin_, y_);
        cairo_line_to(cr_, margin_ + width(), y_);
        cairo_set_source_rgb(cr_, 0.8, 0.82, 0.81);
        cairo_set_line_width(cr_, 0.4);
        cairo_stroke(cr_);
    }
    y_ += 8.0;
}

bool report_pages::finish(std::string *refusal) {
    footer();
    cairo_show_page(cr_);
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_finish(surface_);
    const cairo_status_t status = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (status == CAIRO_STATUS_SUCCESS) return true;
    if (refusal != nullptr) *refusal = std::string("the report could not be drawn: ") + cairo_status_to_string(status);
    return false;
}

std::string reportFooter(const std::string &version, const std::string &date) {
    std::string text = "veranta";
    if (!version.empty()) text += " " + version;
    text += " · site report";
    if (!date.empty()) text += " made on " + date;
    return text;
}

std::string madeText(const std::string &version, const std::string &date) {
    std::string text = "Made by veranta";
    if (!version.empty()) text += " " + version;
    if (!date.empty()) text += " on " + date;
    return text + ".";
}

std::string seasonText(const season_range &s) {
    if (s.start_month < 1 || s.start_month > 12 || s.stop_month < 1 || s.stop_month > 12) return "no season";
    return std::to_string(s.start_day) + " " + month_names[s.start_month - 1] + " to " + std::to_string(s.stop_day) +
           " " + month_names[s.stop_month - 1] + " " + std::to_string(s.year);
}

std::string figureText(double value, int decimals) {
    return std::isfinite(value) ? decimalString(value, decimals) : "no data";
}

std::string unitsNote(bool map) {
    std::string text =
        "Irradiation is in MJ/m² (megajoules per square metre of ground) over the time said: a month or the season. "
        "Degree days are Celsius degree days above a base of 10 °C (°C degree days). Elevations are in metres above "
        "sea level; aspects in degrees clockwise from north (180° faces south); tilts in degrees from level. Dates are "
        "days of the season's year.";
    if (map)
        text += " Areas are in hectares (1 ha = 10,000 m²), each cell of the elevation model counted with its own "
                "area; a cell belongs to a block when its centre lies inside it. Minutes in terrain shadow are the "
                "minutes of the season's days when the slope faces the sun but a hill hides it. The scale bar is in "
                "metres on the ground.";
    return text;
}

std::string directBeamNote(void) {
    return "Irradiation is the direct beam of a clear sky on the slope of the ground: no diffuse light from the sky, "
           "no light reflected from the ground, no cloud. It is not comparable with a weather station's global "
           "irradiation.";
}

std::string estimateNote(void) {
    return "The degree days are an estimate, not a measurement: the degree days of an average season at a site of "
           "that clear-sky irradiation and elevation in the calibrated region. The formulas were fitted to long-run "
           "weather station records there, with a base of 10 °C and daily maxima capped at 30 °C. They give neither "
           "a given year nor the site's own record; real seasons with more cloud give less. The sun's path is "
           "computed with the air pressure as at sea level, 1013 mb.";
}

std::string targetRuleNote(void) {
    return "The date a target is reached: a day's degree days are its month's degree days times the day's share of "
           "the month's irradiation; running from the season's first day, the first day whose running total reaches "
           "the target is the date.";
}

std::string fallingMarkNote(void) {
    return "* Here the formula gives fewer degree days for more sun, so compare these months by irradiation.";
}

// Every range of every polynomial where it falls as the irradiation rises.
std::string fallingRangesNote(void) {
    static const char *const where[GDD_POLYNOMIALS] = {
        "north of latitude 43.7°, January to June, below %s MJ/m² a month",
        "north of latitude 43.7°, January to June, from %s MJ/m² a month",
        "north of latitude 43.7°, July to December",
        "at or south of latitude 43.7°, January to June, below %s MJ/m² a month",
        "at or south of latitude 43.7°, January to June, from %s MJ/m² a month",
        "at or south of latitude 43.7°, July to December",
    };
    gdd_falls falls;
    findGddFalls(&falls);
    std::string text = "Where the formula runs backwards, it gives fewer degree days for more sun; months whose "
                       "irradiation lies there are marked *. The ranges, in MJ/m² of a whole month:";
    for (int p = 0; p < GDD_POLYNOMIALS; p++) {
        if (falls.count[p] == 0) continue;
        double low, high;
        gddPolynomialDomain(p, &low, &high);
        // The branch's split is the bound its domain shares with the other branch.
        const double split = p == GDD_NORTH_FIRST_LOW || p == GDD_SOUTH_FIRST_LOW ? high : low;
        std::string name = where[p];
        const size_t at = name.find("%s");
        if (at != std::string::npos) name.replace(at, 2, decimalString(split, 2));
        text += " " + name + ": ";
        for (int r = 0; r < falls.count[p]; r++) {
            const gdd_range &g = falls.range[p][r];
            if (r > 0) text += " and ";
            text += std::isinf(g.high) ? "above " + decimalString(g.low, 0)
                                       : decimalString(g.low, 0) + " to " + decimalString(g.high, 0);
        }
        text += ";";
    }
    text.back() = '.';
    return text;
}
