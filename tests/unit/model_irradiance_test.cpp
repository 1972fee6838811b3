// Daily and monthly irradiation through the solar engine.
#include "model/model.h"
#include "selftest/selftest.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

// An arctic site, where the sun stays up in June and down in December.
void arcticSite() {
    storeFixedCase();
    active_latitude = 80.0f;
    active_longitude = 15.0f;
    active_timezone = 1.0f;
    active_aspect = 180.0f;
    active_tilt = 0.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
}

// Clock text of a time in minutes, as the windows show it.
std::string clock(float t) {
    int hours = static_cast<int>(t / 60.0f);
    int minutes = static_cast<int>(t - 60.0f * static_cast<float>(hours));
    int seconds = static_cast<int>(
        60.0f * (t - 60.0f * static_cast<float>(hours) - static_cast<float>(minutes)));
    char text[64];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d:%2.2d", hours, minutes, seconds);
    return text;
}

}  // namespace

TEST(DayBounds, OneDayTestSunriseAndSunset) {
    storeFixedCase();
    float rise = 0.0f;
    float set = 0.0f;
    getDayBounds(22, 7, 1999, &rise, &set);
    EXPECT_EQ(pdat, &pd);
    EXPECT_EQ(pd.day_of_year, 203);
    EXPECT_NEAR(rise, 347.173f, 0.001f);
    EXPECT_NEAR(set, 1181.11f, 0.01f);
    EXPECT_EQ(clock(rise), "05:47:10");
    EXPECT_EQ(clock(set), "19:41:06");
}

TEST(DayBounds, LeapYearShiftsTheDayOfYear) {
    storeFixedCase();
    float rise, set;
    getDayBounds(1, 3, 2000, &rise, &set);
    EXPECT_EQ(pd.day_of_year, 61);
    getDayBounds(1, 3, 1999, &rise, &set);
    EXPECT_EQ(pd.day_of_year, 60);
}

TEST(DaysIrr, SamplesRunFromSunriseToJustPastSunset) {
    // Rise 347.173 and set 1181.11: samples at 347.173 + k for k = 0..834,
    // 835 in all, the last at 1181.173, i.e. 19:41, still below set + 1.
    storeFixedCase();
    float day = getDaysIrr(22, 7, 1999);
    EXPECT_EQ(pd.hour, 19);
    EXPECT_EQ(pd.minute, 41);
    EXPECT_EQ(pd.second, 37);
    EXPECT_GT(day, 20.0f);
    EXPECT_LT(day, 50.0f);

    // A step longer than the day leaves only the first sample: 05:47.
    active_dt = 2000;
    getDaysIrr(22, 7, 1999);
    EXPECT_EQ(pd.hour, 5);
    EXPECT_EQ(pd.minute, 47);
    EXPECT_EQ(pd.second, 37);
}

TEST(DaysIrr, StepsAreRectanglesOfTheirLength) {
    storeFixedCase();
    float one = getDaysIrr(22, 7, 1999);
    active_dt = 2;
    float two = getDaysIrr(22, 7, 1999);
    EXPECT_NE(one, two);
    EXPECT_NEAR(two, one, 0.005f * one);
    active_dt = 10;
    EXPECT_NEAR(getDaysIrr(22, 7, 1999), one, 0.02f * one);
}

TEST(DaysIrr, StepBelowOneMinuteIsOneMinute) {
    storeFixedCase();
    float one = getDaysIrr(22, 7, 1999);
    active_dt = 0;
    EXPECT_EQ(getDaysIrr(22, 7, 1999), one);
    active_dt = -5;
    EXPECT_EQ(getDaysIrr(22, 7, 1999), one);
}

TEST(DaysIrr, PolarNightGivesZero) {
    arcticSite();
    float rise, set;
    getDayBounds(21, 12, 2007, &rise, &set);
    EXPECT_EQ(rise, 2999.0f);
    EXPECT_EQ(set, -2999.0f);
    EXPECT_EQ(getDaysIrr(21, 12, 2007), 0.0f);
    // No sample was taken: the record still holds the clock of the bounds.
    EXPECT_EQ(pd.hour, 12);
}

