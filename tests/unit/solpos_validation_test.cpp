#include "solar/solpos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

solar_record valid_record() {
    solar_record r{};
    S_init(&r);
    r.year = 1999; r.month = 7; r.day_of_month = 22; r.day_of_year = 203;
    r.hour = 9; r.minute = 45; r.second = 37; r.timezone_hours = -5.0f;
    r.latitude = 33.65f; r.longitude = -84.43f;
    return r;
}

TEST(SolposValidation, FreshRecordReportsEveryMissingInput) {
    solar_record r{};
    S_init(&r);
    EXPECT_EQ(S_solpos(&r), 0x6F9);
}

TEST(SolposValidation, IntegerLimitsPassAndOneBeyondFails) {
    struct Case { int solar_record::*field; int ok_lo, ok_hi; std::int64_t bit; };
    const Case cases[] = {
        {&solar_record::year, 1950, 2050, 0x1},
        {&solar_record::day_of_year, 1, 366, 0x8},
        {&solar_record::hour, 0, 24, 0x10},
        {&solar_record::minute, 0, 59, 0x20},
        {&solar_record::second, 0, 59, 0x40},
        {&solar_record::interval_seconds, 0, 28800, 0x100},
    };
    for (const Case &c : cases) {
        for (int v : {c.ok_lo, c.ok_hi, c.ok_lo - 1, c.ok_hi + 1}) {
            solar_record r = valid_record();
            r.minute = 0; r.second = 0;  // so that hour 24 is a plain limit here
            r.*c.field = v;
            const bool inside = v >= c.ok_lo && v <= c.ok_hi;
            EXPECT_EQ(S_solpos(&r), inside ? 0 : c.bit) << "bit " << c.bit << " value " << v;
        }
    }
}

TEST(SolposValidation, MonthAndDayLimitsInMonthAndDayMode) {
    struct Case { int month, day; std::int64_t code; };
    const Case cases[] = {{1, 1, 0},    {12, 31, 0},  {0, 15, 0x2}, {13, 15, 0x2},
                          {6, 0, 0x4},  {6, 32, 0x4}, {0, 32, 0x6}};
    for (const Case &c : cases) {
        solar_record r = valid_record();
        r.function_mask = SOLAR_ALL & ~SOLAR_DAY_OF_YEAR_INPUT;
        r.month = c.month; r.day_of_month = c.day;
        EXPECT_EQ(S_solpos(&r), c.code) << "month " << c.month << " day " << c.day;
    }
}

TEST(SolposValidation, RealLimitsPassAndBeyondOrNonFiniteFails) {
    struct Case { float solar_record::*field; float lo, hi; std::int64_t bit; };
    const Case cases[] = {
        {&solar_record::timezone_hours, -12, 12, 0x80},
        {&solar_record::latitude, -90, 90, 0x200},
        {&solar_record::longitude, -180, 180, 0x400},
        {&solar_record::temperature, -100, 100, 0x800},
        {&solar_record::pressure, 0, 2000, 0x1000},
        {&solar_record::surface_tilt, -180, 180, 0x2000},
        {&solar_record::surface_aspect, -360, 360, 0x4000},
        {&solar_record::shadowband_width, 1, 100, 0x8000},
        {&solar_record::shadowband_radius, 1, 100, 0x10000},
        {&solar_record::shadowband_sky, -1, 1, 0x20000},
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const Case &c : cases) {
        for (float v : {c.lo, c.hi}) {
            solar_record r = valid_record();
            r.*c.field = v;
            EXPECT_EQ(S_solpos(&r), 0) << "bit " << c.bit << " value " << v;
        }
        for (float v : {std::nextafter(c.lo, -inf), std::nextafter(c.hi, inf),
                        std::numeric_limits<float>::quiet_NaN(), inf, -inf}) {
            solar_record r = valid_record();
            r.*c.field = v;
            EXPECT_EQ(S_solpos(&r), c.bit) << "bit " << c.bit << " value " << v;
        }
    }
    solar_record r = valid_record();
    r.timezone_hours = 12.5f;
    EXPECT_EQ(S_solpos(&r), 0x80);
}

TEST(SolposValidation, HourTwentyFourOnlyAtMidnight) {
    solar_record r = valid_record();
    r.hour = 24; r.minute = 0; r.second = 0;
    EXPECT_EQ(S_solpos(&r), 0);
    r.minute = 1;
    EXPECT_EQ(S_solpos(&r), 0x30);
    r.minute = 0; r.second = 1;
    EXPECT_EQ(S_solpos(&r), 0x50);
    r.minute = 1;
    EXPECT_EQ(S_solpos(&r), 0x70);
}

TEST(SolposValidation, DateModeAndStepBitsChooseTheCheckedFields) {
    solar_record r = valid_record();
    r.month = -99; r.day_of_month = -99;  // day-of-year mode: not read, not checked
    EXPECT_EQ(S_solpos(&r), 0);

    r = valid_record();
    r.function_mask = SOLAR_ALL & ~SOLAR_DAY_OF_YEAR_INPUT;
    r.day_of_year = -999;
    EXPECT_EQ(S_solpos(&r), 0);
    r.month = 13; r.day_of_month = 0;
    EXPECT_EQ(S_solpos(&r), 0x2 | 0x4);

    // Without geometry, date, time and place are not checked; without
    // refraction neither are temperature and pressure.
    S_init(&r);
    r.function_mask = SOLAR_AIR_MASS | SOLAR_PRIME;
    r.temperature = 500.0f; r.pressure = std::nanf("");
    EXPECT_EQ(S_solpos(&r), 0);
}

