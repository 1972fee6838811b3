// The season of many cells under one sun block, against the slope sweep, to the bit.
#include "model/integration.h"
#include "terrain/sunBlock.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct cell {
    slope sl;
    float elevation;
};

using block_ptr = std::unique_ptr<sun_block, void (*)(sun_block *)>;

block_ptr place(float latitude, float longitude, const season_range &season) {
    int refusal = -1;
    block_ptr b(placeSunBlock(latitude, longitude, &season, nullptr, &refusal), freeSunBlock);
    EXPECT_EQ(refusal, 0);
    return b;
}

std::vector<cell_season> run(const sun_block *b, const std::vector<cell> &cells, const cell_horizons *h,
                             cell_path path = CELL_PATH_BEST) {
    std::vector<float> elevation;
    std::vector<slope> slopes;
    for (const cell &c : cells) elevation.push_back(c.elevation), slopes.push_back(c.sl);
    std::vector<cell_season> r(cells.size());
    EXPECT_EQ(seasonCellsOn(b, static_cast<int>(cells.size()), elevation.data(), slopes.data(), h, r.data(), nullptr,
                            path),
              0);
    return r;
}

// The figures a cell shares with a slope season, as one block of bits.
void expectSweepBits(const cell_season &c, const slope_season &s, const char *what, size_t i) {
    EXPECT_EQ(std::memcmp(&c, &s, sizeof s), 0) << what << " cell " << i;
}

bool untouched(const cell_season &r) {
    std::uint32_t b;
    std::memcpy(&b, &r.season_irradiation, sizeof b);
    return b == 0x5a5a5a5au;
}

const season_range kSeason = {2007, 17, 5, 9, 7};

}  // namespace

TEST(CellSeason, EveryCellIsTheSlopeSweepToTheBit) {
    const std::vector<cell> cells = {{{180.0f, 10.0f}, 114.0f}, {{135.0f, 22.5f}, 50.0f},  {{262.7f, 3.3f}, 700.0f},
                                     {{-1.0f, 0.0f}, 300.0f},   {{180.0f, 0.0f}, 300.0f}, {{0.0f, 35.0f}, 600.0f},
                                     {{359.9f, 60.0f}, 99.9f}};
    const struct {
        const char *what;
        float latitude, longitude;
        season_range season;
    } cases[] = {
        {"northern zone, partial first and last month", 44.15f, -123.2f, kSeason},
        {"southern zone, leap February", 42.5f, -123.5f, {2012, 3, 1, 29, 2}},
        {"southern hemisphere", -38.0f, -72.55f, {2024, 15, 3, 10, 6}},
        {"sun that never sets", 69.65f, 18.95f, {2030, 1, 5, 31, 7}},
    };
    for (const auto &c : cases) {
        block_ptr b = place(c.latitude, c.longitude, c.season);
        ASSERT_TRUE(b) << c.what;
        const std::vector<cell_season> r = run(b.get(), cells, nullptr);
        for (size_t i = 0; i < cells.size(); i++) {
            const site_location site = {c.latitude, c.longitude, cells[i].elevation};
            slope_season s;
            ASSERT_EQ(sweepSeason(&site, &c.season, &cells[i].sl, 1, &s), 0) << c.what;
            expectSweepBits(r[i], s, c.what, i);
            EXPECT_EQ(r[i].shadow_minutes, 0.0f);
        }
    }
}

TEST(CellSeason, HorizonsOnlyTakeAway) {
    block_ptr b = place(44.15f, -123.2f, kSeason);
    std::vector<cell> cells;
    for (int a = 0; a < 360; a += 40)
        for (float t : {0.0f, 15.0f, 40.0f}) cells.push_back({{static_cast<float>(a), t}, 200.0f});
    const int dirs = 16;
    std::vector<float> open(cells.size() * dirs, 0.0f);
    std::vector<float> hills(open.size());
    for (size_t i = 0; i < hills.size(); i++) hills[i] = static_cast<float>((i * 7) % 23);
    const cell_horizons none = {dirs, open.data()};
    const cell_horizons some = {dirs, hills.data()};
    const std::vector<cell_season> bare = run(b.get(), cells, nullptr);
    const std::vector<cell_season> clear = run(b.get(), cells, &none);
    const std::vector<cell_season> shaded = run(b.get(), cells, &some);
    for (size_t i = 0; i < cells.size(); i++) {
        EXPECT_EQ(std::memcmp(&clear[i], &bare[i], sizeof bare[i]), 0) << "open horizon, cell " << i;
        for (int m = 0; m < 12; m++) EXPECT_LE(shaded[i].month_irradiation[m], bare[i].month_irradiation[m]) << i;
        EXPECT_LE(shaded[i].season_irradiation, bare[i].season_irradiation) << i;
        // Minutes in shadow exactly where the season's own days lost sun.
        EXPECT_EQ(shaded[i].shadow_minutes > 0.0f, shaded[i].season_irradiation < bare[i].season_irradiation) << i;
    }
}

