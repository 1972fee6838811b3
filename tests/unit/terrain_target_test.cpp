// The day a degree-day target is reached, exact to the rule: the slope sweep
// and the map's cells give the first day on which the running total of the
// one-day calculator's figures reaches it; the map's band of that day comes
// after today's bands, in its fixed place among the optional ones, and is
// what veranta-map writes and a GIS reads back.
#include "model/degreeDayTarget.h"
#include "model/integration.h"
#include "model/model.h"
#include "terrain/internals.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"
#include "terrain/sunBlock.h"
#include "demFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gdal.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double above(double x) { return std::nextafter(x, HUGE_VAL); }

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-target-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// Each day of the season with the running total of the degree days the
// one-day calculator shows for it, through the shared state as it computes
// them: the day's irradiation, its month's summed in day order, the day's
// share of the month's degree days.
struct running_day {
    int day_of_year;
    float total;
};
std::vector<running_day> oneDayRunning(const site_location &site, const slope &sl, const season_range &s) {
    active_latitude = site.latitude;
    active_longitude = site.longitude;
    active_elev = site.elevation;
    active_aspect = sl.aspect;
    active_tilt = sl.tilt;
    setCalculatorParameters();
    active_timezone = siteZone(active_longitude);
    setMonthLengths(s.year);
    northsouth = static_cast<double>(active_latitude) > 43.7 ? 1 : 2;
    std::vector<running_day> days;
    float running = 0.0f;
    int before = 0;
    for (int m = 1; m < s.start_month; m++) before += dayspermonth[m - 1];
    for (int m = s.start_month; m <= s.stop_month; m++) {
        std::vector<float> day(static_cast<size_t>(dayspermonth[m - 1]));
        float total = 0.0f;
        for (int d = 1; d <= dayspermonth[m - 1]; d++) total = total + (day[d - 1] = getDaysIrr(d, m, s.year));
        const int first = m == s.start_month ? s.start_day : 1;
        const int last = m == s.stop_month ? s.stop_day : dayspermonth[m - 1];
        for (int d = first; d <= last; d++) {
            float gdd = 0.0f;
            if (static_cast<double>(total) > 0.01) gdd = (day[d - 1] / total) * getMonthsGDD(m, total);
            running = running + gdd;
            days.push_back({before + d, running});
        }
        before += dayspermonth[m - 1];
    }
    return days;
}

int dayReaching(const std::vector<running_day> &days, double target) {
    for (const running_day &d : days)
        if (static_cast<double>(d.total) >= target) return d.day_of_year;
    return 0;
}

// Targets reached exactly on the season's first day, on the second month's
// first and last days, just after that month, mid-season and on the last
// day, and one just out of reach.
std::vector<double> sharpTargets(const std::vector<running_day> &days, const season_range &s) {
    int lengths[12];
    monthLengths(s.year, lengths);
    const size_t first_of_second = static_cast<size_t>(lengths[s.start_month - 1] - s.start_day + 1);
    const size_t last_of_second = first_of_second + static_cast<size_t>(lengths[s.start_month]) - 1;
    return {days[0].total,
            days[first_of_second].total,
            days[last_of_second].total,
            above(days[last_of_second].total),
            days[days.size() / 2].total * 1.0001,
            days.back().total,
            above(days.back().total)};
}

}  // namespace

