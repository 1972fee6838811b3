// What the map window says of a map, on a small map made by hand: the answer
// in hectares, the area table, the readout of a cell, a cell's months, the
// caption and the note on the calibrated region, each word for word; and the
// numbers in them, with a decimal point on any desktop.
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// 3 x 2 cells: the first row 1 ha each, the second 0.5 ha; cell (1, 1) has
// no elevation. Season 15 June to 10 August 2024.
struct small_map {
    land_map m;

    small_map() {
        m.grid.width = 3;
        m.grid.height = 2;
        m.grid.row_area = {10000.0, 5000.0};
        m.options.season = {2024, 15, 6, 10, 8};
        m.options.directions = 16;
        m.options.distance = 2500.0;
        m.layout = band_layout(m.options.season);
        m.values.assign(static_cast<size_t>(m.layout.count()) * 6, kMapNodata);
        m.elevation.assign(6, kMapNodata);
        m.latitude = {44.5, 44.5, 44.5, 44.4999, 44.4999, 44.4999};
        m.longitude = {-123.25, -123.2499, -123.2498, -123.25, -123.2499, -123.2498};
        m.whole_edge_months.assign(12, kMapNodata);
        const float gdd[6] = {100, 200, 300, 400, kMapNodata, 250};
        for (int i = 0; i < 6; i++) {
            if (gdd[i] == kMapNodata) continue;
            set(map_quantity::degree_days, 0, i, gdd[i]);
            set(map_quantity::irradiation, 0, i, 1000.0f + 100.0f * static_cast<float>(i));
            set(map_quantity::tilt, 0, i, 5.0f);
            set(map_quantity::aspect, 0, i, 90.0f);
            set(map_quantity::shadow_minutes, 0, i, 0.0f);
            m.elevation[static_cast<size_t>(i)] = 300.0f;
            m.cells_with_data++;
        }
    }
    void set(map_quantity q, int month, int cell, float value) {
        const int b = m.layout.find(q, month);
        ASSERT_GE(b, 0);
        m.values[static_cast<size_t>(b) * 6 + static_cast<size_t>(cell)] = value;
    }
};

}  // namespace

// Each figure in its place: "at least" first, then the land with data, then
// the share; the land without data said after, only when there is some.
TEST(MapTexts, TheAnswerSaysTheHectaresThatReachTheThresholdOfTheLandWithData) {
    small_map s;
    small_map whole;   // the same without a hole
    whole.set(map_quantity::degree_days, 0, 4, 50.0f);
    small_map large;   // cells of 10 ha and 5 ha
    large.m.grid.row_area = {100000.0, 50000.0};
    const struct {
        const char *what;
        const land_map *map;
        float threshold;
        const char *expected;
    } cases[] = {
        {"a quarter reaches it", &s.m, 301.0f,
         "0.50 ha of 4.00 ha (12.5 %) get at least 301 degree days over this season; the land's other 0.50 ha have "
         "no elevation data and are not counted."},
        {"at the threshold counts", &s.m, 250.0f,
         "2.00 ha of 4.00 ha (50.0 %) get at least 250 degree days over this season; the land's other 0.50 ha have "
         "no elevation data and are not counted."},
        {"no hole", &whole.m, 150.0f, "3.00 ha of 4.50 ha (66.7 %) get at least 150 degree days over this season"},
        {"ten hectares and more", &large.m, 260.0f,
         "15.0 ha of 40.0 ha (37.5 %) get at least 260 degree days over this season; the land's other 5.00 ha have "
         "no elevation data and are not counted."},
    };
    for (const auto &c : cases) EXPECT_EQ(answerText(*c.map, c.threshold), c.expected) << c.what;

    // A parcel's run: its blocks' cells only, the hole among them said; the
    // cell outside every block (0, 0) counts nowhere.
    small_map parcel;
    const int b = parcel.m.layout.addOptional({map_quantity::block_number, 0, "block number", ""});
    ASSERT_GE(b, 0);
    parcel.m.values.resize(static_cast<size_t>(parcel.m.layout.count()) * 6, kMapNodata);
    const float blocks[6] = {0, 1, 1, 2, 2, 2};
    for (int i = 0; i < 6; i++) parcel.m.values[static_cast<size_t>(b) * 6 + static_cast<size_t>(i)] = blocks[i];
    EXPECT_EQ(answerText(parcel.m, 250.0f),
              "2.00 ha of your 3.50 ha parcel (57.1 %) get at least 250 degree days over this season; 0.50 ha of the "
              "parcel have no elevation data and are not counted. Only the parcel's cells count: a cell counts when "
              "its centre lies inside a block.");
}

