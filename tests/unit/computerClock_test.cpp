// The calculators' sunrise and sunset on this computer's clock: daylight
// saving added only where the computer keeps the site's standard time, the
// seconds those of the clock texts, the day after midnight named, and the
// zone said wherever the computer's clock is another.
#include "model/computerClock.h"
#include "model/model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Sets TZ for one scope and gives the old one back.
class ZoneOfThisComputer {
public:
    explicit ZoneOfThisComputer(const char *zone) {
        const char *old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneOfThisComputer() {
        if (had_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

std::string clock(float minutes) {
    char text[64];
    clockText(minutes, "", text, sizeof text);
    return std::string(text, 8);
}

}  // namespace

TEST(ComputerClock, SaysTheMomentsOnThisComputersClockOrWhichClockTheyAreOn) {
    // 04:30:15 and 20:03:30 on the site's standard clock.
    const float rise = 270.25f, set = 1203.5f;
    const struct {
        const char *tz;
        float zone;
        int year, month, day;
        float rise, set;
        const char *says;
    } cases[] = {
        {"America/Los_Angeles", -8, 2024, 6, 21, rise, set,
         "that is 05:30:15 and 21:03:30 PDT on this computer's clock"},
        {"America/Los_Angeles", -8, 2024, 12, 21, rise, set,
         "that is 04:30:15 and 20:03:30 PST on this computer's clock"},
        {"America/Los_Angeles", -5, 2024, 6, 21, rise, set,
         "times on the standard clock of UTC\u22125, the zone nearest the site"},
        {"America/New_York", -5, 2024, 7, 1, rise, set, "that is 05:30:15 and 21:03:30 EDT on this computer's clock"},
        {"Europe/Paris", -1, 2024, 6, 21, rise, set,
         "times on the standard clock of UTC\u22121, the zone nearest the site"},
        {"Europe/Paris", 0, 2024, 6, 21, rise, set, "times on the standard clock of UTC, the zone nearest the site"},
        {"Europe/Paris", 1, 2024, 6, 21, rise, set, "that is 05:30:15 and 21:03:30 CEST on this computer's clock"},
        {"Europe/Paris", 1, 2024, 1, 15, rise, set, "that is 04:30:15 and 20:03:30 CET on this computer's clock"},
        {"UTC", 0, 2024, 6, 21, rise, set, "that is 04:30:15 and 20:03:30 UTC on this computer's clock"},
        {"Asia/Kolkata", 5, 2024, 6, 21, rise, set,
         "times on the standard clock of UTC+5, the zone nearest the site"},
        // Daylight saving carries a late sunset past midnight.
        {"America/Los_Angeles", -8, 2024, 6, 21, rise, 1410.0f,
         "that is 05:30:15 and 00:30:00 the next day PDT on this computer's clock"},
        // The engine's markers of a day without sunrise or sunset.
        {"America/Los_Angeles", -8, 2024, 6, 21, 2999.0f, -2999.0f,
         "times on the standard clock of UTC\u22128, the zone nearest the site"},
        {"America/Los_Angeles", -8, 2024, 6, 21, -2999.0f, 2999.0f,
         "times on the standard clock of UTC\u22128, the zone nearest the site"},
    };
    for (const auto &c : cases) {
        ZoneOfThisComputer tz(c.tz);
        EXPECT_EQ(computerClockLine(c.zone, c.year, c.month, c.day, c.rise, c.set), c.says)
            << c.tz << " " << c.zone << " " << c.month;
    }
}

// Where the computer keeps the site's clock without daylight saving, the
// line repeats the clock texts' own hours, minutes and seconds, cut as they
// are cut.
TEST(ComputerClock, KeepsTheSecondsOfTheClockTexts) {
    ZoneOfThisComputer tz("UTC");
    for (float minutes : {270.2333f, 301.9999f, 0.0f, 59.99999f, 719.51f, 1199.1667f, 1439.999f}) {
        const std::string line = computerClockLine(0.0f, 2030, 3, 3, minutes, minutes);
        EXPECT_EQ(line, "that is " + clock(minutes) + " and " + clock(minutes) + " UTC on this computer's clock")
            << minutes;
    }
}

TEST(ComputerClock, NamesOffsetsAndTellsTheStandardOneInsideDaylightSaving) {
    const struct {
        long seconds;
        const char *name;
    } names[] = {{0, "UTC"}, {-8 * 3600, "UTC\u22128"}, {3600, "UTC+1"}, {19800, "UTC+5:30"}, {-9000, "UTC\u22122:30"}};
    for (const auto &n : names) EXPECT_EQ(utcOffsetName(n.seconds), n.name);

    const struct {
        const char *tz;
        long long when;   // seconds since 1970
        long standard;
    } zones[] = {
        {"America/Los_Angeles", 1718971200LL, -8 * 3600},   // 21 June 2024, in daylight saving
        {"America/Los_Angeles", 1734782400LL, -8 * 3600},   // 21 December 2024
        {"Australia/Sydney", 1704067200LL, 10 * 3600},      // 1 January 2024, southern summer
        {"Australia/Lord_Howe", 1704067200LL, 37800},       // a half-hour shift
        {"Asia/Kolkata", 1718971200LL, 19800},
    };
    for (const auto &z : zones) {
        ZoneOfThisComputer tz(z.tz);
        long standard = 0;
        ASSERT_TRUE(computerStandardOffset(z.when, &standard)) << z.tz;
        EXPECT_EQ(standard, z.standard) << z.tz;
    }
}