// Sites in both zones, seasons taking their first and last months in part,
// cells of several slopes; the targets are sharp for the first slope, and
// every slope gets the day its own one-day figures give.
TEST(TargetDay, TheSweepAndTheCellsReachItOnTheDayTheOneDayFiguresDo) {
    const struct {
        const char *what;
        site_location site;
        season_range season;
    } sites[] = {
        {"northern zone", {44.15f, -123.2f, 450.0f}, {2023, 17, 5, 9, 9}},
        {"southern zone, leap year", {42.5f, -123.5f, 114.0f}, {2024, 20, 3, 3, 6}},
    };
    const std::vector<slope> slopes = {{180.0f, 10.0f}, {300.0f, 25.0f}, {-1.0f, 0.0f}};
    const int n = static_cast<int>(slopes.size());
    for (const auto &s : sites) {
        int refusal = -1;
        sun_block *block = placeSunBlock(s.site.latitude, s.site.longitude, &s.season, nullptr, &refusal);
        ASSERT_NE(block, nullptr) << s.what;
        const std::vector<float> elevations(slopes.size(), s.site.elevation);
        std::vector<std::vector<running_day>> running;
        for (const slope &sl : slopes) running.push_back(oneDayRunning(s.site, sl, s.season));

        std::vector<slope_season> alone(slopes.size());
        ASSERT_EQ(sweepSeason(&s.site, &s.season, slopes.data(), n, alone.data()), 0);
        std::vector<cell_season> plain(slopes.size());
        ASSERT_EQ(seasonCells(block, n, elevations.data(), slopes.data(), nullptr, plain.data(), nullptr), 0);
        for (double target : sharpTargets(running[0], s.season)) {
            std::vector<slope_season> swept(slopes.size());
            std::vector<int> days(slopes.size(), -1);
            ASSERT_EQ(sweepSeasonToTarget(&s.site, &s.season, slopes.data(), n, target, swept.data(), days.data(),
                                          nullptr, 2),
                      0);
            std::vector<cell_season> cells(slopes.size());
            ASSERT_EQ(seasonCellsToTarget(block, n, elevations.data(), slopes.data(), nullptr, target, cells.data(),
                                          nullptr),
                      0);
            for (size_t i = 0; i < slopes.size(); i++) {
                const int expected = dayReaching(running[i], target);
                EXPECT_EQ(days[i], expected) << s.what << ", slope " << i << ", target " << target;
                EXPECT_EQ(cells[i].target_day, expected) << s.what << ", cell " << i << ", target " << target;
                EXPECT_EQ(std::memcmp(&swept[i], &alone[i], sizeof alone[i]), 0) << s.what << ": the sweep moved";
                cells[i].target_day = 0;
                EXPECT_EQ(std::memcmp(&cells[i], &plain[i], sizeof plain[i]), 0) << s.what << ": the cell's bits moved";
            }
        }
        for (size_t i = 0; i < slopes.size(); i++) {
            // The running total ends on the season's own total, give or take
            // the rounding of its days one by one.
            EXPECT_NEAR(running[i].back().total, alone[i].season_degree_days, 0.001f) << s.what << ", slope " << i;
        }
        freeSunBlock(block);
    }
}

// A group of cells (a block) reaches the target on the first day the mean of
// its cells' running totals does: the cells' own one-day figures, averaged;
// a cell in no group adds nothing; a group without cells has no day.
TEST(TargetDay, AGroupReachesItOnTheDayItsCellsMeanRunningTotalDoes) {
    const site_location site = {44.15f, -123.2f, 450.0f};
    const season_range season = {2024, 17, 5, 9, 9};
    const std::vector<slope> slopes = {{180.0f, 10.0f}, {300.0f, 25.0f}, {-1.0f, 0.0f}, {90.0f, 35.0f}};
    const std::vector<std::int32_t> group = {1, 2, 1, 0};
    const int n = static_cast<int>(slopes.size());
    int refusal = -1;
    sun_block *block = placeSunBlock(site.latitude, site.longitude, &season, nullptr, &refusal);
    ASSERT_NE(block, nullptr);
    const std::vector<float> elevations(slopes.size(), site.elevation);
    std::vector<std::vector<running_day>> running;
    for (const slope &sl : slopes) running.push_back(oneDayRunning(site, sl, season));
    const size_t days = running[0].size();
    ASSERT_EQ(seasonDays(&season), static_cast<int>(days));
    // Group 1's mean after the season's day k, as a grower would average it.
    auto meanOf = [&](size_t k) {
        return (static_cast<double>(running[0][k].total) + static_cast<double>(running[2][k].total)) / 2.0;
    };
    std::vector<double> targets;
    for (size_t k : {size_t{0}, days / 3, days / 2, days - 1}) targets.push_back(meanOf(k));
    targets.push_back(above(meanOf(days / 2)));
    targets.push_back(above(meanOf(days - 1)));
    for (double target : targets) {
        group_running sums(3, static_cast<int>(days));
        std::vector<cell_season> cells(slopes.size());
        ASSERT_EQ(seasonCellsToTarget(block, n, elevations.data(), slopes.data(), nullptr, target, cells.data(),
                                      nullptr, group.data(), &sums),
                  0);
        int expected = 0;
        for (size_t k = 0; k < days && expected == 0; k++)
            if (meanOf(k) >= target) expected = running[0][k].day_of_year;
        EXPECT_EQ(sums.reachDay(1, target, &season), expected) << "target " << target;
        EXPECT_EQ(sums.reachDay(2, target, &season), cells[1].target_day) << "a group of one cell, target " << target;
        EXPECT_EQ(sums.surfaces(1), 2);
        EXPECT_EQ(sums.reachDay(3, target, &season), -1) << "a group without cells";
    }
    freeSunBlock(block);
}