// The histogram's twelve classes from the lowest to the highest degree days
// (100 to 400: 25 a class), each reaching the threshold wholly, partly or
// not; every row names the DEM, the season, the shading and the threshold.
TEST(MapTexts, TheAreaTableSaysWhichClassesReachTheThreshold) {
    small_map s;
    const std::string run = "farm.tif,2024,2024-06-15,2024-08-10,1,16,2500,260,";
    const std::string expected =
        "dem file,year,season first day,season last day,terrain shading (1 yes),shading directions,"
        "shading distance (m),threshold (degC degree days),degree days from (degC above 10 degC),"
        "degree days to (degC above 10 degC),area (ha),share of the land with elevation data (%),"
        "at least the threshold\r\n" +
        run + "100.00,125.00,1.0000,25.000,no\r\n" + run + "125.00,150.00,0.0000,0.000,no\r\n" + run +
        "150.00,175.00,0.0000,0.000,no\r\n" + run + "175.00,200.00,0.0000,0.000,no\r\n" + run +
        "200.00,225.00,1.0000,25.000,no\r\n" + run + "225.00,250.00,0.0000,0.000,no\r\n" + run +
        "250.00,275.00,0.5000,12.500,partly\r\n" + run + "275.00,300.00,0.0000,0.000,yes\r\n" + run +
        "300.00,325.00,1.0000,25.000,yes\r\n" + run + "325.00,350.00,0.0000,0.000,yes\r\n" + run +
        "350.00,375.00,0.0000,0.000,yes\r\n" + run + "375.00,400.00,0.5000,12.500,yes\r\n";
    EXPECT_EQ(areaTableCsv(s.m, 260.0f, "farm.tif"), expected);
    // A threshold with a fraction is said with two decimals; a class starting at it reaches it.
    const std::string at = areaTableCsv(s.m, 212.5f, "farm.tif");
    EXPECT_NE(at.find("\r\nfarm.tif,2024,2024-06-15,2024-08-10,1,16,2500,212.50,200.00,225.00,1.0000,25.000,partly\r\n"
                      "farm.tif,2024,2024-06-15,2024-08-10,1,16,2500,212.50,225.00,250.00,0.0000,0.000,yes\r\n"),
              std::string::npos)
        << at;
}

// The run's columns as they vary: shading off leaves its figures empty, a
// file name with a comma or a quote is quoted; every row of both tables
// starts with them.
TEST(MapTexts, EveryRowOfTheTablesNamesTheRun) {
    small_map shaded;
    small_map unshaded;
    unshaded.m.options.shade = false;
    small_map fraction;
    fraction.m.options.distance = 2500.25;
    const struct {
        const land_map *map;
        const char *dem;
        const char *field;    // the file name as the CSV holds it
        const char *season;   // year, first and last day, shading
    } cases[] = {
        {&shaded.m, "farm.tif", "farm.tif", "2024,2024-06-15,2024-08-10,1,16,2500,"},
        {&unshaded.m, "farm.tif", "farm.tif", "2024,2024-06-15,2024-08-10,0,,,"},
        {&fraction.m, "farm.tif", "farm.tif", "2024,2024-06-15,2024-08-10,1,16,2500.25,"},
        {&shaded.m, "north, \"upper\" field.tif", "\"north, \"\"upper\"\" field.tif\"",
         "2024,2024-06-15,2024-08-10,1,16,2500,"},
    };
    gdd_falls falls;
    findGddFalls(&falls);
    auto rows = [](const std::string &csv) {
        std::vector<std::string> out;
        for (size_t at = csv.find("\r\n") + 2; at < csv.size(); at = csv.find("\r\n", at) + 2)
            out.push_back(csv.substr(at, csv.find("\r\n", at) - at));
        return out;
    };
    for (const auto &c : cases) {
        const std::vector<std::string> areas = rows(areaTableCsv(*c.map, 250.0f, c.dem));
        EXPECT_EQ(areas.size(), static_cast<size_t>(kAreaClasses)) << c.dem;
        for (const std::string &row : areas) EXPECT_EQ(row.rfind(std::string(c.field) + "," + c.season, 0), 0u) << row;
        std::string csv;
        ASSERT_TRUE(cellMonthsCsv(*c.map, 0, 0, &falls, c.dem, &csv));
        const std::vector<std::string> months = rows(csv);
        EXPECT_EQ(months.size(), 4u) << c.dem;
        for (const std::string &row : months)
            EXPECT_EQ(row.rfind(std::string(c.field) + ",0,0,44.500000,-123.250000,300.0," + c.season, 0), 0u) << row;
    }
}

