// The slope sweep against the described global-state procedures, to the bit.
#include "model/model.h"
#include "model/sweepSeason.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::uint32_t bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// What the season window shows for one slope, month by month, through the
// shared state and getDaysIrr, getMonthsIrr and getMonthsGDD.
slope_season windowSeason(const site_location &site, const season_range &s, const slope &sl) {
    setCalculatorParameters();
    active_latitude = site.latitude;
    active_longitude = site.longitude;
    active_elev = site.elevation;
    active_aspect = sl.aspect;
    active_tilt = sl.tilt;
    active_year = s.year;
    setMonthLengths(s.year);
    northsouth = static_cast<double>(site.latitude) > 43.7 ? 1 : 2;

    slope_season r = {};
    float cumIrr = 0.0f;
    float cumGdd = 0.0f;
    for (int m = s.start_month; m <= s.stop_month; m++) {
        int first = m == s.start_month ? s.start_day : 1;
        int last = m == s.stop_month ? s.stop_day : dayspermonth[m - 1];
        float whole = getMonthsIrr(m);
        float irr = whole;
        float gdd = getMonthsGDD(m, whole);
        if (first != 1 || last != dayspermonth[m - 1]) {
            irr = 0.0f;
            for (int d = first; d <= last; d++) irr = irr + getDaysIrr(d, m, s.year);
            gdd = whole == 0.0f ? 0.0f : (irr / whole) * gdd;
        }
        r.month_irradiation[m - 1] = irr;
        r.month_degree_days[m - 1] = gdd;
        r.month_whole_irradiation[m - 1] = whole;
        cumIrr = cumIrr + irr;
        cumGdd = cumGdd + gdd;
    }
    r.season_irradiation = cumIrr;
    r.season_degree_days = cumGdd;
    return r;
}

void expectSameBits(const slope_season &a, const slope_season &b, const char *what) {
    for (int m = 0; m < 12; m++) {
        EXPECT_EQ(bits(a.month_irradiation[m]), bits(b.month_irradiation[m])) << what << " irradiation month " << m + 1;
        EXPECT_EQ(bits(a.month_degree_days[m]), bits(b.month_degree_days[m])) << what << " degree days month " << m + 1;
        EXPECT_EQ(bits(a.month_whole_irradiation[m]), bits(b.month_whole_irradiation[m])) << what << " whole month " << m + 1;
    }
    EXPECT_EQ(bits(a.season_irradiation), bits(b.season_irradiation)) << what;
    EXPECT_EQ(bits(a.season_degree_days), bits(b.season_degree_days)) << what;
}

const site_location kSeasonSite = {44.133f, -123.214f, 114.0f};

}  // namespace

TEST(SweepSeason, EverySlopeIsTheSeasonWindowsToTheBit) {
    const struct {
        const char *what;
        site_location site;
        season_range season;
        std::vector<slope> slopes;
    } cases[] = {
        {"partial first and last month", kSeasonSite, {2007, 17, 5, 9, 7}, {{180.0f, 10.0f}, {135.0f, 22.5f}, {262.7f, 3.3f}}},
        {"north face in winter, leap February", {45.61f, -122.9f, 480.0f}, {2012, 3, 1, 29, 2}, {{0.0f, 30.0f}, {345.0f, 30.0f}}},
        {"level ground, southern zone", {42.5f, -123.5f, 250.0f}, {2021, 1, 3, 30, 4}, {{0.0f, 0.0f}, {90.0f, 0.0f}}},
        {"outside the region, a slope facing down", {46.9f, -120.0f, 900.0f}, {2030, 30, 10, 1, 12}, {{200.0f, -8.0f}}},
        {"one month, partial at both ends", kSeasonSite, {2007, 1, 7, 15, 7}, {{180.0f, 10.0f}, {90.0f, 25.0f}}},
        {"one whole month", kSeasonSite, {2007, 1, 7, 31, 7}, {{180.0f, 10.0f}}},
        {"one day", kSeasonSite, {2007, 9, 8, 9, 8}, {{270.0f, 5.0f}}},
    };
    for (const auto &c : cases) {
        std::vector<slope_season> swept(c.slopes.size());
        ASSERT_EQ(sweepSeason(&c.site, &c.season, c.slopes.data(), static_cast<int>(c.slopes.size()), swept.data()), 0)
            << c.what;
        for (size_t i = 0; i < c.slopes.size(); i++) expectSameBits(swept[i], windowSeason(c.site, c.season, c.slopes[i]), c.what);
        EXPECT_GT(swept[0].season_irradiation, 0.0f) << c.what;
    }
}