// Optional bands follow the season's in their fixed order, whichever is
// added first; the season's bands stay where they are.
TEST(BandLayout, OptionalBandsFollowTheSeasonsInAFixedOrder) {
    map_options options;
    options.season = {2024, 1, 4, 31, 10};
    const band_layout season(options.season);
    EXPECT_EQ(band_layout(options).count(), season.count()) << "no target, no band";
    options.target = 1150.0;
    band_layout layout(options);
    const int n = season.count();
    ASSERT_EQ(layout.count(), n + 1);
    EXPECT_EQ(layout.find(map_quantity::target_day), n);
    EXPECT_EQ(layout[n].description,
              "day of the year the season reaches 1150 degree days (degC above 10 degC), 0 where not reached");
    EXPECT_EQ(layout[n].unit, "day of year");
    EXPECT_EQ(layout.addOptional({map_quantity::block_number, 0, "block number", ""}), n) << "before the target";
    EXPECT_EQ(layout.find(map_quantity::target_day), n + 1);
    EXPECT_EQ(layout.addOptional(targetDayBand(900.0)), -1) << "a second target band";
    EXPECT_EQ(layout.addOptional({map_quantity::tilt, 0, "tilt again", "degree"}), -1) << "not an optional band";
    for (int b = 0; b < n; b++) EXPECT_EQ(layout[b].description, season[b].description) << b;
    EXPECT_EQ(targetText(1150.5), "1150.5");
    EXPECT_EQ(targetText(0.1), "0.1");
}

