// The report of a computed map: page 1 the map with its blocks, the answer,
// the block table and the hectares per Winkler region; then the months of
// the land's or each block's mean, the date the target is reached and the
// land's area by degree days; last, what the numbers are. The blocks'
// figures are the caller's (blockFigures, the same as the block files); the
// land's own mean months come from blockFigures too, the land as one block.
#include "report/reportPages.h"

#include "files/safeWrite.h"
#include "model/calibratedRegion.h"
#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "model/winklerRegions.h"
#include "parcel/parcelMap.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"

#include <gdal.h>

#include <algorithm>
#include <cmath>

namespace {

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

std::string percentText(double share) { return std::isfinite(share) ? decimalString(100.0 * share, 1) + " %" : "no data"; }

// What the map's cells are, for the pages: the block of each cell (empty
// without a parcel) and the land's own figures as one block.
struct report_cells {
    std::vector<std::int32_t> block;   // of each cell, 0 outside every block
    block_figures land;
};

bool prepare(const map_report *r, report_cells *cells, std::string *refusal) {
    const land_map *m = r->map;
    if (m == nullptr || m->grid.cells() <= 0) return refuse(refusal, "there is no map to report");
    const size_t n = static_cast<size_t>(m->grid.cells());
    if (m->elevation.size() != n || m->latitude.size() != n || m->longitude.size() != n ||
        m->grid.row_area.size() != static_cast<size_t>(m->grid.height))
        return refuse(refusal, "the map was computed without the elevations and positions a report draws");
    if (r->blocks.outline != nullptr) {
        if (r->blocks.figures == nullptr) return refuse(refusal, "the blocks' figures are missing");
        if (r->blocks.cell_block != nullptr) {
            cells->block.assign(r->blocks.cell_block, r->blocks.cell_block + n);
        } else if (const float *band = m->band(map_quantity::block_number)) {
            cells->block.resize(n);
            for (size_t i = 0; i < n; i++) cells->block[i] = band[i] > 0.0f ? static_cast<std::int32_t>(band[i]) : 0;
        } else {
            return refuse(refusal, "the blocks' cells on the map are not given");
        }
        const std::int32_t blocks = static_cast<std::int32_t>(r->blocks.outline->blocks.size());
        for (std::int32_t b : cells->block)
            if (b < 0 || b > blocks) return refuse(refusal, "the map's blocks are not this parcel's");
    }
    // The whole land as one block: its mean months and where they run backwards.
    parcel land;
    land.crs_wkt = m->grid.crs_wkt;
    land.blocks.push_back({"the land", {}, false});
    const std::vector<std::int32_t> every(n, 1);
    block_map whole;
    std::vector<block_figures> figures;
    if (!blockMapOf(m, every.data(), &whole, refusal) ||
        !blockFigures(&land, nullptr, &whole, r->threshold, &figures, refusal) || figures.empty())
        return refuse(refusal, "the map lacks the bands a report needs");
    cells->land = figures[0];
    return true;
}

void blockTable(report_pages &pages, const std::vector<block_figures> &figures) {
    const std::vector<report_pages::column> columns = {
        {"block", 0.055, 0.0},
        {"name", 0.11, 0.0},
        {"area with data (ha)", 0.09, 1.0},
        {"at or above the threshold (ha)", 0.10, 1.0},
        {"share at or above it", 0.08, 1.0},
        {"degree days, lowest (°C)", 0.08, 1.0},
        {"degree days, mean (°C)", 0.08, 1.0},
        {"degree days, highest (°C)", 0.08, 1.0},
        {"irradiation, mean (MJ/m²)", 0.11, 1.0},
        {"terrain shadow, mean (minutes)", 0.10, 1.0},
        {"outside the calibrated region", 0.105, 1.0},
    };
    std::vector<std::vector<std::string>> rows;
    for (const block_figures &f : figures)
        rows.push_back({std::to_string(f.block), f.name, figureText(f.hectares_with_data, 2),
                        figureText(f.hectares_reaching, 2), percentText(f.share_reaching), figureText(f.gdd_min, 0),
                        figureText(f.gdd_mean, 0), figureText(f.gdd_max, 0), figureText(f.irradiation_mean_mj_m2, 0),
                        figureText(f.shadow_minutes_mean, 0), percentText(f.share_outside_calibration)});
    pages.table(columns, rows);
}

void winklerSection(report_pages &pages, const map_report *r, const report_cells &cells) {
    const land_map &m = *r->map;
    pages.heading("Winkler regions");
    if (!winklerSeason(m.options.season)) {
        pages.paragraph(winklerOffSeasonText(m.options.season));
        return;
    }
    std::vector<report_pages::column> columns = {{"hectares (ha) in each region", 0.2, 0.0}};
    for (int k = 0; k < WINKLER_REGIONS; k++)
        columns.push_back({std::string(winklerClass(k)->name) + ", " + winklerBoundsText(k), 0.1, 1.0});
    std::vector<std::vector<std::string>> rows;
    auto row = [&](const std::string &name, const std::int32_t *cell_block, std::int32_t block) {
        double hectares[WINKLER_REGIONS];
        mapWinklerHectares(m, cell_block, block, hectares);
        std::vector<std::string> cellsText = {name};
        for (double h : hectares) cellsText.push_back(figureText(h, 2));
        rows.push_back(cellsText);
    };
    if (r->blocks.outline == nullptr) row("the land", nullptr, 0);
    else
        for (const block_figures &f : *r->blocks.figures) row(std::to_string(f.block) + " " + f.name, cells.block.data(), f.block);
    pages.table(columns, rows);
    pages.paragraph("Bounds in °C degree days above 10 °C, 1 April to 31 October. " + std::string(winklerSourceText()) +
                        " " + winklerNoteText(),
                    kReportSmall);
}

// The months of a block's (or the land's) mean, in season order.
report_months monthsOf(const block_figures &f, const season_range &s, const std::string &title) {
    report_months months;
    months.title = title;
    for (int k = s.start_month - 1; k <= s.stop_month - 1 && k < 12; k++) {
        if (k < 0 || !f.in_season[k]) continue;
        months.month[months.count] = k + 1;
        months.degree_days[months.count] = f.month_gdd[k];
        months.backwards[months.count] = f.month_backwards[k];
        months.count++;
    }
    return months;
}

void monthTable(report_pages &pages, const block_figures &f, const season_range &s) {
    int lengths[12];
    sweepSeasonCheck(&s, lengths);
    std::vector<std::vector<std::string>> rows;
    for (int k = s.start_month - 1; k <= s.stop_month - 1 && k < 12; k++) {
        if (k < 0 || !f.in_season[k]) continue;
        const int first = k == s.start_month - 1 ? s.start_day : 1;
        const int last = k == s.stop_month - 1 ? s.stop_day : lengths[k];
        rows.push_back({month_names[k], std::to_string(first) + " to " + std::to_string(last),
                        figureText(f.month_irradiation_mj_m2[k], 1), figureText(f.month_gdd[k], 1),
                        f.month_backwards[k] ? "*" : ""});
    }
    pages.table({{"month", 0.2, 0.0},
                 {"days of the season", 0.2, 0.0},
                 {"irradiation, mean (MJ/m²)", 0.2, 1.0},
                 {"degree days, mean (°C above 10 °C)", 0.25, 1.0},
                 {"formula runs backwards", 0.15, 1.0}},
                rows);
}

// The target's day over a set of cells: the day by which half their area
// has reached it, the share that does by the season's end, the first day
// any does.
struct target_spread {
    int half_day = 0;   // 0: half the area does not reach it
    int first_day = 0;  // 0: none does
    double share = 0.0;
    bool any = false;   // any cell with data
};

target_spread spreadOf(const land_map &m, const std::vector<std::int32_t> &cell_block, std::int32_t block) {
    const float *day = m.band(map_quantity::target_day);
    // Hectares by the day reached, 0 for never: a day of the year is at most 366.
    std::vector<double> by_day(367, 0.0);
    double total = 0.0;
    for (int r = 0; r < m.grid.height; r++)
        for (int c = 0; c < m.grid.width; c++) {
            const size_t i = static_cast<size_t>(r) * static_cast<size_t>(m.grid.width) + static_cast<size_t>(c);
            if (!cell_block.empty() && cell_block[i] != block) continue;
            if (day[i] == kMapNodata || !(day[i] >= 0.0f && day[i] <= 366.0f)) continue;
            const double ha = m.grid.row_area[static_cast<size_t>(r)] / 1e4;
            by_day[static_cast<size_t>(day[i])] += ha;
            total += ha;
        }
    target_spread t;
    t.any = total > 0.0;
    double so_far = 0.0;
    for (int d = 1; d <= 366; d++) {
        if (by_day[static_cast<size_t>(d)] <= 0.0) continue;
        if (t.first_day == 0) t.first_day = d;
        so_far += by_day[static_cast<size_t>(d)];
        if (t.half_day == 0 && so_far >= total / 2.0) t.half_day = d;
    }
    t.share = t.any ? so_far / total : 0.0;
    return t;
}

void targetSection(report_pages &pages, const map_report *r, const report_cells &cells) {
    const land_map &m = *r->map;
    pages.heading("The date the target is reached");
    if (m.band(map_quantity::target_day) == nullptr) {
        pages.paragraph("No degree-day target was set for this map, so no date is given.");
        return;
    }
    const int year = m.options.season.year;
    pages.paragraph("Target: " + targetText(m.options.target) + " °C degree days above 10 °C from " +
                    seasonText(m.options.season) + ". Each cell reaches it on its own day; the table gives the date "
                    "the mean of the cells' running degree days reaches it, the day by which half the area has "
                    "reached it, the share of the area that reaches it by the season's end and the first day any of "
                    "it does.");
    std::vector<std::vector<std::string>> rows;
    // mean_day: the day the mean reaches it, 0 never, -1 not kept with the map.
    auto row = [&](const std::string &name, std::int32_t block, int mean_day) {
        const target_spread t = spreadOf(m, cells.block, block);
        if (!t.any) {
            rows.push_back({name, "no data", "no data", "no data", "no data"});
            return;
        }
        rows.push_back({name, mean_day < 0 ? "–" : targetDateText(year, mean_day), targetDateText(year, t.half_day),
                        percentText(t.share), targetDateText(year, t.first_day)});
    };
    if (r->blocks.outline == nullptr)
        row("the land", 0, cells.land.target_day_of_mean);
    else
        for (const block_figures &f : *r->blocks.figures)
            row(std::to_string(f.block) + " " + f.name, f.block, f.target_day_of_mean);
    pages.table({{"", 0.16, 0.0},
                 {"its mean reaches it on", 0.22, 1.0},
                 {"half the area has reached it on", 0.22, 1.0},
                 {"share reaching it by the season's end", 0.18, 1.0},
                 {"first reached on", 0.22, 1.0}},
                rows);
}

void monthsPage(report_pages &pages, const map_report *r, const report_cells &cells) {
    const land_map &m = *r->map;
    const season_range &s = m.options.season;
    const std::vector<block_figures> none;
    const std::vector<block_figures> &blocks = r->blocks.outline != nullptr ? *r->blocks.figures : none;
    pages.heading("Month by month");
    bool backwards = false;
    if (blocks.size() >= 2) {
        pages.paragraph("Each block's mean degree days month by month.");
        const double w = (pages.width() - 18.0) / 2.0, h = 132.0;
        for (size_t k = 0; k < blocks.size(); k += 2) {
            pages.need(h + 8.0);
            for (size_t j = k; j < std::min(blocks.size(), k + 2); j++) {
                const block_figures &f = blocks[j];
                const report_months months = monthsOf(f, s, std::to_string(f.block) + " " + f.name);
                for (int i = 0; i < months.count; i++) backwards = backwards || months.backwards[i];
                drawMonthChart(pages.cr(), &months, pages.left() + (j - k) * (w + 18.0), pages.y(), w, h);
            }
            pages.advance(h + 12.0);
        }
    } else {
        const block_figures &f = blocks.empty() ? cells.land : blocks[0];
        const std::string title = blocks.empty() ? "The land's mean" : "Block " + std::to_string(f.block) + " " + f.name + ", its mean";
        const report_months months = monthsOf(f, s, title);
        for (int i = 0; i < months.count; i++) backwards = backwards || months.backwards[i];
        const double h = 170.0;
        pages.need(h + 8.0);
        drawMonthChart(pages.cr(), &months, pages.left(), pages.y(), pages.width(), h);
        pages.advance(h + 10.0);
        monthTable(pages, f, s);
    }
    if (backwards) pages.paragraph(fallingMarkNote(), kReportSmall);

    targetSection(pages, r, cells);

    // The land's area, or the parcel's, by degree days.
    const float *gdd = m.band(map_quantity::degree_days);
    std::vector<float> parcel_only;
    if (!cells.block.empty()) {
        parcel_only.assign(gdd, gdd + m.grid.cells());
        for (size_t i = 0; i < parcel_only.size(); i++)
            if (cells.block[i] == 0) parcel_only[i] = kMapNodata;
    }
    const float *values = parcel_only.empty() ? gdd : parcel_only.data();
    pages.heading(cells.block.empty() ? "The land by degree days" : "The blocks by degree days");
    const double h = 150.0;
    pages.need(h);
    drawAreaHistogram(pages.cr(), cells.block.empty() ? "the land's area" : "the area of every block together",
                      values, m.grid.width, m.grid.height, m.grid.row_area.data(), r->threshold,
                      pages.left(), pages.y(), pages.width(), h);
    pages.advance(h + 6.0);
}

void notesPage(report_pages &pages, const map_report *r) {
    const land_map &m = *r->map;
    const map_options &o = m.options;
    pages.heading("What the numbers are");
    pages.paragraph(unitsNote(true));
    pages.paragraph(directBeamNote());
    pages.paragraph(estimateNote());
    const double outside = outsideShare(m);
    pages.paragraph("The formulas are calibrated for " + std::string(calibratedRegionText()) + ". " +
                    figureText(100.0 * outside, outside > 0.0 && outside < 0.01 ? 2 : 1) +
                    " % of the land's cells with an elevation lie outside that region; their degree days are computed "
                    "all the same, by formulas fitted elsewhere, and are not calibrated there.");
    pages.paragraph(fallingRangesNote());
    if (o.target > 0.0) pages.paragraph(targetRuleNote());
    pages.paragraph(o.shade ? "Shading: the terrain's shade is counted. Each cell's horizon is found in " +
                                  std::to_string(o.directions) + " directions within " + decimalString(o.distance, 0) +
                                  " m, the earth's curvature allowed for; while the sun stands at or below it the "
                                  "cell gets no direct beam. Terrain beyond the elevation model casts no shade."
                            : "Shading: none. Each cell gets the sun its own slope faces; the hills around it cast "
                              "no shade in this map.");
    const report_elevation &e = r->elevation;
    const std::string file = e.file.empty() ? m.grid.raster_file : e.file;
    if (e.source_name.empty()) {
        pages.paragraph("Elevations: an elevation model the grower supplied: " + file + ".");
    } else {
        std::string text = "Elevations: " + e.source_name + " (the file " + file + ").";
        if (!e.licence.empty()) text += " Licence: " + e.licence + ".";
        if (!e.attribution.empty()) text += " Attribution: " + e.attribution + ".";
        pages.paragraph(text);
    }
    pages.paragraph(madeText(r->version, r->date));
}

}  // namespace