TEST(SolposValidation, FailingCallLeavesEarlierResultsUntouched) {
    solar_record r = valid_record();
    ASSERT_EQ(S_solpos(&r), 0);
    solar_record before = r;
    // A new day of year too: the date must not be converted before the check.
    r.latitude = std::nanf("");
    r.hour = 25;
    r.day_of_year = 300;
    before.latitude = r.latitude;
    before.hour = r.hour;
    before.day_of_year = r.day_of_year;
    EXPECT_EQ(S_solpos(&r), 0x10 | 0x200);
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST(SolposDecode, PrintsOneLinePerBitInAscendingOrder) {
    solar_record r = valid_record();
    r.hour = 24; r.minute = 1; r.timezone_hours = 12.5f;
    testing::internal::CaptureStderr();
    S_decode(0x30, &r);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "S_decode ==> Please fix the hour: 24\nS_decode ==> Please fix the minute: 1\n");
    testing::internal::CaptureStderr();
    S_decode(0x80 | 0x1, &r);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "S_decode ==> Please fix the year: 1999 [1950-2050]\n"
              "S_decode ==> Please fix the time zone: 12.500000\n");
    testing::internal::CaptureStderr();
    S_decode(0, &r);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(SolposDateConversion, MonthDayToDayOfYear) {
    struct Case { int year, month, day, doy; };
    const Case cases[] = {{2000, 2, 29, 60}, {2000, 3, 1, 61}, {1999, 3, 1, 60},
                          {1999, 2, 31, 62}, {1999, 1, 1, 1}, {2000, 12, 31, 366}};
    for (const Case &c : cases) {
        solar_record r = valid_record();
        r.function_mask = SOLAR_ALL & ~SOLAR_DAY_OF_YEAR_INPUT;
        r.year = c.year; r.month = c.month; r.day_of_month = c.day;
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.day_of_year, c.doy) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(SolposDateConversion, DayOfYearToMonthDay) {
    struct Case { int year, doy, month, day; };
    const Case cases[] = {{1999, 366, 12, 32}, {2000, 60, 2, 29}, {1999, 60, 3, 1},
                          {1999, 1, 1, 1}, {2000, 366, 12, 31}, {1999, 32, 2, 1}};
    for (const Case &c : cases) {
        solar_record r = valid_record();
        r.year = c.year; r.day_of_year = c.doy;
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.month, c.month) << c.year << " day " << c.doy;
        EXPECT_EQ(r.day_of_month, c.day) << c.year << " day " << c.doy;
    }
}

TEST(SolposDateConversion, UncheckedDatesConvertWithoutOverflow) {
    // Without the geometry step nothing is validated; the conversion still
    // runs on whatever date the record holds.
    const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    struct ToDoy { int year, month, day, doy; };
    const ToDoy to_doy[] = {{1999, 3, 40, 99}, {1999, 3, 0, 59},  {2000, 3, -5, 55},
                            {2000, 12, most, most}, {1999, 1, least, least},
                            {1999, 0, 5, -999}, {1999, 13, 5, -999}};  // no month: untouched
    for (const ToDoy &c : to_doy) {
        solar_record r{};
        S_init(&r);
        r.function_mask = 0;
        r.year = c.year; r.month = c.month; r.day_of_month = c.day;
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.day_of_year, c.doy) << c.year << "-" << c.month << "-" << c.day;
    }
    struct ToMonthDay { int year, doy, month, day; };
    const ToMonthDay to_month_day[] = {{1999, 367, 12, 33}, {2000, 400, 12, 65},
                                       {1999, most, 12, most - 334},
                                       {1999, 0, -99, -99}, {1999, -5, -99, -99}};  // untouched
    for (const ToMonthDay &c : to_month_day) {
        solar_record r{};
        S_init(&r);
        r.function_mask = SOLAR_DAY_OF_YEAR_INPUT;
        r.year = c.year; r.day_of_year = c.doy;
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.month, c.month) << c.year << " day " << c.doy;
        EXPECT_EQ(r.day_of_month, c.day) << c.year << " day " << c.doy;
    }
}

TEST(SolposTrueTime, HugeUncheckedOffsetFoldsToTheExactRemainder) {
    struct Case { int hour; float offset; };
    const Case cases[] = {
        // 720 - 60 * 20 000 = -1 199 280 = -833 * 1440 + 240.
        {20000, 240.0f},
        // 720 - 60 * 240 000 000 is stored as -14 399 998 976 (single
        // precision), 416 short of a whole number of days; single steps of
        // 1440 would round and take eleven million of them.
        {240000000, -416.0f},
    };
    for (const Case &c : cases) {
        solar_record r{};
        S_init(&r);
        r.function_mask = SOLAR_TRUE_TIME;
        r.hour_angle = 0.0f; r.hour = c.hour; r.minute = 0; r.second = 0;
        r.timezone_hours = 0.0f; r.longitude = 0.0f;
        ASSERT_EQ(S_solpos(&r), 0);
        EXPECT_EQ(r.solar_time_offset, c.offset) << "hour " << c.hour;
        EXPECT_EQ(r.equation_of_time, c.offset) << "hour " << c.hour;
    }
}

}  // namespace
