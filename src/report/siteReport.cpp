// The report of one site and slope, as the slope explorer computed it: page
// 1 the site, the slope and its season's figures month by month; page 2
// the months as a chart and the date the target is reached; last, what the
// numbers are. And the paper of the user's locale, for both reports.
#include "report/reportPages.h"

#include "files/safeWrite.h"
#include "model/calibratedRegion.h"
#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "model/seasonRanking.h"
#include "model/winklerRegions.h"
#include "terrain/mapTexts.h"

#include <ctime>
#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstdint>

namespace {

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

std::string degreesText(double value, char positive, char negative) {
    return decimalString(std::fabs(value), 4) + "° " + (value >= 0.0 ? positive : negative);
}

std::string slopeText(const slope &g) {
    if (g.tilt == 0.0f) return "level ground (tilt 0°)";
    return "aspect " + aspectString(g.aspect) + " clockwise from north, tilt " +
           decimalString(g.tilt, std::fmod(g.tilt, 1.0f) == 0.0f ? 0 : 1) + "°";
}

struct site_months {
    int count = 0;
    int month[12] = {};
    int first[12] = {}, last[12] = {};
    bool backwards[12] = {};
};

site_months monthsOf(const site_report *r) {
    site_months m;
    int lengths[12];
    if (sweepSeasonCheck(&r->season, lengths) != 0) return m;
    gdd_falls falls;
    findGddFalls(&falls);
    bool backwards[12];
    // The zone of the site's latitude, as the explorer marks its months.
    seasonFallingMonths(&falls, &r->figures, gddZone(r->site.latitude), backwards);
    const season_range &s = r->season;
    for (int k = s.start_month; k <= s.stop_month; k++) {
        m.month[m.count] = k;
        m.first[m.count] = k == s.start_month ? s.start_day : 1;
        m.last[m.count] = k == s.stop_month ? s.stop_day : lengths[k - 1];
        m.backwards[m.count] = backwards[k - 1];
        m.count++;
    }
    return m;
}

std::string targetSentence(const site_report *r) {
    if (!(r->target > 0.0)) return "No degree-day target was set, so no date is given.";
    const std::string date = targetDateText(r->season.year, r->target_day);
    if (r->target_day == 0)
        return "The target of " + targetText(r->target) + " °C degree days is not reached in this season.";
    return "The target of " + targetText(r->target) + " °C degree days above 10 °C is reached on " + date + " " +
           std::to_string(r->season.year) + ".";
}

}  // namespace

report_paper localePaper(void) {
    // LC_PAPER of the environment, without touching the process's locale.
    locale_t paper = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(0));
    if (paper == static_cast<locale_t>(0)) return REPORT_A4;
    const long width = static_cast<long>(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, paper)));
    freelocale(paper);
    return width == 216 ? REPORT_LETTER : REPORT_A4;
}

std::string reportToday(void) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    static const char *const months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    return std::to_string(local.tm_mday) + " " + months[local.tm_mon] + " " + std::to_string(local.tm_year + 1900);
}

