// The site report read back as a reader gets it (poppler's pdftotext and
// pdfinfo): each block's figures against the block CSV of the same map, the
// pages of each form and paper, the elevation source's attribution, the
// site form against the season sweep; and veranta-map's report options.
#include "../parcel/parcelFixtures.h"
#include "../support/demFiles.h"

#include "mapcli/mapCommand.h"
#include "model/degreeDayTarget.h"
#include "model/winklerRegions.h"
#include "parcel/parcelMap.h"
#include "report/report.h"
#include "terrain/mapTexts.h"

#include <gtest/gtest.h>

#include <gdal.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

const double E = 480000.0, N = 4930000.0;   // UTM 10N, about 44.5 N, 123.25 W
const int W = 40, H = 30;

// A hill of 40 x 30 cells of 10 m; metadata items as a fetched DEM has them.
std::string writeHill(const scratch_folder &dir, const std::string &name,
                      const std::vector<std::pair<const char *, const char *>> &metadata = {}) {
    std::vector<float> z(static_cast<size_t>(W * H));
    for (int r = 0; r < H; r++)
        for (int c = 0; c < W; c++)
            z[static_cast<size_t>(r * W + c)] =
                static_cast<float>(220.0 + 2.0 * c + 60.0 * std::exp(-((c - 20) * (c - 20) + (r - 12) * (r - 12)) / 60.0));
    const std::string path = dir.path(name);
    EXPECT_TRUE(writeDemFile(path, W, H, z, "EPSG:32610", 10.0, E, N));
    if (!metadata.empty()) {
        GDALDatasetH ds = GDALOpen(path.c_str(), GA_Update);
        for (const auto &m : metadata) GDALSetMetadataItem(ds, m.first, m.second, nullptr);
        GDALClose(ds);
    }
    return path;
}

// The DEM's map as the window keeps it; unshaded unless asked, to be quick.
void computeHill(const std::string &path, double target, land_map *map, report_elevation *elevation,
                 bool shade = false, const std::vector<std::int32_t> *blocks = nullptr) {
    dem_source dem;
    std::string why;
    ASSERT_EQ(openDem(path, 0, &dem, &why), TERRAIN_OK) << why;
    map_options options;
    options.season = {2025, 1, 4, 31, 10};
    options.shade = shade;
    options.directions = 8;
    options.distance = 300.0;
    options.target = target;
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    if (blocks != nullptr) {
        wants.groups = blocks->data();
        wants.group_count = *std::max_element(blocks->begin(), blocks->end());
    }
    ASSERT_EQ(computeMap(&dem, &options, nullptr, &wants, nullptr, map, &why), TERRAIN_OK) << why;
    *elevation = reportElevation(&dem, path.substr(path.find_last_of('/') + 1));
    closeDem(&dem);
}

// Blocks of a parcel over the hill: their outline, cells and figures.
struct hill_blocks {
    parcel outline;
    std::vector<std::int32_t> cells;
    std::vector<block_figures> figures;
};

void placeBlocks(const scratch_folder &dir, const land_map &map, const std::vector<std::string> &features,
                 float threshold, hill_blocks *b) {
    writeText(dir.path("blocks.geojson"), collectionJson(features, "urn:ogc:def:crs:EPSG::32610"));
    std::string why;
    ASSERT_TRUE(readParcel(dir.path("blocks.geojson"), map.grid.crs_wkt, &b->outline, &why)) << why;
    const parcel_grid grid = squareGrid(E, N, 10.0, W, H);
    ASSERT_TRUE(blockCells(&b->outline, &grid, &b->cells, &why)) << why;
    block_map bm;
    ASSERT_TRUE(blockMapOf(&map, b->cells.data(), &bm, &why)) << why;
    ASSERT_TRUE(blockFigures(&b->outline, nullptr, &bm, threshold, &b->figures, &why)) << why;
}

std::vector<std::string> twoBlocks() {
    return {featureJson(R"("name":"North")", polygonJson({rectangleRing(E + 20, N - 140, E + 380, N - 10)})),
            featureJson(R"("name":"South")", polygonJson({rectangleRing(E + 60, N - 290, E + 300, N - 160)}))};
}

std::string run(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
    return out;
}

std::string pdfText(const std::string &path, bool layout) {
    return run(std::string("pdftotext ") + (layout ? "-layout " : "") + "'" + path + "' -");
}

