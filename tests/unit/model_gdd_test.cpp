// Degree-day regression, checked at the two decimals the windows show.
#include "model/model.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string shown(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

}  // namespace

TEST(NorthGDD, PolynomialsAndElevationCorrection) {
    active_elev = 116.0f;
    EXPECT_EQ(shown(northGDD(5, 600.0f)), "102.93");
    EXPECT_EQ(shown(northGDD(8, 500.0f)), "252.49");
    active_elev = 216.0f;
    EXPECT_EQ(shown(northGDD(7, 500.0f)), "225.61");
    active_elev = 114.0f;
    EXPECT_EQ(shown(northGDD(7, 500.0f)), "253.02");
}

TEST(NorthGDD, NoCorrectionInJanuaryAndDecember) {
    for (int month : {1, 12}) {
        active_elev = 116.0f;
        float base = northGDD(month, 400.0f);
        active_elev = 600.0f;
        EXPECT_EQ(northGDD(month, 400.0f), base) << month;
        active_elev = -300.0f;
        EXPECT_EQ(northGDD(month, 400.0f), base) << month;
    }
}

TEST(NorthGDD, NegativeResultsAreClipped) {
    active_elev = 116.0f;
    EXPECT_EQ(northGDD(5, 100.0f), 0.0f);  // polynomial gives -2.375
    EXPECT_EQ(northGDD(9, 0.0f), 0.0f);
    // A high site can pull a positive polynomial below zero.
    active_elev = 2000.0f;
    EXPECT_EQ(northGDD(7, 200.0f), 0.0f);
}

TEST(NorthGDD, ThresholdTakesTheHighPolynomialFromItsValueOn) {
    active_elev = 116.0f;
    // 637.2f lies just above 637.2 and so takes the high polynomial; the
    // float below it the low one. The branches differ by a few thousandths,
    // neighbours within one branch by far less.
    float at = northGDD(5, 637.2f);
    float below = northGDD(5, std::nextafter(637.2f, 0.0f));
    float above = northGDD(5, std::nextafter(637.2f, 1000.0f));
    EXPECT_NEAR(at, 113.92f, 0.01f);
    EXPECT_GT(std::fabs(at - below), 1e-3f);
    EXPECT_LT(std::fabs(at - below), 0.01f);
    EXPECT_LT(std::fabs(at - above), 1e-3f);
}

TEST(SouthGDD, PolynomialsAndClipping) {
    EXPECT_EQ(shown(southGDD(5, 800.0f)), "401.82");
    EXPECT_EQ(shown(southGDD(5, 600.0f)), "126.93");
    EXPECT_EQ(shown(southGDD(8, 500.0f)), "271.44");
    EXPECT_EQ(shown(southGDD(8, 0.0f)), "141.06");
    EXPECT_EQ(southGDD(5, 0.0f), 0.0f);
    EXPECT_EQ(southGDD(5, 100.0f), 0.0f);
}

TEST(SouthGDD, ThresholdIsComparedInDoublePrecision) {
    // 712.99f lies just below 712.99, so it still takes the low polynomial
    // (a single-precision comparison would take the linear one).
    float at = southGDD(5, 712.99f);
    float below = southGDD(5, std::nextafter(712.99f, 0.0f));
    float above = southGDD(5, std::nextafter(712.99f, 1000.0f));
    EXPECT_NEAR(at, 187.52f, 0.01f);
    EXPECT_LT(std::fabs(at - below), 1e-3f);
    EXPECT_GT(std::fabs(above - at), 1e-3f);
    EXPECT_LT(std::fabs(above - at), 0.01f);
}

TEST(SouthGDD, ElevationHasNoEffect) {
    active_elev = 116.0f;
    float base5 = southGDD(5, 600.0f);
    float base8 = southGDD(8, 500.0f);
    active_elev = 500.0f;
    EXPECT_EQ(southGDD(5, 600.0f), base5);
    EXPECT_EQ(southGDD(8, 500.0f), base8);
}

TEST(MonthsGDD, ZoneSelectsTheRegression) {
    active_elev = 300.0f;
    northsouth = 1;
    EXPECT_EQ(getMonthsGDD(7, 500.0f), northGDD(7, 500.0f));
    northsouth = 2;
    EXPECT_EQ(getMonthsGDD(7, 500.0f), southGDD(7, 500.0f));
    EXPECT_NE(getMonthsGDD(7, 500.0f), northGDD(7, 500.0f));
    northsouth = 0;
    EXPECT_EQ(getMonthsGDD(7, 500.0f), 0.0f);
}

TEST(NorthGDD, ElevationCorrectionFollowsTheMonthlyTable) {
    // Degree days lost per 100 m of elevation above the base, by month.
    const float per100m[12] = {0.0f,     -1.6221f, -9.2232f, -12.081f, -13.742f, -19.295f,
                               -26.874f, -24.694f, -14.155f, -6.2668f, -3.7714f, 0.0f};
    for (int month = 1; month <= 12; month++) {
        active_elev = 116.0f;
        float base = northGDD(month, 500.0f);
        active_elev = 216.0f;
        EXPECT_NEAR(northGDD(month, 500.0f) - base, per100m[month - 1], 1e-3f) << month;
    }
}

TEST(GDD, EveryBranchIsExactToTheLastBit) {
    // Each point was chosen where evaluating the whole polynomial in double
    // precision, or with double-precision coefficients, lands on another
    // float; an independent evaluation from the fitted grouping agreed with
    // every value here.
    active_elev = 116.0f;
    EXPECT_EQ(northGDD(5, 400.0f), 0x1.9ac778p+5f);  // low half-year polynomial
    EXPECT_EQ(northGDD(5, 700.0f), 0x1.3f95e8p+7f);  // high, with widened terms
    EXPECT_EQ(northGDD(8, 500.0f), 0x1.f8f956p+7f);  // second half of the year
    EXPECT_EQ(southGDD(5, 500.0f), 0x1.75e5e8p+6f);
    EXPECT_EQ(southGDD(5, 750.0f), 0x1.16acc8p+8f);  // linear above the threshold
    EXPECT_EQ(southGDD(8, 650.0f), 0x1.3d1342p+8f);
}