// Counted directly, the engine at every sample of the season's days (not the
// rest of its first and last months): two days and two whole months of the
// same summer differ as their days do; one month, or a part of it, will do.
TEST(CellSeason, AWallHidesExactlyTheSamplesBelowItOnTheSeasonsDays) {
    const float wall = 21.5f;
    const std::vector<cell> cells = {{{-1.0f, 0.0f}, 100.0f}, {{200.0f, 30.0f}, 100.0f}, {{0.0f, 50.0f}, 100.0f}};
    std::vector<float> angles(cells.size() * 32, wall);
    const cell_horizons h = {32, angles.data()};
    const day_conditions c = calculatorConditions(44.15f, -123.2f, 180.0f, 0.0f);
    const season_range seasons[] = {kSeason, {2007, 30, 6, 1, 7}, {2007, 1, 6, 31, 7}, {2007, 1, 7, 15, 7}};
    std::vector<float> minutes;
    for (const season_range &season : seasons) {
        block_ptr b = place(44.15f, -123.2f, season);
        const std::vector<cell_season> r = run(b.get(), cells, &h);
        int lengths[12];
        monthLengths(season.year, lengths);
        std::vector<int> count(cells.size(), 0);
        for (int m = season.start_month; m <= season.stop_month; m++)
            for (int d = m == season.start_month ? season.start_day : 1;
                 d <= (m == season.stop_month ? season.stop_day : lengths[m - 1]); d++) {
                solar_record record{};
                fillRecord(&record, &c, d, m, season.year);
                ASSERT_EQ(S_solpos(&record), 0);
                forEachSample(&record, c.step, [&](solar_record *s) {
                    if (s->etr_normal == 0.0f || 90.0f - s->zenith_refracted > wall) return;
                    for (size_t i = 0; i < cells.size(); i++) {
                        s->surface_aspect = cells[i].sl.aspect;
                        s->surface_tilt = cells[i].sl.tilt;
                        S_solpos(s);
                        count[i] += s->cos_incidence > 0.0f ? 1 : 0;
                    }
                });
            }
        for (size_t i = 0; i < cells.size(); i++) {
            EXPECT_GT(count[i], 0) << i;
            EXPECT_EQ(r[i].shadow_minutes, static_cast<float>(count[i]))
                << season.start_day << "/" << season.start_month << " to " << season.stop_day << "/" << season.stop_month
                << ", cell " << i;
        }
        minutes.push_back(r[1].shadow_minutes);
    }
    EXPECT_GT(minutes[2], 20.0f * minutes[1]) << "two days against two whole months";
}

TEST(CellSeason, EveryCodePathGivesTheBaselinesBits) {
    block_ptr b = place(47.3f, 8.55f, {2021, 28, 6, 3, 8});
    std::vector<cell> cells;
    for (int i = 0; i < 1203; i++)  // more than one part, not a whole number of vectors
        cells.push_back({{static_cast<float>((i * 37) % 721) * 0.5f - 1.0f, static_cast<float>(i % 61)},
                         static_cast<float>(i % 900)});
    std::vector<float> angles(cells.size() * 24);
    for (size_t i = 0; i < angles.size(); i++) angles[i] = static_cast<float>((i * 13) % 40) * 0.75f;
    const cell_horizons h = {24, angles.data()};
    for (cell_path path : {CELL_PATH_AVX2, CELL_PATH_AVX512}) {
        if (cellPathRun(path) != path) continue;  // not on this processor
        for (const cell_horizons *with : {static_cast<const cell_horizons *>(nullptr), &h}) {
            const std::vector<cell_season> wide = run(b.get(), cells, with, path);
            const std::vector<cell_season> base = run(b.get(), cells, with, CELL_PATH_BASELINE);
            EXPECT_EQ(std::memcmp(wide.data(), base.data(), wide.size() * sizeof wide[0]), 0)
                << "path " << path << (with ? ", shaded" : ", open");
        }
    }
}