// The text as one line, in the layout's order, whitespace collapsed:
// sentences wrap anywhere.
std::string flatText(const std::string &path) {
    std::string flat;
    for (char c : pdfText(path, true)) {
        const bool space = c == '\n' || c == ' ' || c == '\f' || c == '\r';
        if (space && (flat.empty() || flat.back() == ' ')) continue;
        flat += space ? ' ' : c;
    }
    return flat;
}

int pdfPages(const std::string &path) {
    const std::string info = run("pdfinfo '" + path + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Every decimal number in the line, in order.
std::vector<double> numbersIn(const std::string &line) {
    std::vector<double> numbers;
    const char *p = line.c_str();
    while (*p != '\0') {
        if (std::isdigit(static_cast<unsigned char>(*p)) ||
            (*p == '-' && std::isdigit(static_cast<unsigned char>(p[1])))) {
            char *end = nullptr;
            numbers.push_back(std::strtod(p, &end));
            p = end;
        } else {
            p++;
        }
    }
    return numbers;
}

// The first line after the line holding after that starts with start, its
// runs of spaces (the layout's columns) made one.
std::string lineAfter(const std::string &text, const std::string &after, const std::string &start) {
    std::istringstream in(text);
    std::string line;
    bool seen = false;
    while (std::getline(in, line)) {
        std::string collapsed;
        for (char c : line)
            if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) collapsed += c;
        if (seen && collapsed.compare(0, start.size(), start) == 0) return collapsed;
        seen = seen || line.find(after) != std::string::npos;
    }
    return "";
}

std::vector<std::vector<std::string>> csvRows(const std::string &path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::stringstream s(line);
        std::string f;
        while (std::getline(s, f, ',')) fields.push_back(f);
        rows.push_back(fields);
    }
    return rows;
}

map_report reportOf(const land_map &map, const report_elevation &elevation, float threshold) {
    map_report r;
    r.map = &map;
    r.threshold = threshold;
    r.elevation = elevation;
    r.version = "9.9.9";
    r.date = "8 December 2026";
    return r;
}

TEST(Report, EveryBlocksFiguresAreTheBlockFilesFigures) {
    scratch_folder dir;
    land_map map;
    report_elevation elevation;
    computeHill(writeHill(dir, "hill.tif"), 900.0, &map, &elevation, true);
    hill_blocks b;
    placeBlocks(dir, map, twoBlocks(), 1300.0f, &b);
    ASSERT_EQ(b.figures.size(), 2u);
    std::string why;
    block_file_context context{"hill.tif", map.options.season, "none"};
    ASSERT_TRUE(writeBlockFile(dir.path("blocks.csv"), &b.outline, b.figures, &context, &why)) << why;
    map_report r = reportOf(map, elevation, 1300.0f);
    r.blocks = {&b.outline, &b.figures, b.cells.data()};
    ASSERT_TRUE(writeMapReport(dir.path("r.pdf"), &r, &why)) << why;

    const auto csv = csvRows(dir.path("blocks.csv"));
    auto column = [&](const std::string &name) {
        for (size_t k = 0; k < csv[0].size(); k++)
            if (csv[0][k] == name) return k;
        ADD_FAILURE() << "no column " << name;
        return size_t{0};
    };
    // The table's columns after the name: the CSV's column, its scale, the report's decimals.
    const struct {
        const char *column;
        double scale;
        int decimals;
    } shown[] = {{"hectares_with_data", 1, 2}, {"hectares_reaching", 1, 2},     {"share_reaching", 100, 1},
                 {"gdd_min", 1, 0},            {"gdd_mean", 1, 0},              {"gdd_max", 1, 0},
                 {"irradiation_mean_mj_m2", 1, 0}, {"shadow_minutes_mean", 1, 0},
                 {"share_outside_calibration", 100, 1}};
    const std::string text = pdfText(dir.path("r.pdf"), true);
    for (size_t row = 1; row < csv.size(); row++) {
        const std::string &name = csv[row][column("name")];
        const std::string line = lineAfter(text, "The blocks", csv[row][0] + " " + name);
        std::vector<double> numbers = numbersIn(line.substr(line.find(name) + name.size()));
        ASSERT_EQ(numbers.size(), std::size(shown)) << line;
        for (size_t k = 0; k < std::size(shown); k++) {
            const double expected = std::stod(csv[row][column(shown[k].column)]) * shown[k].scale;
            // Both rounded: the CSV to its decimals (at most 0.005 of a share's 100 %), the report to its own.
            EXPECT_NEAR(numbers[k], expected, 0.5 * std::pow(10.0, -shown[k].decimals) + 0.5 * shown[k].scale * 1e-4 + 1e-9)
                << name << ": " << shown[k].column;
        }
    }
}