TEST(MapTexts, TheReadoutOfACell) {
    small_map s;
    s.set(map_quantity::aspect, 0, 2, -1.0f);
    s.set(map_quantity::shadow_minutes, 0, 0, 42.4f);
    s.m.elevation[0] = 250.3f;
    const struct {
        const land_map *map;
        int col, row;
        const char *expected;
    } cases[] = {
        {&s.m, 0, 0,
         "100.0 degree days, 1000.0 MJ/m²   (cell 0, 0: 44.50000° N, 123.25000° W)\n"
         "elevation 250.3 m, tilt 5.0°, aspect 90° (east), 42 minutes of the season in terrain shadow"},
        {&s.m, 2, 0,
         "300.0 degree days, 1200.0 MJ/m²   (cell 2, 0: 44.50000° N, 123.24980° W)\n"
         "elevation 300.0 m, tilt 5.0°, aspect flat, 0 minutes of the season in terrain shadow"},
        {&s.m, 1, 1, "cell 1, 1   44.49990° N, 123.24990° W\nno data in the elevation model here"},
        {&s.m, -1, -1, "Point at the map to read a spot; click it for its months."},
        {nullptr, 0, 0, "Point at the map to read a spot; click it for its months."},
    };
    for (const auto &c : cases) EXPECT_EQ(spotText(c.map, c.col, c.row), c.expected) << c.col << "," << c.row;
}

// A month the season takes only in part (10 August) gets its degree days
// from the whole month, so the whole month decides its flag.
TEST(MapTexts, TheCellMonthsFlagAPartMonthByTheWholeMonth) {
    gdd_falls falls;
    findGddFalls(&falls);
    const int zone = gddZone(44.5f);
    ASSERT_TRUE(gddFalls(&falls, zone, 8, 700.0f) && !gddFalls(&falls, zone, 8, 200.0f) &&
                !gddFalls(&falls, zone, 6, 500.0f) && gddFalls(&falls, zone, 7, 700.0f))
        << "the months' figures no longer straddle where the formula runs backwards";
    small_map s;
    const float irradiation[3] = {300.0f, 700.0f, 200.0f}, degree_days[3] = {40.0f, 150.25f, 20.1f};
    for (int k = 0; k < 3; k++) {
        s.set(map_quantity::irradiation, 6 + k, 0, irradiation[k]);
        s.set(map_quantity::degree_days, 6 + k, 0, degree_days[k]);
    }
    s.m.whole_edge_months[0] = 500.0f;   // June whole
    s.m.whole_edge_months[6] = 700.0f;   // August whole
    std::string csv;
    ASSERT_TRUE(cellMonthsCsv(s.m, 0, 0, &falls, "farm.tif", &csv));
    const std::string cell = "farm.tif,0,0,44.500000,-123.250000,300.0,2024,2024-06-15,2024-08-10,1,16,2500,";
    EXPECT_EQ(csv, "dem file,column (from 0),row (from 0),\"latitude (WGS 84, degrees, north positive)\","
                   "\"longitude (WGS 84, degrees, east positive)\",elevation (m),year,season first day,"
                   "season last day,terrain shading (1 yes),shading directions,shading distance (m),month,first day,"
                   "last day,\"irradiation (MJ/m2, clear-sky direct beam)\",degree days (degC above 10 degC),"
                   "fewer degree days for more sun (1 yes)\r\n" +
                       cell + "June,15,30,300.00,40.00,0\r\n" + cell + "July,1,31,700.00,150.25,1\r\n" + cell +
                       "August,1,10,200.00,20.10,1\r\n" + cell + "season,,,1000.00,100.00,\r\n");
    EXPECT_FALSE(cellMonthsCsv(s.m, 1, 1, &falls, "farm.tif", &csv)) << "a cell without data has no months";
    cell_months months;
    EXPECT_FALSE(cellMonths(s.m, 4, &falls, &months));
    EXPECT_EQ(months.count, 0);
}