TEST(CellSeason, RefusedInputWritesNothing) {
    const float nan = std::nanf("");
    const struct {
        const char *what;
        float latitude;
        season_range season;
        cell c;
    } cases[] = {
        {"year before 2000", 44.0f, {1999, 1, 4, 31, 10}, {{180.0f, 10.0f}, 100.0f}},
        {"months reversed", 44.0f, {2007, 1, 10, 30, 4}, {{180.0f, 10.0f}, 100.0f}},
        {"31 April", 44.0f, {2007, 31, 4, 31, 10}, {{180.0f, 10.0f}, 100.0f}},
        {"29 February 2007", 44.0f, {2007, 1, 1, 29, 2}, {{180.0f, 10.0f}, 100.0f}},
        {"latitude beyond the pole", 95.0f, kSeason, {{180.0f, 10.0f}, 100.0f}},
        {"latitude not a number", nan, kSeason, {{180.0f, 10.0f}, 100.0f}},
        {"elevation not a number", 44.0f, kSeason, {{180.0f, 10.0f}, nan}},
        {"aspect beyond 360", 44.0f, kSeason, {{360.5f, 10.0f}, 100.0f}},
        {"tilt beyond 180", 44.0f, kSeason, {{180.0f, -181.0f}, 100.0f}},
        {"tilt not a number", 44.0f, kSeason, {{180.0f, nan}, 100.0f}},
    };
    for (const auto &c : cases) {
        const site_location site = {c.latitude, -123.0f, c.c.elevation};
        slope_season s;
        const int expected = sweepSeason(&site, &c.season, &c.c.sl, 1, &s);
        ASSERT_NE(expected, 0) << c.what;
        int refusal = 0;
        sun_block *b = placeSunBlock(c.latitude, -123.0f, &c.season, nullptr, &refusal);
        cell_season r;
        std::memset(&r, 0x5a, sizeof r);
        if (b != nullptr) refusal = seasonCells(b, 1, &c.c.elevation, &c.c.sl, nullptr, &r, nullptr);
        freeSunBlock(b);
        EXPECT_EQ(refusal, expected) << c.what;
        EXPECT_TRUE(untouched(r)) << c.what;
    }
    block_ptr b = place(44.0f, -123.0f, kSeason);
    const cell ok = {{180.0f, 10.0f}, 100.0f};
    cell_season r;
    const cell_horizons none = {0, nullptr};
    EXPECT_EQ(seasonCells(b.get(), -1, &ok.elevation, &ok.sl, nullptr, &r, nullptr), SWEEP_BAD_ARGUMENTS);
    EXPECT_EQ(seasonCells(nullptr, 1, &ok.elevation, &ok.sl, nullptr, &r, nullptr), SWEEP_BAD_ARGUMENTS);
    EXPECT_EQ(seasonCells(b.get(), 1, &ok.elevation, &ok.sl, &none, &r, nullptr), SWEEP_BAD_ARGUMENTS);
    EXPECT_EQ(seasonCells(b.get(), 0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(CellSeason, CancelledWorkWritesNothing) {
    sweep_control control;
    control.cancel = true;
    int refusal = 0;
    EXPECT_EQ(placeSunBlock(44.0f, -123.0f, &kSeason, &control, &refusal), nullptr);
    EXPECT_EQ(refusal, SWEEP_CANCELLED);
    block_ptr b = place(44.0f, -123.0f, kSeason);
    const cell ok = {{180.0f, 10.0f}, 100.0f};
    cell_season r;
    std::memset(&r, 0x5a, sizeof r);
    EXPECT_EQ(seasonCells(b.get(), 1, &ok.elevation, &ok.sl, nullptr, &r, &control), SWEEP_CANCELLED);
    EXPECT_TRUE(untouched(r));
}