// veranta-map's core with a target: the band after today's, its day exactly
// the sweep's for the cell's sun point, elevation and slope, written and read
// back with the target in the metadata.
TEST(TargetBand, WrittenAfterTodaysBandsAndReadBackAsComputed) {
    temp_dir dir;
    const int w = 12;
    const int h = 10;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            z[static_cast<size_t>(r * w + c)] =
                static_cast<float>(200.0 + 120.0 * std::exp(-((c - 6) * (c - 6) + (r - 5) * (r - 5)) / 10.0) + 4.0 * c);
    z[7] = -9999.0f;
    const size_t cells = z.size();
    const std::string dem_path = dir.path + "/dem.tif";
    ASSERT_TRUE(writeDemFile(dem_path, w, h, z, "EPSG:32610", 30.0, 497500.0, 4875100.0));
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(dem_path, 0, &dem, &refusal), TERRAIN_OK) << refusal;
    map_options options;
    options.season = {2024, 20, 5, 3, 7};
    options.shade = false;
    land_map plain;
    ASSERT_EQ(computeMap(&dem, &options, nullptr, nullptr, nullptr, &plain, &refusal), TERRAIN_OK) << refusal;
    // A target half the land reaches.
    options.target = static_cast<double>(medianValue(plain.band(map_quantity::degree_days), plain.grid.cells()));
    land_map map;
    map_wants positions;
    positions.positions = true;
    // Every cell a group of its own, on several threads: each group's day is
    // its one cell's.
    std::vector<std::int32_t> own(cells);
    for (size_t i = 0; i < cells; i++) own[i] = static_cast<std::int32_t>(i + 1);
    positions.groups = own.data();
    positions.group_count = static_cast<int>(cells);
    options.threads = 3;
    ASSERT_EQ(computeMap(&dem, &options, nullptr, &positions, nullptr, &map, &refusal), TERRAIN_OK) << refusal;
    options.threads = 0;
    const std::string with = dir.path + "/with.tif";
    ASSERT_EQ(writeMap(&dem, &options, nullptr, with, "", nullptr, &refusal), TERRAIN_OK) << refusal;
    closeDem(&dem);

    const int band = map.layout.find(map_quantity::target_day);
    ASSERT_EQ(band, plain.layout.count()) << "after today's bands";
    // The first cells that reach the target and the first that do not.
    int reached = 0;
    int missed = 0;
    for (size_t i = 0; i < cells; i++) {
        const int day = cellTargetDay(map, static_cast<long>(i));
        if (z[i] == -9999.0f) {
            EXPECT_EQ(day, -1);
            EXPECT_EQ(map.group_days.surfaces(static_cast<int>(i + 1)), 0) << "a cell without data counted";
            EXPECT_EQ(map.band(band)[i], kMapNodata);
            continue;
        }
        EXPECT_EQ(map.group_days.reachDay(static_cast<int>(i + 1), options.target, &options.season), day)
            << "the group of cell " << i;
        if ((day == 0 ? missed : reached)++ >= 3) continue;
        site_location site;
        blockPoint(map.latitude[i], map.longitude[i], &site.latitude, &site.longitude);
        site.elevation = z[i];
        const slope sl = {map.band(map_quantity::aspect)[i], map.band(map_quantity::tilt)[i]};
        slope_season s;
        int expected = -1;
        ASSERT_EQ(sweepSeasonToTarget(&site, &options.season, &sl, 1, options.target, &s, &expected, nullptr, 2), 0);
        EXPECT_EQ(day, expected) << "cell " << i;
    }
    EXPECT_GT(reached, 0);
    EXPECT_GT(missed, 0);

    // The file holds the band as computed (veranta-map's own run of it, the
    // other bands and tiles: tests/terrain/target_test.sh).
    GDALAllRegister();
    GDALDatasetH file = GDALOpen(with.c_str(), GA_ReadOnly);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GDALGetRasterCount(file), band + 1);
    EXPECT_STREQ(GDALGetMetadataItem(file, "TARGET_DEGREE_DAYS", nullptr), targetText(options.target).c_str());
    std::vector<float> got(cells);
    ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(file, band + 1), GF_Read, 0, 0, w, h, got.data(), w, h, GDT_Float32, 0, 0),
              CE_None);
    GDALClose(file);
    EXPECT_EQ(std::memcmp(got.data(), map.band(band), cells * sizeof(float)), 0);
    // The window reads the date off a cell: the season's year's date, or not
    // reached, or nothing where there is no elevation.
    EXPECT_EQ(cellTargetText(map, 7, 0), "");
    for (size_t i = 0; i < cells; i++) {
        const int day = cellTargetDay(map, static_cast<long>(i));
        if (day < 0) continue;
        EXPECT_EQ(cellTargetText(map, static_cast<int>(i % w), static_cast<int>(i / w)),
                  day == 0 ? "not reached in this season" : targetDateText(2024, day));
    }
    EXPECT_EQ(cellTargetText(plain, 0, 0), "") << "a map without a target";
}