// Each block's target row: on a grid of equal cells, the day by which half
// its cells have reached the target is the middle one of their days
// (never counting as latest), the share the count of days, the first the least.
TEST(Report, EachBlocksTargetDaysAreItsCellsDays) {
    scratch_folder dir;
    land_map map;
    report_elevation elevation;
    computeHill(writeHill(dir, "hill.tif"), 1000.0, &map, &elevation);
    hill_blocks b;
    placeBlocks(dir, map, twoBlocks(), 1300.0f, &b);
    // Computed again keeping each block's running degree days.
    const std::vector<std::int32_t> cells = b.cells;
    computeHill(dir.path("hill.tif"), 1000.0, &map, &elevation, false, &cells);
    placeBlocks(dir, map, twoBlocks(), 1300.0f, &b);
    map_report r = reportOf(map, elevation, 1300.0f);
    r.blocks = {&b.outline, &b.figures, b.cells.data()};
    std::string why;
    ASSERT_TRUE(writeMapReport(dir.path("r.pdf"), &r, &why)) << why;
    const std::string text = pdfText(dir.path("r.pdf"), true);
    const float *band = map.band(map_quantity::target_day);
    ASSERT_NE(band, nullptr);
    for (const block_figures &f : b.figures) {
        std::vector<int> days;
        for (size_t i = 0; i < b.cells.size(); i++)
            if (b.cells[i] == f.block && band[i] != kMapNodata) days.push_back(band[i] > 0 ? int(band[i]) : 999);
        std::sort(days.begin(), days.end());
        ASSERT_FALSE(days.empty());
        const int half = days[(days.size() + 1) / 2 - 1], first = days[0];
        const double share = 100.0 * double(std::count_if(days.begin(), days.end(), [](int d) { return d < 999; })) /
                             double(days.size());
        const std::string row = lineAfter(text, "The date the target is reached", std::to_string(f.block) + " " + f.name);
        // The mean's day lies between its cells' first and last; never
        // before any cell's, and not missed when every cell reaches it.
        ASSERT_GE(f.target_day_of_mean, 0) << f.name;
        if (f.target_day_of_mean > 0) {
            EXPECT_GE(f.target_day_of_mean, first) << f.name;
        }
        if (days.back() < 999) {
            EXPECT_TRUE(f.target_day_of_mean > 0 && f.target_day_of_mean <= days.back()) << f.name;
        }
        const std::string expected = targetDateText(2025, f.target_day_of_mean) + " " +
                                     targetDateText(2025, half < 999 ? half : 0) + " " + decimalString(share, 1) +
                                     " % " + targetDateText(2025, first < 999 ? first : 0);
        EXPECT_NE(row.find(expected), std::string::npos) << row << " | expected " << expected;
    }
}