bool siteReportPdf(const site_report *r, std::string *pdf, std::string *refusal) {
    int lengths[12];
    if (sweepSeasonCheck(&r->season, lengths) != 0) return refuse(refusal, "the season is not one the report can show");
    const site_location &site = r->site;
    const slope_season &f = r->figures;
    const site_months months = monthsOf(r);
    report_pages pages(r->paper, reportFooter(r->version, r->date), pdf);

    pages.title("Site report: one slope over a season");
    pages.paragraph("Site: latitude " + degreesText(site.latitude, 'N', 'S') + ", longitude " +
                    degreesText(site.longitude, 'E', 'W') + ", elevation " + decimalString(site.elevation, 0) +
                    " m above sea level.");
    pages.paragraph("Slope: " + slopeText(r->ground) + ".");
    pages.paragraph("Season: " + seasonText(r->season) + ".");
    const bool inside =
        siteInCalibratedRegion(site.latitude, site.longitude, site.elevation, r->ground.aspect, r->ground.tilt);
    if (!inside)
        pages.paragraph("This site lies outside the region the degree days are calibrated for (" +
                        std::string(calibratedRegionText()) + "): its degree days are not calibrated here.");
    pages.heading("The season");
    pages.paragraph("Clear-sky direct beam on the slope: " + figureText(f.season_irradiation, 1) +
                        " MJ/m². Degree days: " + figureText(f.season_degree_days, 1) + " °C degree days above 10 °C.",
                    kReportBold);
    if (winklerSeason(r->season)) {
        const int region = winklerRegion(f.season_degree_days);
        const winkler_class *c = winklerClass(region);
        if (c != nullptr)
            pages.paragraph("Winkler region: " + std::string(c->name) + " (" + winklerBoundsText(region) +
                            " °C degree days).");
        pages.paragraph(std::string(winklerSourceText()) + " " + winklerNoteText(), kReportSmall);
    } else {
        pages.paragraph(winklerOffSeasonText(r->season));
    }
    pages.paragraph(targetSentence(r));

    pages.heading("Month by month");
    std::vector<std::vector<std::string>> rows;
    bool backwards = false;
    for (int k = 0; k < months.count; k++) {
        const int m = months.month[k] - 1;
        backwards = backwards || months.backwards[k];
        rows.push_back({month_names[m], std::to_string(months.first[k]) + " to " + std::to_string(months.last[k]),
                        figureText(f.month_irradiation[m], 1), figureText(f.month_degree_days[m], 1),
                        months.backwards[k] ? "*" : ""});
    }
    rows.push_back({"season", "", figureText(f.season_irradiation, 1), figureText(f.season_degree_days, 1), ""});
    pages.table({{"month", 0.2, 0.0},
                 {"days of the season", 0.2, 0.0},
                 {"irradiation (MJ/m²)", 0.2, 1.0},
                 {"degree days (°C above 10 °C)", 0.25, 1.0},
                 {"formula runs backwards", 0.15, 1.0}},
                rows);
    if (backwards) pages.paragraph(fallingMarkNote(), kReportSmall);

    pages.newPage();
    pages.heading("The months as a chart");
    report_months chart;
    chart.title = "The slope's degree days, " + seasonText(r->season);
    for (int k = 0; k < months.count; k++) {
        chart.month[k] = months.month[k];
        chart.degree_days[k] = f.month_degree_days[months.month[k] - 1];
        chart.backwards[k] = months.backwards[k];
    }
    chart.count = months.count;
    const double h = 220.0;
    drawMonthChart(pages.cr(), &chart, pages.left(), pages.y(), pages.width(), h);
    pages.advance(h + 10.0);
    if (backwards) pages.paragraph(fallingMarkNote(), kReportSmall);
    pages.heading("The date the target is reached");
    pages.paragraph(targetSentence(r));

    pages.newPage();
    pages.heading("What the numbers are");
    pages.paragraph(unitsNote(false));
    pages.paragraph(directBeamNote());
    pages.paragraph(estimateNote());
    pages.paragraph("The formulas are calibrated for " + std::string(calibratedRegionText()) + "; this site lies " +
                    (inside ? "inside" : "outside") + " that region" +
                    (inside ? "." : ", where its degree days come from formulas fitted elsewhere."));
    pages.paragraph(fallingRangesNote());
    if (r->target > 0.0) pages.paragraph(targetRuleNote());
    pages.paragraph("Shading: none. The slope gets the sun its own tilt and aspect face; the hills around the site "
                    "cast no shade in these figures.");
    pages.paragraph("Elevation: as given for the site, " + decimalString(site.elevation, 0) +
                    " m above sea level; no elevation model was used.");
    pages.paragraph(madeText(r->version, r->date));
    return pages.finish(refusal);
}

bool writeSiteReport(const std::string &path, const site_report *report, std::string *refusal) {
    std::string pdf;
    return siteReportPdf(report, &pdf, refusal) && writeFileSafely(path, pdf.data(), pdf.size(), refusal);
}
