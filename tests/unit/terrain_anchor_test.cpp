// A map anchored to a weather station: each month's degree days the
// unanchored map's plus the station's offset, never below 0, to the bit; the
// season formed again from the anchored months; the same map whether
// anchored as it is computed or afterwards; what cannot be anchored refused
// with the map untouched; the offsets the station's comparison's differences.
#include "station/stationAnchor.h"
#include "terrain/internals.h"
#include "terrain/mapAnchor.h"
#include "terrain/mapTexts.h"
#include "demFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-anchor-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// A knoll of 12 x 10 cells of 30 m near Corvallis, one cell without data,
// over a season whose first and last months are taken in part; unshaded.
struct small_land {
    temp_dir dir;
    dem_source dem;
    map_options options;
    land_map plain;
    small_land() {
        const int w = 12, h = 10;
        std::vector<float> z(static_cast<size_t>(w) * h);
        for (int r = 0; r < h; r++)
            for (int c = 0; c < w; c++)
                z[static_cast<size_t>(r * w + c)] =
                    static_cast<float>(180.0 + 140.0 * std::exp(-((c - 5) * (c - 5) + (r - 4) * (r - 4)) / 9.0));
        z[13] = kMapNodata;
        const std::string path = dir.path + "/dem.tif";
        if (!writeDemFile(path, w, h, z, "EPSG:32610", 30.0, 478000.0, 4935000.0)) return;
        std::string why;
        if (openDem(path, 0, &dem, &why) != TERRAIN_OK) return;
        options.season = {2024, 20, 5, 10, 7};
        options.shade = false;
        computeMap(&dem, &options, nullptr, nullptr, nullptr, &plain, &why);
    }
    ~small_land() { closeDem(&dem); }
};

// May and July in part, June whole: June's offset takes some cells to 0.
map_anchor anchorFor(const land_map &plain) {
    map_anchor a;
    a.station = "USC00351862.csv";
    a.latitude = 44.6341;
    a.longitude = -123.1903;
    a.elevation = 68.6;
    const float *june = plain.band(map_quantity::degree_days, 6);
    std::vector<float> v;
    for (long i = 0; i < plain.grid.cells(); i++)
        if (june[i] != kMapNodata) v.push_back(june[i]);
    std::sort(v.begin(), v.end());
    a.offsets[4] = 37.25;
    a.offsets[5] = -static_cast<double>(v[v.size() / 2]);
    a.offsets[6] = -3.1;
    a.offsets[7] = 1e9;   // August is not in the season: never read
    return a;
}

}  // namespace

TEST(MapAnchor, MonthsAreTheUnanchoredPlusTheOffsetFlooredAtZeroAndTheSeasonTheirSum) {
    small_land land;
    ASSERT_GT(land.plain.grid.cells(), 0);
    const map_anchor anchor = anchorFor(land.plain);
    land_map map = land.plain;
    std::string why;
    ASSERT_EQ(anchorLandMap(&map, anchor, &why), TERRAIN_OK) << why;

    int floored = 0;
    for (long i = 0; i < map.grid.cells(); i++) {
        const float plain_season = land.plain.band(map_quantity::degree_days)[i];
        if (plain_season == kMapNodata) {
            for (int m : {0, 5, 6, 7}) EXPECT_EQ(map.band(map_quantity::degree_days, m)[i], kMapNodata) << m;
            continue;
        }
        float sum = 0.0f;
        for (int m = 5; m <= 7; m++) {
            const double moved = static_cast<double>(land.plain.band(map_quantity::degree_days, m)[i]) +
                                 anchor.offsets[m - 1];
            const float expected = static_cast<float>(std::max(0.0, moved));
            floored += moved < 0.0;
            EXPECT_EQ(map.band(map_quantity::degree_days, m)[i], expected) << "cell " << i << ", month " << m;
            sum = sum + expected;
        }
        EXPECT_EQ(map.band(map_quantity::degree_days)[i], sum) << "cell " << i << ": the season from its months";
    }
    EXPECT_GT(floored, 0) << "June's offset takes some cells below 0";
    // Irradiation, slope and shadow stay as computed.
    for (int b = 0; b < map.layout.count(); b++) {
        if (map.layout[b].quantity == map_quantity::degree_days) continue;
        EXPECT_EQ(std::memcmp(map.band(b), land.plain.band(b), sizeof(float) * map.grid.cells()), 0) << b;
    }

    // Anchored as it is computed: the very same bits.
    map_options options = land.options;
    options.anchor = anchor;
    land_map computed;
    ASSERT_EQ(computeMap(&land.dem, &options, nullptr, nullptr, nullptr, &computed, &why), TERRAIN_OK) << why;
    EXPECT_TRUE(computed.values == map.values);
}

TEST(MapAnchor, TheSeasonIsFormedAsTheCellsFormItSoNoOffsetChangesNoBit) {
    small_land land;
    ASSERT_GT(land.plain.grid.cells(), 0);
    map_anchor zero;
    zero.station = "zero.csv";
    land_map map = land.plain;
    std::string why;
    ASSERT_EQ(anchorLandMap(&map, zero, &why), TERRAIN_OK) << why;
    EXPECT_TRUE(map.values == land.plain.values);
}

