// The Winkler regions: each bound belongs to the warmer class, the classes
// as Jones et al. (2010) give them, the one season they are named for, and
// hectares per region over a grid or one block of it.
#include "model/winklerRegions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

double below(double x) { return std::nextafter(x, -HUGE_VAL); }

}  // namespace

TEST(Winkler, EachBoundBelongsToTheWarmerRegion) {
    const struct {
        double degree_days;
        int region;
    } cases[] = {
        {-HUGE_VAL, WINKLER_TOO_COOL}, {0.0, WINKLER_TOO_COOL},   {below(850.0), WINKLER_TOO_COOL},
        {850.0, WINKLER_IA},           {below(1111.0), WINKLER_IA}, {1111.0, WINKLER_IB},
        {below(1389.0), WINKLER_IB},   {1389.0, WINKLER_II},      {below(1667.0), WINKLER_II},
        {1667.0, WINKLER_III},         {below(1944.0), WINKLER_III}, {1944.0, WINKLER_IV},
        {below(2222.0), WINKLER_IV},   {2222.0, WINKLER_V},       {below(2700.0), WINKLER_V},
        {2700.0, WINKLER_TOO_HOT},     {HUGE_VAL, WINKLER_TOO_HOT}, {NAN, -1},
    };
    for (const auto &c : cases) EXPECT_EQ(winklerRegion(c.degree_days), c.region) << c.degree_days;
}

TEST(Winkler, TheClassesNamesBoundsAndPresets) {
    const struct {
        int region;
        const char *name;
        double low, high;
        const char *bounds;
    } classes[] = {
        {WINKLER_TOO_COOL, "too cool", -HUGE_VAL, 850.0, "below 850"},
        {WINKLER_IA, "Ia", 850.0, 1111.0, "850 to 1111"},
        {WINKLER_IB, "Ib", 1111.0, 1389.0, "1111 to 1389"},
        {WINKLER_II, "II", 1389.0, 1667.0, "1389 to 1667"},
        {WINKLER_III, "III", 1667.0, 1944.0, "1667 to 1944"},
        {WINKLER_IV, "IV", 1944.0, 2222.0, "1944 to 2222"},
        {WINKLER_V, "V", 2222.0, 2700.0, "2222 to 2700"},
        {WINKLER_TOO_HOT, "too hot", 2700.0, HUGE_VAL, "2700 and above"},
    };
    for (const auto &c : classes) {
        const winkler_class *k = winklerClass(c.region);
        ASSERT_NE(k, nullptr) << c.name;
        EXPECT_STREQ(k->name, c.name);
        EXPECT_TRUE(k->low == c.low && k->high == c.high) << c.name;
        EXPECT_EQ(winklerBoundsText(c.region), c.bounds);
        // The presets are the bounds between the classes, coolest first.
        if (c.region > 0) {
            EXPECT_EQ(winklerBound(c.region - 1), c.low) << c.name;
        }
    }
    EXPECT_EQ(winklerClass(WINKLER_REGIONS), nullptr);
    EXPECT_TRUE(std::isnan(winklerBound(kWinklerBounds)));
}

TEST(Winkler, NamedOnlyForFirstAprilToThirtyFirstOctober) {
    const struct {
        season_range season;
        bool named;
    } cases[] = {
        {{2024, 1, 4, 31, 10}, true}, {{2003, 1, 4, 31, 10}, true}, {{2024, 2, 4, 31, 10}, false},
        {{2024, 1, 4, 30, 10}, false}, {{2024, 1, 3, 31, 10}, false}, {{2024, 1, 4, 30, 11}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(winklerSeason(c.season), c.named) << c.season.start_day << "/" << c.season.start_month << " to "
                                                    << c.season.stop_day << "/" << c.season.stop_month;
    EXPECT_EQ(winklerOffSeasonText({2024, 15, 4, 10, 6}),
              "Winkler regions are defined on the degree days of 1 April to 31 October; this season runs from "
              "15 April to 10 June, so no region is named.");
}

// Two rows of cells of 1 ha and 2 ha; nodata and NaN count nowhere; a block
// counts only its own cells.
TEST(Winkler, HectaresPerRegionOverTheGridOrOneBlock) {
    const float nodata = -9999.0f;
    const std::vector<float> gdd = {849.9f, 850.0f, nodata, 2700.0f,   // row of 1 ha cells
                                    1200.0f, std::nanf(""), 1200.0f, 3000.0f};  // row of 2 ha cells
    const double row_area[] = {10000.0, 20000.0};
    const std::vector<std::int32_t> block = {1, 2, 1, 1, 2, 2, 1, 0};
    const struct {
        const char *what;
        const std::int32_t *cell_block;
        std::int32_t block;
        double hectares[WINKLER_REGIONS];
    } cases[] = {
        {"every cell", nullptr, 0, {1, 1, 4, 0, 0, 0, 0, 3}},
        {"block 1", block.data(), 1, {1, 0, 2, 0, 0, 0, 0, 1}},
        {"block 2", block.data(), 2, {0, 1, 2, 0, 0, 0, 0, 0}},
        {"no cell", block.data(), 7, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        double hectares[WINKLER_REGIONS];
        winklerHectares(gdd.data(), 4, 2, row_area, nodata, c.cell_block, c.block, hectares);
        for (int k = 0; k < WINKLER_REGIONS; k++) EXPECT_EQ(hectares[k], c.hectares[k]) << c.what << ", region " << k;
    }
}