TEST(SweepSeason, TiltManyGivesTheEnginesOwnTiltedIrradiance) {
    // Sun high and low, morning and evening, surfaces facing it and away.
    const float aspects[] = {0.0f, 45.0f, 135.0f, 180.0f, 271.3f, 360.0f, -90.0f};
    const float tilts[] = {0.0f, 2.5f, 17.9f, 30.0f, 90.0f, -10.0f, 180.0f};
    float ca[49], sa[49], ct[49], st[49], many[49];
    for (int i = 0; i < 49; i++) S_surfaceTerms(aspects[i / 7], tilts[i % 7], &ca[i], &sa[i], &ct[i], &st[i]);
    for (int hour : {5, 7, 12, 16, 19}) {
        solar_record r{};
        S_init(&r);
        r.latitude = 44.133f;
        r.longitude = -123.214f;
        r.timezone_hours = -8.0f;
        r.year = 2007;
        r.day_of_year = 172;
        r.hour = hour;
        r.minute = 13;
        r.second = 0;
        ASSERT_EQ(S_solpos(&r), 0);
        S_tiltMany(&r, 49, ca, sa, ct, st, many);
        for (int i = 0; i < 49; i++) {
            r.surface_aspect = aspects[i / 7];
            r.surface_tilt = tilts[i % 7];
            ASSERT_EQ(S_solpos(&r), 0);
            EXPECT_EQ(bits(many[i]), bits(r.etr_tilted)) << hour << "h aspect " << r.surface_aspect << " tilt " << r.surface_tilt;
        }
    }
}

TEST(SweepSeason, RefusedInputWritesNothing) {
    const slope ok = {180.0f, 10.0f};
    const float nan = std::nanf("");
    const struct {
        const char *what;
        site_location site;
        season_range season;
        slope sl;
        int expected;
    } cases[] = {
        {"year before 2000", kSeasonSite, {1999, 1, 4, 31, 10}, ok, SWEEP_BAD_YEAR},
        {"year after 2050", kSeasonSite, {2051, 1, 4, 31, 10}, ok, SWEEP_BAD_YEAR},
        {"one month, ending before it starts", kSeasonSite, {2007, 20, 4, 19, 4}, ok, SWEEP_BAD_MONTH_ORDER},
        {"months reversed", kSeasonSite, {2007, 1, 10, 30, 4}, ok, SWEEP_BAD_MONTH_ORDER},
        {"month 0", kSeasonSite, {2007, 1, 0, 30, 4}, ok, SWEEP_BAD_MONTH},
        {"month 13", kSeasonSite, {2007, 1, 4, 30, 13}, ok, SWEEP_BAD_MONTH},
        {"month 13, months reversed", kSeasonSite, {2007, 1, 13, 30, 4}, ok, SWEEP_BAD_MONTH},
        {"31 April", kSeasonSite, {2007, 31, 4, 31, 10}, ok, SWEEP_BAD_START_DAY},
        {"day 0", kSeasonSite, {2007, 0, 4, 31, 10}, ok, SWEEP_BAD_START_DAY},
        {"29 February 2007", kSeasonSite, {2007, 1, 1, 29, 2}, ok, SWEEP_BAD_STOP_DAY},
        {"latitude not a number", {nan, -123.0f, 114.0f}, {2007, 1, 4, 31, 10}, ok, SWEEP_BAD_SITE},
        {"elevation infinite", {44.0f, -123.0f, INFINITY}, {2007, 1, 4, 31, 10}, ok, SWEEP_BAD_SITE},
        {"latitude beyond the pole", {95.0f, -123.0f, 114.0f}, {2007, 1, 4, 31, 10}, ok, SWEEP_BAD_SITE},
        {"aspect beyond 360", kSeasonSite, {2007, 1, 4, 31, 10}, {400.0f, 10.0f}, SWEEP_BAD_SLOPE},
        {"tilt not a number", kSeasonSite, {2007, 1, 4, 31, 10}, {180.0f, nan}, SWEEP_BAD_SLOPE},
    };
    for (const auto &c : cases) {
        slope slopes[2] = {ok, c.sl};
        slope_season results[2];
        std::memset(results, 0x5a, sizeof results);
        EXPECT_EQ(sweepSeason(&c.site, &c.season, slopes, 2, results), c.expected) << c.what;
        for (const slope_season &r : results) EXPECT_EQ(bits(r.season_degree_days), 0x5a5a5a5au) << c.what;
    }
    const season_range season = {2007, 1, 4, 31, 10};
    slope_season r;
    EXPECT_EQ(sweepSeason(&kSeasonSite, &season, &ok, -1, &r), SWEEP_BAD_ARGUMENTS);
    EXPECT_EQ(sweepSeason(nullptr, &season, &ok, 1, &r), SWEEP_BAD_ARGUMENTS);
    EXPECT_EQ(sweepSeason(&kSeasonSite, &season, nullptr, 0, nullptr), 0);
}