TEST(Report, PagesOfEachFormAndPaper) {
    scratch_folder dir;
    land_map map;
    report_elevation elevation;
    computeHill(writeHill(dir, "hill.tif"), 0.0, &map, &elevation);
    hill_blocks two, many;
    placeBlocks(dir, map, twoBlocks(), 1300.0f, &two);
    // Sixty blocks of 2 x 5 cells: the block table runs on to a second page.
    std::vector<std::string> strips;
    for (int k = 0; k < 60; k++) {
        const double x = E + 20.0 * (k % 20), y = N - 50.0 * (k / 20);
        strips.push_back(featureJson("\"name\":\"Row " + std::to_string(k + 1) + "\"",
                                     polygonJson({rectangleRing(x, y - 50.0, x + 20.0, y)})));
    }
    placeBlocks(dir, map, strips, 1300.0f, &many);
    site_report site;
    site.site = {44.5f, -123.25f, 250.0f};
    site.season = {2025, 1, 4, 31, 10};
    site.ground = {180.0f, 10.0f};
    ASSERT_EQ(sweepSeason(&site.site, &site.season, &site.ground, 1, &site.figures), 0);

    const struct {
        const char *name;
        const hill_blocks *blocks;
        bool site;
        report_paper paper;
        int pages;   // -1: more than three, the tables running on
        const char *size;
    } cases[] = {
        {"the land alone", nullptr, false, REPORT_A4, 3, "595.276 x 841.89"},
        {"two blocks", &two, false, REPORT_A4, 3, "595.276 x 841.89"},
        {"two blocks on Letter", &two, false, REPORT_LETTER, 3, "612 x 792"},
        {"sixty blocks", &many, false, REPORT_A4, -1, "595.276 x 841.89"},
        {"a site", nullptr, true, REPORT_LETTER, 3, "612 x 792"},
    };
    for (const auto &c : cases) {
        const std::string path = dir.path(std::string(c.name) + ".pdf");
        std::string why;
        if (c.site) {
            site.paper = c.paper;
            ASSERT_TRUE(writeSiteReport(path, &site, &why)) << why;
        } else {
            map_report r = reportOf(map, elevation, 1300.0f);
            r.paper = c.paper;
            if (c.blocks != nullptr) r.blocks = {&c.blocks->outline, &c.blocks->figures, c.blocks->cells.data()};
            ASSERT_TRUE(writeMapReport(path, &r, &why)) << why;
        }
        if (c.pages > 0) EXPECT_EQ(pdfPages(path), c.pages) << c.name;
        else EXPECT_GT(pdfPages(path), 3) << c.name;
        EXPECT_NE(run("pdfinfo '" + path + "'").find(c.size), std::string::npos) << c.name;
    }
    // Every row of a table that runs over a page is there.
    const std::string text = flatText(dir.path("sixty blocks.pdf"));
    const size_t from = text.find("The blocks"), to = text.find("Winkler regions");
    ASSERT_LT(from, to);
    const std::string table = text.substr(from, to - from);
    for (const block_figures &f : many.figures)
        EXPECT_NE(table.find(" " + std::to_string(f.block) + " " + f.name + " "), std::string::npos) << f.name;
}

TEST(Report, TheElevationSourceIsCreditedAsTheDemSays) {
    scratch_folder dir;
    const struct {
        const char *name;
        std::vector<std::pair<const char *, const char *>> metadata;
        const char *present;
        const char *absent;
    } cases[] = {
        {"fetched.tif",
         {{"ELEVATION_SOURCE", "copernicus"},
          {"ELEVATION_SOURCE_NAME", "Copernicus DEM GLO-30"},
          {"ELEVATION_LICENCE", "free"},
          {"ELEVATION_ATTRIBUTION", "produced using Copernicus WorldDEM-30 © DLR e.V. 2010-2014"}},
         "Elevations: Copernicus DEM GLO-30 (the file fetched.tif). Licence: free. Attribution: produced using "
         "Copernicus WorldDEM-30 © DLR e.V. 2010-2014.",
         "supplied"},
        {"own.tif", {}, "Elevations: an elevation model the grower supplied: own.tif.", "Attribution"},
    };
    for (const auto &c : cases) {
        land_map map;
        report_elevation elevation;
        computeHill(writeHill(dir, c.name, c.metadata), 0.0, &map, &elevation);
        const map_report r = reportOf(map, elevation, 1300.0f);
        std::string why;
        ASSERT_TRUE(writeMapReport(dir.path("r.pdf"), &r, &why)) << why;
        const std::string text = flatText(dir.path("r.pdf"));
        EXPECT_NE(text.find(c.present), std::string::npos) << c.name;
        EXPECT_EQ(text.find(c.absent), std::string::npos) << c.name;
    }
}