report_elevation reportElevation(const dem_source *dem, const std::string &file) {
    report_elevation e;
    e.file = file;
    if (dem == nullptr || dem->dataset == nullptr) return e;
    auto item = [&](const char *name) {
        const char *v = GDALGetMetadataItem(static_cast<GDALDatasetH>(dem->dataset), name, nullptr);
        return std::string(v != nullptr ? v : "");
    };
    e.source_name = item("ELEVATION_SOURCE_NAME");
    if (e.source_name.empty()) e.source_name = item("ELEVATION_SOURCE");
    e.licence = item("ELEVATION_LICENCE");
    e.attribution = item("ELEVATION_ATTRIBUTION");
    return e;
}

bool mapReportPdf(const map_report *r, std::string *pdf, std::string *refusal) {
    report_cells cells;
    if (!prepare(r, &cells, refusal)) return false;
    const land_map &m = *r->map;
    const std::string land = r->elevation.file.empty() ? m.grid.raster_file : r->elevation.file;
    report_pages pages(r->paper, reportFooter(r->version, r->date), pdf);

    pages.title("Site report: " + land);
    pages.paragraph(mapCaption(m, land) + "; threshold " + decimalString(r->threshold, 0) +
                    " °C degree days above 10 °C.");
    const double map_height = std::min(330.0, pages.room() * 0.5);
    pages.advance(drawReportMap(pages.cr(), r, pages.left(), pages.y(), pages.width(), map_height) + 10.0);
    std::string answer = answerText(m, r->threshold);
    if (answer.empty() || answer.back() != '.') answer += ".";
    pages.paragraph("The answer: " + answer + " (Degree days are °C above 10 °C; areas in hectares.)", kReportBold);
    const std::string outside = outsideText(m);
    if (!outside.empty()) pages.paragraph(outside);
    if (r->blocks.outline != nullptr) {
        pages.heading("The blocks");
        blockTable(pages, *r->blocks.figures);
    }
    winklerSection(pages, r, cells);

    pages.newPage();
    monthsPage(pages, r, cells);
    pages.newPage();
    notesPage(pages, r);
    return pages.finish(refusal);
}

bool writeMapReport(const std::string &path, const map_report *report, std::string *refusal) {
    std::string pdf;
    return mapReportPdf(report, &pdf, refusal) && writeFileSafely(path, pdf.data(), pdf.size(), refusal);
}