TEST(SweepSeason, ResultsDoNotDependOnTheThreads) {
    std::vector<slope> slopes;
    for (int a = 0; a < 360; a += 45)
        for (float t : {0.0f, 12.5f, 30.0f}) slopes.push_back({static_cast<float>(a), t});
    const int n = static_cast<int>(slopes.size());
    const season_range season = {2010, 20, 6, 10, 8};
    std::vector<slope_season> one(n), three(n), many(n);
    sweep_control control;
    ASSERT_EQ(sweepSeasonThreads(&kSeasonSite, &season, slopes.data(), n, one.data(), &control, 1), 0);
    EXPECT_EQ(control.days_total.load(), 30 + 31 + 31);
    EXPECT_EQ(control.days_done.load(), control.days_total.load());
    ASSERT_EQ(sweepSeasonThreads(&kSeasonSite, &season, slopes.data(), n, three.data(), nullptr, 3), 0);
    ASSERT_EQ(sweepSeasonThreads(&kSeasonSite, &season, slopes.data(), n, many.data(), nullptr, 200), 0);
    EXPECT_EQ(std::memcmp(one.data(), three.data(), n * sizeof(slope_season)), 0);
    EXPECT_EQ(std::memcmp(one.data(), many.data(), n * sizeof(slope_season)), 0);
}

TEST(SweepSeason, CancelledSweepWritesNothing) {
    const season_range season = {2007, 1, 4, 31, 10};
    const slope sl = {180.0f, 10.0f};
    slope_season r;
    std::memset(&r, 0x5a, sizeof r);
    sweep_control control;
    control.cancel = true;
    EXPECT_EQ(sweepSeasonControlled(&kSeasonSite, &season, &sl, 1, &r, &control), SWEEP_CANCELLED);
    EXPECT_EQ(bits(r.season_irradiation), 0x5a5a5a5au);
    EXPECT_EQ(control.days_done.load(), 0);
}

// The sun on the clock of the standard zone nearest the site: whole hours,
// east positive, -8 across the whole Pacific zone (halves away from 0).
TEST(SiteClock, TheNearestStandardZone) {
    const struct {
        float longitude;
        float zone;
    } cases[] = {
        {-123.214f, -8.0f}, {-112.5f, -8.0f}, {-127.49f, -8.0f}, {-127.5f, -9.0f}, {-112.49f, -7.0f},
        {-84.43f, -6.0f},   {-75.0f, -5.0f},  {4.0f, 0.0f},      {-0.0f, 0.0f},     {7.5f, 1.0f},
        {139.7f, 9.0f},     {180.0f, 12.0f},  {-180.0f, -12.0f}, {180.5f, 0.0f},    {std::nanf(""), 0.0f},
    };
    for (const auto &c : cases) EXPECT_EQ(bits(siteZone(c.longitude)), bits(c.zone)) << c.longitude;
}

// June on flat ground at 45 degrees north gets the same sun wherever the
// site lies, each day on its own clock: within 0.5 % of the Pacific figure.
TEST(SiteClock, JuneOnFlatGroundIsTheSameAtEveryLongitude) {
    const season_range june = {2024, 1, 6, 30, 6};
    const slope flat = {180.0f, 0.0f};
    const site_location pacific = {45.0f, -123.0f, 200.0f};
    slope_season west;
    ASSERT_EQ(sweepSeason(&pacific, &june, &flat, 1, &west), 0);
    EXPECT_GT(west.season_irradiation, 700.0f);
    for (float longitude : {-84.0f, 4.0f, 139.0f}) {
        const site_location site = {45.0f, longitude, 200.0f};
        slope_season s;
        ASSERT_EQ(sweepSeason(&site, &june, &flat, 1, &s), 0) << longitude;
        EXPECT_NEAR(s.season_irradiation / west.season_irradiation, 1.0f, 0.005f) << longitude;
    }
}