TEST(MapAnchor, SaysItsStationInBandsMetadataAndTexts) {
    small_land land;
    ASSERT_GT(land.plain.grid.cells(), 0);
    land_map map = land.plain;
    std::string why;
    ASSERT_EQ(anchorLandMap(&map, anchorFor(land.plain), &why), TERRAIN_OK) << why;
    const std::string said = "anchored to station USC00351862.csv";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {map.layout[map.layout.find(map_quantity::degree_days)].description,
         "season degree days (degC above 10 degC, estimated average season, " + said + ")"},
        {map.layout[map.layout.find(map_quantity::degree_days, 6)].description,
         "June degree days (degC above 10 degC, estimated average season, " + said + ")"},
        {map.layout[map.layout.find(map_quantity::irradiation, 6)].description,
         "June irradiation (MJ/m2, clear-sky direct beam)"},
        {anchorSiteText(map.options.anchor), "44.6341,-123.1903,68.6"},
        {anchorOffsetsText(map.options.anchor, map.options.season).substr(0, 8), "5=37.25,"},
        {answerText(map, 0.0f).substr(answerText(map, 0.0f).find(" (anchored")), " (" + said + "); the land's "
         "other 0.09 ha have no elevation data and are not counted."},
        {mapCaption(map, "dem.tif"), "dem.tif; 20 May to 10 July 2024; without terrain shading; degree days " + said},
        {mapCaption(land.plain, "dem.tif"), "dem.tif; 20 May to 10 July 2024; without terrain shading"},
    };
    for (const auto &c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(MapAnchor, WhatCannotBeAnchoredIsRefusedAndTheMapLeftAlone) {
    small_land land;
    ASSERT_GT(land.plain.grid.cells(), 0);
    const map_anchor good = anchorFor(land.plain);
    land_map anchored = land.plain;
    std::string why;
    ASSERT_EQ(anchorLandMap(&anchored, good, &why), TERRAIN_OK);
    land_map with_target = land.plain;
    with_target.layout.addOptional(targetDayBand(500.0));
    map_anchor unnamed = good, nan_offset = good, off_earth = good;
    unnamed.station.clear();
    nan_offset.offsets[6] = std::nan("");
    off_earth.latitude = 91.0;
    const struct {
        const char *what;
        const land_map *map;
        const map_anchor *anchor;
        const char *refusal;
    } cases[] = {
        {"anchored already", &anchored, &good, "the map is anchored to station USC00351862.csv already"},
        {"a target's day", &with_target, &good, "a map with a target's day cannot be anchored"},
        {"no station", &land.plain, &unnamed, "the map is anchored to no station"},
        {"July's offset not a number", &land.plain, &nan_offset, "the station's offset for month 7"},
        {"a site off the earth", &land.plain, &off_earth, "the station's site must be"},
        {"no map", nullptr, &good, "there is no map to anchor"},
    };
    for (const auto &c : cases) {
        land_map map = c.map != nullptr ? *c.map : land_map{};
        const std::vector<float> before = map.values;
        why.clear();
        EXPECT_EQ(anchorLandMap(&map, *c.anchor, &why), TERRAIN_BAD_OPTION) << c.what;
        EXPECT_EQ(why.compare(0, std::strlen(c.refusal), c.refusal), 0) << c.what << ": " << why;
        EXPECT_TRUE(map.values == before) << c.what;
    }
    map_options options = land.options;
    options.anchor = good;
    options.target = 400.0;
    EXPECT_EQ(checkMapOptions(&options, &why), TERRAIN_BAD_OPTION) << "a computed map takes no target either";
}

namespace {

// Days from 1 January 2021 for three years: 26 and 12 °C, with July 2022
// missing 4 days (incomplete) and every September missing 4.
station_record threeYears() {
    station_record r;
    for (int y = 2021; y <= 2023; y++)
        for (int m = 1; m <= 12; m++)
            for (int d = 1; d <= daysInMonth(y, m); d++) {
                const bool gone = (m == 9 || (y == 2022 && m == 7)) && d <= 4;
                r.days.push_back({y, m, d, gone ? std::nan("") : 26.0, 12.0});
            }
    return r;
}

}  // namespace

TEST(StationAnchor, OffsetsAreTheComparisonsDifferencesOverTheCompleteYears) {
    const station_record r = threeYears();
    const site_location site = {44.6341f, -123.1903f, 68.6f};
    station_season season;
    season.start_day = 20;
    season.start_month = 5;
    season.stop_day = 10;
    season.stop_month = 7;
    station_anchor a;
    std::string why;
    ASSERT_EQ(anchorFromRecord(r, "corvallis.csv", season, &site, &a, &why, nullptr), ANCHOR_OK) << why;
    station_comparison c;
    ASSERT_EQ(compareWithEstimate(measureSeasons(r, season, GDD_CAPPED, 0.0), site, &c, nullptr), 0);
    for (const comparison_row &row : c.rows) {
        if (row.month == 0) continue;
        EXPECT_EQ(a.offsets[row.month - 1], row.difference) << row.month;
    }
    EXPECT_EQ(a.years[6], 2) << "July 2022 is incomplete";
    EXPECT_EQ(a.station, "corvallis.csv");

    const struct {
        const char *what;
        station_season season;
        const site_location *site;
        int outcome;
    } cases[] = {
        {"no site in the file, none given", season, nullptr, ANCHOR_NO_SITE},
        {"September incomplete every year", {1, 8, 30, 9}, &site, ANCHOR_INCOMPLETE_MONTH},
    };
    for (const auto &k : cases)
        EXPECT_EQ(anchorFromRecord(r, "corvallis.csv", k.season, k.site, &a, &why, nullptr), k.outcome) << k.what;
}
