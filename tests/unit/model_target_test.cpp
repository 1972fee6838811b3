// The day a target is reached, on made-up daily irradiation whose months are
// known: the first day, across a month boundary, on a leap day, the last
// day and never; and that day said as a date.
#include "model/degreeDayTarget.h"
#include "model/integration.h"

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

double above(double x) { return std::nextafter(x, HUGE_VAL); }

}  // namespace

// 28 February to 2 March 2024 in the southern zone. Each day of the two
// months has its own irradiation, 20 + d in February and 40 + d in March,
// so a day read from the wrong place, a month's total taken from the
// season's days only, or a day before the season counted, moves the running
// totals the targets are set at.
TEST(TargetDay, TheFirstDayWhoseRunningTotalReachesTheTarget) {
    const season_range season = {2024, 28, 2, 2, 3};
    int lengths[12];
    monthLengths(2024, lengths);
    std::vector<float> daily;
    for (int d = 1; d <= 29; d++) daily.push_back(20.0f + static_cast<float>(d));
    for (int d = 1; d <= 31; d++) daily.push_back(40.0f + static_cast<float>(d));
    const float february = 29.0f * 20.0f + 435.0f;   // sums exact in float
    const float march = 31.0f * 40.0f + 496.0f;
    const float g2 = zoneGDD(2, 2, february, 0.0f);
    const float g3 = zoneGDD(2, 3, march, 0.0f);
    ASSERT_GT(g2, 0.0f);
    ASSERT_GT(g3, 0.0f);
    // The running totals after 28 Feb, 29 Feb, 1 Mar and 2 Mar.
    const float r1 = dayDegreeDays(48.0f, february, g2);
    const float r2 = r1 + dayDegreeDays(49.0f, february, g2);
    const float r3 = r2 + dayDegreeDays(41.0f, march, g3);
    const float r4 = r3 + dayDegreeDays(42.0f, march, g3);
    const struct {
        const char *what;
        double target;
        int day;   // of the year
    } cases[] = {
        {"nothing to reach", 0.0, 59},
        {"below nothing", -5.0, 59},
        {"reached on the first day", r1, 59},
        {"just past the first day: the leap day", above(r1), 60},
        {"exactly on the month's last day", r2, 60},
        {"just past February: the next month's first day", above(r2), 61},
        {"between the days of March", (static_cast<double>(r3) + r4) / 2.0, 62},
        {"exactly on the season's last day", r4, 62},
        {"just past the season's total", above(r4), 0},
        {"not a number", NAN, 0},
    };
    const float elevation = 0.0f;
    for (const auto &c : cases) {
        int day = -1;
        targetDaysFromDays(&season, lengths, 2, &elevation, daily.data(), 1, c.target, &day);
        EXPECT_EQ(day, c.day) << c.what;
    }

    // Among other surfaces, day-major: this one is the second of three, the
    // others far sunnier, each with its own day.
    std::vector<float> three(daily.size() * 3, 1.0e3f);
    for (size_t d = 0; d < daily.size(); d++) three[d * 3 + 1] = daily[d];
    const float elevations[3] = {900.0f, elevation, 900.0f};
    int days[3] = {-1, -1, -1};
    targetDaysFromDays(&season, lengths, 2, elevations, three.data(), 3, above(r2), days);
    EXPECT_EQ(days[1], 61);
    EXPECT_TRUE(days[0] == 59 && days[2] == 59) << days[0] << ", " << days[2];
}

// The one-day calculator's rule: a month with at most 0.01 MJ/m2 shares out
// nothing, rather than a day's share of next to no sun.
TEST(TargetDay, AMonthWithoutSunSharesOutNothing) {
    const struct {
        float day, month, degree_days, expected;
    } cases[] = {
        {0.005f, 0.01f, 100.0f, 0.0f},
        {0.0f, 0.0f, 100.0f, 0.0f},
        {1.0f, NAN, 100.0f, 0.0f},
        {0.01f, 0.02f, 100.0f, 50.0f},
    };
    for (const auto &c : cases)
        EXPECT_EQ(bits(dayDegreeDays(c.day, c.month, c.degree_days)), bits(c.expected)) << c.day << " of " << c.month;
}

TEST(TargetDay, TheDayOfTheYearAsADate) {
    const struct {
        int year, day_of_year;
        const char *text, *iso;
    } cases[] = {
        {2024, 0, "not reached in this season", ""},
        {2024, 1, "1 January", "2024-01-01"},
        {2024, 60, "29 February", "2024-02-29"},
        {2023, 60, "1 March", "2023-03-01"},
        {2024, 227, "14 August", "2024-08-14"},
        {2023, 365, "31 December", "2023-12-31"},
        {2024, 366, "31 December", "2024-12-31"},
        {2023, 366, "", ""},
        {2024, -1, "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(targetDateText(c.year, c.day_of_year), c.text) << c.year << " day " << c.day_of_year;
        EXPECT_EQ(targetIsoDate(c.year, c.day_of_year), c.iso) << c.year << " day " << c.day_of_year;
    }
}
