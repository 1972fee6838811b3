// Calendar helpers and the clamped integer reader.
#include "model/model.h"

#include <climits>
#include <gtest/gtest.h>

TEST(Calendar, LeapYearsFollowTheGregorianRule) {
    EXPECT_EQ(isLeapYear(2000), 1);
    EXPECT_EQ(isLeapYear(1900), 0);
    EXPECT_EQ(isLeapYear(2004), 1);
    EXPECT_EQ(isLeapYear(2007), 0);
    EXPECT_EQ(isLeapYear(2100), 0);
    EXPECT_EQ(isLeapYear(1600), 1);
}

TEST(Calendar, MonthLengthsOfCommonAndLeapYears) {
    const int common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    setMonthLengths(2008);
    for (int m = 0; m < 12; m++) EXPECT_EQ(dayspermonth[m], m == 1 ? 29 : common[m]) << m;
    // A common year after a leap year must put February back.
    setMonthLengths(2007);
    for (int m = 0; m < 12; m++) EXPECT_EQ(dayspermonth[m], common[m]) << m;
}

TEST(Calendar, MonthNamesMatchOnlyExactly) {
    const char *names[12] = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};
    for (int m = 0; m < 12; m++) EXPECT_EQ(getMonthNumber(names[m]), m + 1) << names[m];
    EXPECT_EQ(getMonthNumber("march"), 13);
    EXPECT_EQ(getMonthNumber("MARCH"), 13);
    EXPECT_EQ(getMonthNumber("Mar"), 13);
    EXPECT_EQ(getMonthNumber("Marchx"), 13);
    EXPECT_EQ(getMonthNumber(""), 13);
    EXPECT_EQ(getMonthNumber(nullptr), 13);
}

TEST(LeadingInt, ReadsLikeAtoiButClamps) {
    EXPECT_EQ(leadingInt("  2007 rest"), 2007);
    EXPECT_EQ(leadingInt("-12x"), -12);
    EXPECT_EQ(leadingInt("BAD YEAR"), 0);
    EXPECT_EQ(leadingInt(""), 0);
    EXPECT_EQ(leadingInt(nullptr), 0);
    EXPECT_EQ(leadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(leadingInt("-99999999999999999999"), INT_MIN);
}

TEST(WholeNumbers, OnlyTextThatIsWhollyOneNumberReads) {
    struct { const char *text; bool ok; float value; } reals[] = {
        {"  44.1330", true, 44.133f}, {"-123.2140 ", true, -123.214f}, {"1e38", true, 1e38f},
        {"44,13", false, 0}, {"44°07′59″N", false, 0}, {"", false, 0}, {"   ", false, 0},
        {"nan", false, 0}, {"inf", false, 0}, {"1e999", false, 0}, {"1e39", false, 0}, {"12 3", false, 0},
    };
    for (const auto &c : reals) {
        float v = -7.0f;
        EXPECT_EQ(wholeFloat(c.text, &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -7.0f) << c.text;
    }
    struct { const char *text; bool ok; int value; } ints[] = {
        {" 2007 ", true, 2007}, {"-12", true, -12}, {"99999999999999999999", true, INT_MAX},
        {"1e38", false, 0}, {"3.5", false, 0}, {"BAD DAY", false, 0}, {"", false, 0},
    };
    for (const auto &c : ints) {
        int v = -7;
        EXPECT_EQ(wholeInt(c.text, &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -7) << c.text;
    }
}
