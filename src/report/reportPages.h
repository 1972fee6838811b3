// What the report's units share, private to src/report: the pages of a PDF
// being written (text flowing down them, tables, room for a picture), text
// placed on a picture, and the pictures and notes both reports draw.
#ifndef VERANTA_REPORT_REPORTPAGES_H
#define VERANTA_REPORT_REPORTPAGES_H

#include "report/report.h"

#include <cairo.h>

#include <string>
#include <vector>

// Fonts, in points.
extern const char *const kReportBody;    // "Sans 9"
extern const char *const kReportSmall;   // "Sans 7.5"
extern const char *const kReportBold;    // "Sans Bold 9"

// Text placed by its anchor: xalign, yalign from 0 (left, top) to 1 (right,
// bottom); width > 0 wraps it. Returns its height in points.
double reportLabel(cairo_t *cr, const std::string &text, const char *font, double x, double y, double xalign,
                   double yalign, double width = 0.0);
// The size a text would take, wrapped to width (0: unwrapped).
void reportTextSize(cairo_t *cr, const std::string &text, const char *font, double width, double *w, double *h);

// A PDF's pages, written into a string as cairo makes them; text flows from
// the top margin down, and a page that has no room left is ended for the
// next. Every page carries the footer.
class report_pages {
public:
    report_pages(report_paper paper, const std::string &footer, std::string *pdf);
    ~report_pages();
    report_pages(const report_pages &) = delete;
    report_pages &operator=(const report_pages &) = delete;

    cairo_t *cr() const { return cr_; }
    double left() const { return margin_; }
    double width() const { return page_width_ - 2.0 * margin_; }
    double y() const { return y_; }
    double room() const { return bottom() - y_; }
    void advance(double points) { y_ += points; }
    // Ends the page and starts the next.
    void newPage();
    // Starts a new page unless points fit below the text so far.
    void need(double points);

    void title(const std::string &text);
    void heading(const std::string &text);
    void paragraph(const std::string &text, const char *font = kReportBody);

    // A table: columns with their share of the width and alignment (0 left,
    // 1 right); its header again on each page it continues on.
    struct column {
        std::string header;
        double share;
        double align;
    };
    void table(const std::vector<column> &columns, const std::vector<std::vector<std::string>> &rows);

    // False with one sentence when cairo could not make the PDF.
    bool finish(std::string *refusal);

private:
    double bottom() const { return page_height_ - margin_ - 18.0; }
    void footer();
    double tableRow(const std::vector<column> &columns, const std::vector<std::string> &cells, const char *font,
                    bool measure);

    std::string *pdf_;
    cairo_surface_t *surface_ = nullptr;
    cairo_t *cr_ = nullptr;
    double page_width_, page_height_, margin_ = 48.0, y_ = 0.0;
    int page_ = 1;
    std::string footer_;
};

// One chart of a season's months: the bars of degree days with their values,
// the months where the formula runs backwards hatched and starred.
struct report_months {
    std::string title;
    int count = 0;             // months in season order
    int month[12] = {};        // 1 = January
    double degree_days[12] = {};
    bool backwards[12] = {};
};
void drawMonthChart(cairo_t *cr, const report_months *months, double x, double y, double width, double height);

// The land's area by classes of season degree days (values a grid of
// cols x rows, kMapNodata where none), the threshold marked.
void drawAreaHistogram(cairo_t *cr, const std::string &title, const float *values, int cols, int rows,
                       const double *row_area, float threshold, double x, double y, double width, double height);

// The map with the blocks outlined and named, its legend with units, north
// arrow and scale bar, in the box (x, y, width, height); the height it took.
double drawReportMap(cairo_t *cr, const map_report *report, double x, double y, double width, double height);

// The last page's sections that both reports share.
std::string unitsNote(bool map);
std::string directBeamNote(void);
std::string estimateNote(void);
std::string fallingRangesNote(void);
std::string targetRuleNote(void);
std::string fallingMarkNote(void);

// "veranta 1.0.0 · site report made on 8 December 2026", of what is known.
std::string reportFooter(const std::string &version, const std::string &date);
// "Made by veranta 1.0.0 on 8 December 2026.", of what is known.
std::string madeText(const std::string &version, const std::string &date);
// "1 April to 31 October 2025".
std::string seasonText(const season_range &season);
// A figure with the given decimals, or "no data" when it is not a number.
std::string figureText(double value, int decimals);

#endif