TEST(DaysIrr, MidnightSunIsSummedOverTheWholeDate) {
    arcticSite();
    active_tilt = 30.0f;
    float rise, set;
    getDayBounds(21, 6, 2007, &rise, &set);
    ASSERT_EQ(rise, -2999.0f);
    ASSERT_EQ(set, 2999.0f);

    float day = getDaysIrr(21, 6, 2007);
    EXPECT_EQ(pd.hour, 23);
    EXPECT_EQ(pd.minute, 59);

    // Reference: every minute of the date from 00:00 to 23:59, once.
    float reference = 0.0f;
    for (int t = 0; t < 1440; t++) {
        pd.hour = t / 60;
        pd.minute = t % 60;
        ASSERT_EQ(S_solpos(&pd), 0);
        double energy = static_cast<double>(pd.etr_tilted) *
                        std::pow(0.7, static_cast<double>(pd.air_mass_pressure)) * 60.0;
        reference = static_cast<float>(static_cast<double>(reference) + energy);
    }
    reference = static_cast<float>(static_cast<double>(reference) * 1e-6);
    EXPECT_GT(day, 0.0f);
    EXPECT_EQ(day, reference);
}

TEST(DaysIrr, OrdinaryDaysAreExactToTheLastBit) {
    // The season self-test's site at midnight. On these days scaling the sum
    // in single precision, or accumulating it in double, gives another float;
    // an independent integration of every day of 2007 and 2008 agreed with
    // the values here.
    storeSeasonCase();
    active_hour = 0;
    active_minute = 0;
    active_second = 0;
    EXPECT_EQ(getDaysIrr(24, 5, 2007), 0x1.850ff2p+4f);
    EXPECT_EQ(getDaysIrr(26, 6, 2007), 0x1.9040aep+4f);
    EXPECT_EQ(getDaysIrr(6, 8, 2007), 0x1.6ada5p+4f);
    EXPECT_EQ(getDaysIrr(3, 10, 2007), 0x1.beaac2p+3f);
}

TEST(DaysIrr, AnySiteDateOrBadInputEndsQuietly) {
    // Poles, equator, southern sites and refused inputs: every call must end
    // with a finite, non-negative sum. Mainly for the sanitizer build, which
    // stops on any out-of-range conversion or read on these paths.
    storeFixedCase();
    for (float lat : {-90.0f, -66.0f, 0.0f, 66.5f, 89.9f, 90.0f}) {
        active_latitude = lat;
        for (int month : {1, 6, 12}) {
            float day = getDaysIrr(21, month, 2020);
            EXPECT_TRUE(std::isfinite(day)) << lat << " " << month;
            EXPECT_GE(day, 0.0f) << lat << " " << month;
        }
    }
    storeFixedCase();
    active_dt = INT_MAX;
    EXPECT_TRUE(std::isfinite(getDaysIrr(22, 7, 1999)));
    active_dt = 1;
    EXPECT_TRUE(std::isfinite(getDaysIrr(22, 13, 1999)));
    EXPECT_TRUE(std::isfinite(getDaysIrr(22, 0, 1999)));
    EXPECT_TRUE(std::isfinite(getDaysIrr(INT_MAX, 12, 1999)));
    EXPECT_TRUE(std::isfinite(getDaysIrr(22, 7, 1900)));
    active_latitude = 1e30f;
    EXPECT_TRUE(std::isfinite(getDaysIrr(22, 7, 1999)));
}

TEST(MonthsIrr, FebruaryFollowsTheMonthLengths) {
    storeFixedCase();
    active_year = 2008;
    setMonthLengths(2008);
    float leap = getMonthsIrr(2);
    setMonthLengths(2007);
    float common = getMonthsIrr(2);
    EXPECT_EQ(leap, common + getDaysIrr(29, 2, 2008));

    EXPECT_EQ(getMonthsIrr(0), 0.0f);
    EXPECT_EQ(getMonthsIrr(13), 0.0f);
}

TEST(ClockText, MinutesAreCutIntoHoursMinutesAndSeconds) {
    const struct {
        float minutes;
        const char *zone;
        const char *text;
    } cases[] = {
        {347.173f, "(EST)", "05:47:10 (EST)"},
        {1181.11f, "(Z-8)", "19:41:06 (Z-8)"},
        {0.0f, "", "00:00:00 "},
        {59.999f, "(Z-8)", "00:59:59 (Z-8)"},
        {2999.0f, "(Z-8)", "49:59:00 (Z-8)"},
        {-2999.0f, "(Z-8)", "-49:-59:00 (Z-8)"},
        {3.0e38f, "(Z-8)", "--:--:-- (Z-8)"},
    };
    for (const auto &c : cases) {
        char text[64];
        clockText(c.minutes, c.zone, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.minutes;
    }
}