TEST(MapTexts, CaptionAndTheNoteOnTheCalibratedRegion) {
    small_map s;
    EXPECT_EQ(mapCaption(s.m, "farm.tif"), "farm.tif; 15 June to 10 August 2024; shaded by terrain (16 directions, 2500 m)");
    s.m.options.shade = false;
    EXPECT_EQ(mapCaption(s.m, "farm.tif"), "farm.tif; 15 June to 10 August 2024; without terrain shading");

    const std::string region = " % of this land lies outside the region the degree days are calibrated for (latitude "
                               "42 to 46, longitude −124 to −122.5, elevation 100 to 600 m, tilt at most 30°): its "
                               "degree days are not calibrated there.";
    const struct {
        long with, outside;
        const char *share;   // "" for no note
    } cases[] = {{5, 0, ""}, {5, 5, "100.0"}, {3, 1, "33.3"}, {100000, 7, "0.01"}, {0, 0, ""}};
    for (const auto &c : cases) {
        s.m.cells_with_data = c.with;
        s.m.cells_outside = c.outside;
        EXPECT_EQ(outsideText(s.m), *c.share ? c.share + region : "") << c.outside << " of " << c.with;
    }
}

// As printf in the C locale, on a decimal-comma desktop too, and never a
// negative zero.
TEST(MapTexts, NumbersKeepADecimalPointAndNoNegativeZero) {
    const struct {
        double value;
        int decimals;
        const char *expected;
    } cases[] = {{1234.5678, 2, "1234.57"}, {0.125, 2, "0.12"}, {2.5, 0, "2"}, {-0.004, 2, "0.00"},
                 {-0.4, 0, "0"},           {-1.25, 1, "-1.2"}, {1e6, 4, "1000000.0000"}, {44.5562249, 6, "44.556225"}};
    const char *saved = std::setlocale(LC_NUMERIC, nullptr);
    const std::string before = saved != nullptr ? saved : "C";
    for (const char *locale : {"C", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, locale) == nullptr) continue;   // the desktop's locale is not made here
        for (const auto &c : cases) EXPECT_EQ(decimalString(c.value, c.decimals), c.expected) << locale << " " << c.value;
    }
    std::setlocale(LC_NUMERIC, before.c_str());
    const struct {
        float aspect;
        const char *expected;
    } aspects[] = {{0.0f, "0° (north)"}, {225.0f, "225° (south-west)"}, {165.0f, "165°"}, {22.5f, "22.5°"},
                   {360.0f, "360°"}};
    for (const auto &a : aspects) EXPECT_EQ(aspectString(a.aspect), a.expected);
}

// The stored site's cell: a point within a cell finds it, one beyond the
// grid's edge finds none.
TEST(MapFigures, TheCellOfAPointOfTheEarth) {
    small_map s;
    const struct {
        double latitude, longitude;
        bool inside;
        int col, row;
    } cases[] = {
        {44.5, -123.25, true, 0, 0},          {44.50003, -123.24993, true, 1, 0}, {44.49992, -123.24977, true, 2, 1},
        {44.50008, -123.25, false, 0, 0},     {44.5, -123.2497, false, 0, 0},
    };
    for (const auto &c : cases) {
        int col = -1, row = -1;
        EXPECT_EQ(cellOf(s.m, c.latitude, c.longitude, &col, &row), c.inside) << c.latitude << " " << c.longitude;
        if (c.inside) {
            EXPECT_TRUE(col == c.col && row == c.row) << c.latitude << " " << c.longitude;
        }
    }
    const value_range r = valueRange(s.m.band(map_quantity::degree_days), 6);
    EXPECT_TRUE(r.low == 100.0f && r.high == 400.0f);
}

// Hectares per Winkler region off the map's own grid: rows of 1 ha and
// 0.5 ha, the cell without an elevation counted nowhere, or one block only.
TEST(MapFigures, HectaresPerWinklerRegionOfTheLandOrABlock) {
    small_map s;
    const float gdd[6] = {100.0f, 900.0f, 1200.0f, 2800.0f, kMapNodata, 1500.0f};
    for (int i = 0; i < 6; i++)
        if (gdd[i] != kMapNodata) s.set(map_quantity::degree_days, 0, i, gdd[i]);
    const std::int32_t blocks[6] = {1, 2, 2, 1, 1, 2};
    const struct {
        const std::int32_t *cell_block;
        std::int32_t block;
        double hectares[WINKLER_REGIONS];
    } cases[] = {
        {nullptr, 0, {1, 1, 1, 0.5, 0, 0, 0, 0.5}},
        {blocks, 1, {1, 0, 0, 0, 0, 0, 0, 0.5}},
        {blocks, 2, {0, 1, 1, 0.5, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        double hectares[WINKLER_REGIONS];
        mapWinklerHectares(s.m, c.cell_block, c.block, hectares);
        for (int k = 0; k < WINKLER_REGIONS; k++)
            EXPECT_EQ(hectares[k], c.hectares[k]) << "block " << c.block << ", region " << k;
    }
}
