// Where the degree-day polynomials run backwards, the per-month flag, and
// ranking slopes by irradiation against degree days.
#include "model/gddFalls.h"
#include "model/seasonRanking.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

gdd_falls falls() {
    gdd_falls f;
    findGddFalls(&f);
    return f;
}

}  // namespace

// Turning points worked out by hand from the coefficients (the roots of each
// derivative); the first-half polynomials rise throughout their branches.
TEST(GddFalls, TurningPointsOfEveryPolynomial) {
    const gdd_falls f = falls();
    const struct { int p; int count; double low0, high0, low1; } cases[] = {
        {GDD_NORTH_FIRST_LOW, 0, 0, 0, 0},       {GDD_NORTH_FIRST_HIGH, 0, 0, 0, 0},
        {GDD_NORTH_SECOND, 1, 661.85, HUGE_VAL, 0}, {GDD_SOUTH_FIRST_LOW, 0, 0, 0, 0},
        {GDD_SOUTH_FIRST_HIGH, 0, 0, 0, 0},      {GDD_SOUTH_SECOND, 2, 0.0, 103.98, 695.49},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(f.count[c.p], c.count) << c.p;
        if (c.count > 0) {
            EXPECT_NEAR(f.range[c.p][0].low, c.low0, 0.05) << c.p;
            if (std::isinf(c.high0)) {
                EXPECT_TRUE(std::isinf(f.range[c.p][0].high)) << c.p;
            } else {
                EXPECT_NEAR(f.range[c.p][0].high, c.high0, 0.05) << c.p;
            }
        }
        if (c.count > 1) {
            EXPECT_NEAR(f.range[c.p][1].low, c.low1, 0.05) << c.p;
        }
    }
}

// Away from the turning points, the flag says exactly whether one more MJ/m2
// gives fewer degree days, for every zone, month and irradiation.
TEST(GddFalls, FlagAgreesWithTheDegreeDaysThemselves) {
    const gdd_falls f = falls();
    for (int zone = 1; zone <= 2; zone++)
        for (int month = 1; month <= 12; month++)
            for (float x = 0.5f; x < 1500.0f; x += 3.0f) {
                int p = gddPolynomialIndex(zone, month, x);
                if (gddPolynomialIndex(zone, month, x + 1.0f) != p) continue;  // across a threshold
                bool near = false;
                for (int i = 0; i < f.count[p]; i++)
                    near = near || std::fabs(x - f.range[p][i].low) < 2.0 || std::fabs(x - f.range[p][i].high) < 2.0;
                if (near) continue;
                bool fewer = gddPolynomial(p, x + 1.0f) < gddPolynomial(p, x);
                ASSERT_EQ(gddFalls(&f, zone, month, x), fewer) << zone << " " << month << " " << x;
            }
}

TEST(GddFalls, MonthsOfASeasonByTheirZone) {
    const gdd_falls f = falls();
    slope_season s = {};
    s.month_irradiation[4] = 700.0f;   // May: first half, rising in both zones
    s.month_irradiation[6] = 680.0f;   // July: beyond the northern turn, short of the southern
    s.month_irradiation[7] = 720.0f;   // August: beyond both
    s.month_irradiation[8] = 50.0f;    // September: the southern polynomial's low fall
    // Whole months: their degree days come from these very figures.
    std::copy(s.month_irradiation, s.month_irradiation + 12, s.month_whole_irradiation);
    bool north[12], south[12];
    seasonFallingMonths(&f, &s, gddZone(44.1f), north);
    seasonFallingMonths(&f, &s, gddZone(43.5f), south);
    const bool wantNorth[12] = {false, false, false, false, false, false, true, true, false, false, false, false};
    const bool wantSouth[12] = {false, false, false, false, false, false, false, true, true, false, false, false};
    for (int m = 0; m < 12; m++) {
        EXPECT_EQ(north[m], wantNorth[m]) << m + 1;
        EXPECT_EQ(south[m], wantSouth[m]) << m + 1;
    }
}

// A month the season takes only in part gets its share of the whole month's
// degree days: the whole month's irradiation decides, not the part's.
TEST(GddFalls, PartMonthJudgedByTheWholeMonth) {
    const gdd_falls f = falls();
    const struct { const char *what; float latitude; int month; float part, whole; bool falling; } cases[] = {
        {"July, part short of the northern turn, whole beyond it", 44.1f, 7, 250.0f, 700.0f, true},
        {"July, the part and the whole short of it", 44.1f, 7, 250.0f, 600.0f, false},
        {"September, part in the southern low fall, whole above it", 43.5f, 9, 50.0f, 400.0f, false},
    };
    for (const auto &c : cases) {
        slope_season s = {};
        s.month_irradiation[c.month - 1] = c.part;
        s.month_whole_irradiation[c.month - 1] = c.whole;
        bool falling[12];
        seasonFallingMonths(&f, &s, gddZone(c.latitude), falling);
        EXPECT_EQ(falling[c.month - 1], c.falling) << c.what;
    }
    // Through the sweep: a season from 20 July flags July as the whole July does.
    const site_location site = {44.133f, -123.214f, 114.0f};
    const slope south = {180.0f, 20.0f};
    const season_range part = {2007, 20, 7, 31, 8}, whole = {2007, 1, 7, 31, 8};
    slope_season p, w;
    ASSERT_EQ(sweepSeason(&site, &part, &south, 1, &p), 0);
    ASSERT_EQ(sweepSeason(&site, &whole, &south, 1, &w), 0);
    bool byPart[12], byWhole[12];
    seasonFallingMonths(&f, &p, gddZone(site.latitude), byPart);
    seasonFallingMonths(&f, &w, gddZone(site.latitude), byWhole);
    ASSERT_TRUE(byWhole[6]) << "the whole July of a south slope lies beyond the turn";
    EXPECT_TRUE(byPart[6]) << p.month_irradiation[6] << " of " << p.month_whole_irradiation[6];
}

// The two measures each pick their own best; ties go to the first slope.
TEST(SeasonRanking, BestByIrradiationAndByDegreeDays) {
    slope_season s[4] = {};
    const float irr[4] = {900.0f, 1000.0f, 1000.0f, 700.0f}, gdd[4] = {650.0f, 600.0f, 640.0f, 650.0f};
    for (int i = 0; i < 4; i++) {
        s[i].season_irradiation = irr[i];
        s[i].season_degree_days = gdd[i];
    }
    float low, high;
    EXPECT_EQ(bestSeason(s, 4, BY_IRRADIATION, &low, &high), 1);
    EXPECT_EQ(low, 700.0f);
    EXPECT_EQ(high, 1000.0f);
    EXPECT_EQ(bestSeason(s, 4, BY_DEGREE_DAYS, &low, &high), 0);
    EXPECT_EQ(low, 600.0f);
    EXPECT_EQ(bestSeason(s, 0, BY_DEGREE_DAYS, &low, &high), -1);
}