TEST(Report, TheSiteFormsFiguresAreTheSweeps) {
    scratch_folder dir;
    const struct {
        site_location site;
        season_range season;
        slope ground;
        double target;
    } cases[] = {
        {{44.55f, -123.35f, 250.0f}, {2025, 1, 4, 31, 10}, {180.0f, 15.0f}, 1200.0},   // north zone, Winkler's season
        {{42.6f, -122.9f, 480.0f}, {2024, 15, 4, 10, 9}, {135.0f, 22.5f}, 5000.0},    // south zone, partial months
    };
    for (const auto &c : cases) {
        site_report r;
        r.site = c.site;
        r.season = c.season;
        r.ground = c.ground;
        r.target = c.target;
        r.version = "9.9.9";
        r.date = "8 December 2026";
        ASSERT_EQ(sweepSeasonToTarget(&r.site, &r.season, &r.ground, 1, c.target, &r.figures, &r.target_day, nullptr,
                                      1),
                  0);
        std::string why;
        ASSERT_TRUE(writeSiteReport(dir.path("site.pdf"), &r, &why)) << why;
        const std::string text = pdfText(dir.path("site.pdf"), true);
        for (int m = c.season.start_month; m <= c.season.stop_month; m++) {
            static const char *const names[12] = {"January", "February", "March",     "April",   "May",      "June",
                                                  "July",    "August",   "September", "October", "November", "December"};
            const std::vector<double> n = numbersIn(lineAfter(text, "Month by month", names[m - 1]));
            ASSERT_EQ(n.size(), 4u) << names[m - 1];   // first and last day, irradiation, degree days
            EXPECT_NEAR(n[2], r.figures.month_irradiation[m - 1], 0.05 + 1e-4) << names[m - 1];
            EXPECT_NEAR(n[3], r.figures.month_degree_days[m - 1], 0.05 + 1e-4) << names[m - 1];
        }
        const std::vector<double> season = numbersIn(lineAfter(text, "Month by month", "season"));
        ASSERT_EQ(season.size(), 2u);
        EXPECT_NEAR(season[0], r.figures.season_irradiation, 0.05 + 1e-4);
        EXPECT_NEAR(season[1], r.figures.season_degree_days, 0.05 + 1e-4);
        const std::string flat = flatText(dir.path("site.pdf"));
        const std::string date = r.target_day > 0 ? "reached on " + targetDateText(c.season.year, r.target_day)
                                                  : "is not reached in this season";
        EXPECT_NE(flat.find(date), std::string::npos) << date;
        const winkler_class *region = winklerClass(winklerRegion(r.figures.season_degree_days));
        const bool named = flat.find(std::string("Winkler region: ") + region->name + " (") != std::string::npos;
        EXPECT_EQ(named, winklerSeason(c.season));
    }
}

TEST(Report, MapCommandReportOptions) {
    scratch_folder dir;
    const std::string dem = writeHill(dir, "hill.tif");
    writeText(dir.path("dem.pdf"), "not a DEM");
    const struct {
        std::vector<std::string> args;
        const char *refusal;   // null: runs
        report_paper paper;
        bool paper_given;
    } cases[] = {
        {{"--report", "r.pdf", dem, "m.tif"}, nullptr, REPORT_A4, false},
        {{"--report", "r.PDF", "--paper", "letter", dem, "m.tif"}, nullptr, REPORT_LETTER, true},
        {{"--paper", "a4", dem, "m.tif"}, "--paper goes with --report", REPORT_A4, false},
        {{"--report", "r.pdf", "--paper", "a5", dem, "m.tif"}, "--paper takes a4 or letter, not a5", REPORT_A4, false},
        {{"--report", "r.ps", dem, "m.tif"}, "--report r.ps must end in .pdf: the report is a PDF", REPORT_A4, false},
        {{"--report", "r.pdf", "--tile", "0,0", "--tile-size", "10", dem, "m.tif"},
         "--report takes the whole map: it does not go with --tile", REPORT_A4, false},
        {{"--report", dir.path("dem.pdf"), dir.path("dem.pdf"), "m.tif"}, "is the DEM itself", REPORT_A4, false},
    };
    for (const auto &c : cases) {
        std::vector<const char *> argv = {"veranta-map"};
        for (const std::string &a : c.args) argv.push_back(a.c_str());
        map_command command;
        std::string text;
        const map_command_outcome outcome =
            parseMapCommand(static_cast<int>(argv.size()), argv.data(), 2025, &command, &text);
        if (c.refusal == nullptr) {
            ASSERT_EQ(outcome, MAP_COMMAND_RUN) << text;
            EXPECT_EQ(command.paper_given, c.paper_given);
            EXPECT_EQ(command.paper, c.paper);
            EXPECT_EQ(command.report, c.args[1]);
        } else {
            EXPECT_EQ(outcome, MAP_COMMAND_REFUSED);
            EXPECT_NE(text.find(c.refusal), std::string::npos) << text;
        }
    }
}

}  // namespace
