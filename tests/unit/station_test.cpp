// A weather station's daily temperatures read from each format's real
// layout, its degree days by the stated rule, and the estimate beside them
// equal to the season calculator's figure for the site.
#include "model/sweepSeason.h"
#include "station/stationEstimate.h"
#include "station/stationRecord.h"
#include "station/stationSeasons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Day {
    int year, month, day;
    double tmax, tmin;   // °C, NaN for missing
};

const double kNone = std::nan("");

// The day of a record, or a day of NaNs when the record does not span it.
Day dayOf(const station_record &r, int y, int m, int d) {
    for (const station_day &s : r.days)
        if (s.year == y && s.month == m && s.day == d) return {y, m, d, s.tmax, s.tmin};
    return {0, 0, 0, kNone, kNone};
}

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) < 1e-9; }

// A record of days from 1 January of a year, each with the same maximum and
// minimum except those listed as missing (day of the year, from 0).
station_record steadyRecord(int year, int days, double tmax, double tmin, const std::vector<int> &missing = {}) {
    station_record r;
    int m = 1, d = 1;
    for (int i = 0; i < days; i++) {
        bool gone = false;
        for (int k : missing) gone = gone || k == i;
        r.days.push_back({year, m, d, gone ? kNone : tmax, tmin});
        if (++d > daysInMonth(year, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                year++;
            }
        }
    }
    return r;
}

}  // namespace

TEST(StationRecord, ReadsEachFormatInItsRealLayout) {
    const double f80 = (80.0 - 32.0) * 5.0 / 9.0, f50 = (50.0 - 32.0) * 5.0 / 9.0;
    const struct Case {
        const char *what;
        std::string text;
        temperature_unit unsaid;
        station_format format;
        std::vector<Day> days;
    } cases[] = {
        {"GHCN by-station: tenths of °C, other elements skipped, a Q-flagged value and -9999 dropped",
         "USC00351862,20200401,TMAX,183,,,7,0700\n"
         "USC00351862,20200401,PRCP,25,,,7,0700\n"
         "USC00351862,20200401,TMIN,-56,,,7,0700\n"
         "USC00351862,20200402,TMAX,350,,I,7,0700\n"
         "USC00351862,20200402,TMIN,150,,,7,0700\n"
         "USC00351862,20200403,TMAX,-9999,,,7,0700\n"
         "USC00351862,20200403,TMIN,101,T,,7,0700\n",
         UNIT_UNSAID, STATION_GHCN_BY_STATION,
         {{2020, 4, 1, 18.3, -5.6}, {2020, 4, 2, kNone, 15.0}, {2020, 4, 3, kNone, 10.1}}},
        {"GHCN access: quoted header and values, the Q of M,Q,S,TIME drops a value",
         "\"STATION\",\"DATE\",\"LATITUDE\",\"LONGITUDE\",\"ELEVATION\",\"NAME\",\"PRCP\",\"PRCP_ATTRIBUTES\","
         "\"TMAX\",\"TMAX_ATTRIBUTES\",\"TMIN\",\"TMIN_ATTRIBUTES\"\n"
         "\"USC00351862\",\"2021-07-30\",\"44.6342\",\"-123.19\",\"68.6\",\"CORVALLIS STATE UNIV, OR US\",\"0\",\",,7,0700\","
         "\"  322\",\",,7,0700\",\"  128\",\",,7,0700\"\n"
         "\"USC00351862\",\"2021-07-31\",\"44.6342\",\"-123.19\",\"68.6\",\"CORVALLIS STATE UNIV, OR US\",\"0\",\",,7,0700\","
         "\"  340\",\",G,7,0700\",\"  131\",\",,7,0700\"\n",
         UNIT_UNSAID, STATION_GHCN_ACCESS, {{2021, 7, 30, 32.2, 12.8}, {2021, 7, 31, kNone, 13.1}}},
        {"Meteostat with its header, an empty tmax",
         "date,tavg,tmin,tmax,prcp,snow,wdir,wspd,wpgt,pres,tsun\n"
         "2022-05-01,12.4,6.1,19.0,0.0,,,7.2,,1018.2,\n"
         "2022-05-02,11.0,7.5,,1.2,,,9.0,,1012.0,\n",
         UNIT_UNSAID, STATION_METEOSTAT, {{2022, 5, 1, 19.0, 6.1}, {2022, 5, 2, kNone, 7.5}}},
        {"Meteostat bulk, no header",
         "2022-05-01,12.4,6.1,19.0,0.0,,,7.2,,1018.2,\n2022-05-02,11.0,7.5,16.5,1.2,,,9.0,,1012.0,\n",
         UNIT_UNSAID, STATION_METEOSTAT, {{2022, 5, 1, 19.0, 6.1}, {2022, 5, 2, 16.5, 7.5}}},
        {"plain CSV in °F by its header",
         "Date,Max temp (°F),Min temp (°F),Rain (in)\n2023-06-10,80,50,0\n",
         UNIT_UNSAID, STATION_PLAIN_CSV, {{2023, 6, 10, f80, f50}}},
        {"plain CSV in °C, semicolons and decimal commas",
         "datum;tmax_c;tmin_c\n2023-06-10;21,5;9,5\n",
         UNIT_UNSAID, STATION_PLAIN_CSV, {{2023, 6, 10, 21.5, 9.5}}},
        {"plain CSV without a unit, °F chosen by the caller",
         "date,tmax,tmin\n2023-06-10,80,50\n",
         UNIT_FAHRENHEIT, STATION_PLAIN_CSV, {{2023, 6, 10, f80, f50}}},
        {"WeatherLink desktop export: two header lines, sub-daily rows in °F, --- for none",
         "\t\tTemp\tHi\tLow\tOut\n"
         "Date\tTime\tOut\tTemp\tTemp\tHum\n"
         "6/10/23\t12:30 a\t52.0\t52.5\t51.8\t90\n"
         "6/10/23\t2:30 p\t79.0\t80.0\t78.1\t40\n"
         "6/10/23\t5:00 a\t50.2\t50.9\t50.0\t95\n"
         "6/11/23\t1:00 a\t55.0\t---\t54.0\t90\n",
         UNIT_UNSAID, STATION_WEATHERLINK, {{2023, 6, 10, f80, f50}, {2023, 6, 11, kNone, (54.0 - 32.0) * 5.0 / 9.0}}},
        {"WeatherLink with °C in its header, day-first dates",
         "Date,Time,Temp Out (°C),Hi Temp (°C),Low Temp (°C)\n"
         "13/06/2023,06:00,10.0,10.5,9.0\n13/06/2023,15:00,24.0,24.5,23.0\n",
         UNIT_UNSAID, STATION_WEATHERLINK, {{2023, 6, 13, 24.5, 9.0}}},
        {"two different values for one day make it missing, the same one twice does not",
         "date,tmax_c,tmin_c\n2023-06-10,21,9\n2023-06-10,22,9\n2023-06-11,20,8\n2023-06-11,20,8\n",
         UNIT_UNSAID, STATION_PLAIN_CSV, {{2023, 6, 10, kNone, 9.0}, {2023, 6, 11, 20.0, 8.0}}},
        {"impossible values dropped, not taken as the day's extreme",
         "Date\tTime\tHi Temp\tLow Temp\n6/10/23\t1:00 a\t150.0\t-200.0\n6/10/23\t2:00 p\t80.0\t50.0\n",
         UNIT_UNSAID, STATION_WEATHERLINK, {{2023, 6, 10, f80, f50}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        station_record r;
        std::string why;
        ASSERT_EQ(readStationText(c.text.data(), c.text.size(), c.unsaid, &r, &why), STATION_READ_OK) << why;
        EXPECT_EQ(r.format, c.format);
        for (const Day &d : c.days) {
            Day got = dayOf(r, d.year, d.month, d.day);
            EXPECT_TRUE(same(got.tmax, d.tmax) && same(got.tmin, d.tmin))
                << d.year << "-" << d.month << "-" << d.day << ": " << got.tmax << " / " << got.tmin;
        }
    }
}

TEST(StationRecord, KeepsTheSiteAndTheGapsTheFileHas) {
    const std::string access =
        "\"STATION\",\"DATE\",\"LATITUDE\",\"LONGITUDE\",\"ELEVATION\",\"NAME\",\"TMAX\",\"TMAX_ATTRIBUTES\",\"TMIN\","
        "\"TMIN_ATTRIBUTES\"\n"
        "\"USW00024232\",\"2020-04-01\",\"44.9052\",\"-123.0014\",\"60.7\",\"SALEM AIRPORT, OR US\",\"150\",\",,W,\",\"50\",\",,W,\"\n"
        "\"USW00024232\",\"2020-04-04\",\"44.9052\",\"-123.0014\",\"60.7\",\"SALEM AIRPORT, OR US\",\"160\",\",,W,\",\"60\",\",,W,\"\n";
    station_record r;
    std::string why;
    ASSERT_EQ(readStationText(access.data(), access.size(), UNIT_UNSAID, &r, &why), STATION_READ_OK) << why;
    EXPECT_TRUE(r.site_known && r.latitude == 44.9052 && r.longitude == -123.0014 && r.elevation == 60.7);
    // The two days between are in the record, missing: never zero.
    ASSERT_EQ(r.days.size(), 4u);
    EXPECT_TRUE(std::isnan(r.days[1].tmax) && std::isnan(r.days[2].tmin));
}

TEST(StationRecord, SaysWhatWasExpected) {
    const struct Case {
        const char *what;
        std::string text;
        int status;
        const char *says;
    } cases[] = {
        {"unknown", "name,colour\nfig,green\n", STATION_READ_REFUSED, "expected NOAA GHCN-Daily"},
        {"two maximum columns", "date,tmax_c,max temp (C),tmin_c\n2020-01-01,1,2,0\n", STATION_READ_REFUSED,
         "exactly one date column"},
        {"no unit said", "date,tmax,tmin\n2020-01-01,1,0\n", STATION_READ_NEEDS_UNIT, "°C or °F"},
        {"two stations", "USC00351862,20200401,TMAX,183,,,7,0700\nUSC00351863,20200401,TMIN,56,,,7,0700\n",
         STATION_READ_REFUSED, "more than one station"},
        {"gzip", std::string("\x1f\x8b\x08\x00", 4), STATION_READ_REFUSED, "gunzip"},
        {"only flagged values", "USC00351862,20200401,TMAX,183,,X,7,0700\nUSC00351862,20200401,TMIN,56,,,7,0700\n",
         STATION_READ_REFUSED, "no day with both"},
        {"a bad date", "date,tmax_c,tmin_c\n2020-02-30,1,0\n", STATION_READ_REFUSED, "line 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        station_record r;
        std::string why;
        EXPECT_EQ(readStationText(c.text.data(), c.text.size(), UNIT_UNSAID, &r, &why), c.status);
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
    }
}

TEST(StationSeasons, DayDegreeDaysByTheRuleOnHandCheckedDays) {
    const struct Case {
        double tmax, tmin;
        gdd_rule rule;
        double expected;
    } cases[] = {
        {35.0, 15.0, GDD_CAPPED, 12.5},   // (30 + 15) / 2 - 10
        {35.0, 15.0, GDD_NO_CAP, 15.0},   // (35 + 15) / 2 - 10
        {30.0, 10.0, GDD_CAPPED, 10.0},   // at the cap
        {20.5, 9.5, GDD_CAPPED, 5.0},
        {12.0, 4.0, GDD_CAPPED, 0.0},     // a mean of 8 °C gives nothing, not -2
        {20.0, 0.0, GDD_CAPPED, 0.0},     // exactly at the base
        {kNone, 10.0, GDD_CAPPED, kNone}, // missing stays missing
        {25.0, kNone, GDD_NO_CAP, kNone},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(same(dayDegreeDays(c.tmax, c.tmin, c.rule), c.expected)) << c.tmax << " " << c.tmin;
}

TEST(StationSeasons, MissingDaysMakeMonthsIncompleteAndLeaveYearsOut) {
    // Three years, April to May: 2019 whole, 2020 with 3 days missing in
    // April, 2021 with 4; each present day gives 5 degree days.
    station_record r = steadyRecord(2019, 365, 20.0, 10.0);
    station_record b = steadyRecord(2020, 366, 20.0, 10.0, {91, 92, 93});
    station_record c = steadyRecord(2021, 365, 20.0, 10.0, {91, 92, 93, 94});
    r.days.insert(r.days.end(), b.days.begin(), b.days.end());
    r.days.insert(r.days.end(), c.days.begin(), c.days.end());
    station_season s;
    s.start_day = 1;
    s.start_month = 4;
    s.stop_day = 31;
    s.stop_month = 5;
    station_figures f = measureSeasons(r, s, GDD_CAPPED, 0.0);
    ASSERT_EQ(f.years.size(), 3u);
    EXPECT_EQ(f.years[1].months[0].missing, 3);
    EXPECT_TRUE(f.years[1].months[0].complete);
    EXPECT_FALSE(f.years[2].months[0].complete);
    EXPECT_FALSE(f.years[2].complete);
    EXPECT_EQ(f.years[2].gdd, 5.0 * (61 - 4));   // the days present, the missing ones not as zero but absent
    EXPECT_EQ(f.complete_years, 2);
    EXPECT_EQ(f.lowest_year, 2020);                // 2021's lower total is not a season
    EXPECT_EQ(f.mean, (305.0 + 290.0) / 2.0);
}

TEST(StationSeasons, TwentyNinthOfFebruaryEndsTheSeasonOnlyInLeapYears) {
    station_record r = steadyRecord(2020, 366 + 365, 20.0, 10.0);
    station_season s;
    s.start_day = 1;
    s.start_month = 1;
    s.stop_day = 29;
    s.stop_month = 2;
    std::string why;
    ASSERT_TRUE(checkStationSeason(s, &why)) << why;
    station_figures f = measureSeasons(r, s, GDD_CAPPED, 0.0);
    ASSERT_EQ(f.years.size(), 2u);
    EXPECT_EQ(f.years[0].days, 60);   // 2020
    EXPECT_EQ(f.years[1].days, 59);   // 2021 ends on 28 February, with nothing missing
    EXPECT_EQ(f.years[1].missing, 0);
}

TEST(StationSeasons, TheTargetDateAcrossAMonthBoundary) {
    // 5 degree days a day: 150 by 30 April.
    station_record r = steadyRecord(2022, 365, 20.0, 10.0, {120});
    station_season s;   // 1 April to 31 October
    const struct Case {
        double target;
        int month, day;
    } cases[] = {
        {150.0, 4, 30},   // reached exactly on the month's last day
        {150.1, 5, 2},    // 1 May is missing and adds nothing
        {155.0, 5, 2},
        {5.0, 4, 1},
    };
    for (const Case &c : cases) {
        station_figures f = measureSeasons(r, s, GDD_CAPPED, c.target);
        ASSERT_EQ(f.years.size(), 1u);
        EXPECT_EQ(f.years[0].reached_month * 100 + f.years[0].reached_day, c.month * 100 + c.day) << c.target;
    }
    station_figures never = measureSeasons(r, s, GDD_CAPPED, 5000.0);
    EXPECT_EQ(never.years[0].reached, -1);
    EXPECT_EQ(never.reached_years, 0);
}

TEST(StationEstimate, EqualsTheSeasonCalculatorForTheSite) {
    const site_location site = {44.9052f, -123.0014f, 60.7f};
    const slope flat = {180.0f, 0.0f};
    station_season s;
    s.start_day = 15;
    s.start_month = 4;
    s.stop_day = 20;
    s.stop_month = 9;
    // 2049 and 2050 are estimated with their own calendars, 2051 with 2050's.
    station_record r = steadyRecord(2049, 365 + 365 + 365, 24.0, 11.0);
    station_figures f = measureSeasons(r, s, GDD_CAPPED, 0.0);
    station_comparison c;
    ASSERT_EQ(compareWithEstimate(f, site, &c, nullptr), 0);
    ASSERT_EQ(c.years.size(), f.years.size());
    const struct Case {
        size_t index;
        int calendar;
    } cases[] = {{0, 2049}, {1, 2050}, {2, 2050}};
    for (const Case &k : cases) {
        season_range range = {k.calendar, 15, 4, 20, 9};
        slope_season expected;
        ASSERT_EQ(sweepSeason(&site, &range, &flat, 1, &expected), 0);
        EXPECT_EQ(c.years[k.index].calendar_year, k.calendar);
        EXPECT_EQ(std::memcmp(&c.years[k.index].season, &expected, sizeof expected), 0) << k.calendar;
    }
    EXPECT_TRUE(c.clamped);
    // The mean row: the same years' estimates, averaged.
    const comparison_row &season = c.rows.back();
    EXPECT_EQ(season.years, 3);
    EXPECT_EQ(season.estimate, (static_cast<double>(c.years[0].season.season_degree_days) +
                                c.years[1].season.season_degree_days + c.years[2].season.season_degree_days) / 3.0);
}

TEST(StationEstimate, NamesTheDistanceOutsideTheCalibratedRegion) {
    const struct Case {
        site_location site;
        const char *says;   // "" inside
    } cases[] = {
        {{44.0f, -123.0f, 300.0f}, ""},
        {{44.0f, -123.0f, 60.0f}, "40 m below the lowest elevation"},
        {{47.0f, -123.0f, 300.0f}, "about 111 km outside"},
        {{38.5f, -121.0f, 700.0f}, "and 100 m above its highest elevation"},
    };
    for (const Case &c : cases) {
        std::string text = regionDistanceText(c.site);
        if (*c.says == '\0')
            EXPECT_EQ(text, "");
        else
            EXPECT_NE(text.find(c.says), std::string::npos) << text;
    }
}

TEST(StationEstimate, EveryCsvRowHasTheHeadersColumnsWhateverTheStationsName) {
    station_record r = steadyRecord(2020, 366, 20.0, 10.0, {100, 101, 102, 103});
    r.station = "USC00351862 CORVALLIS STATE UNIV, OR \"US\"";
    const site_location site = {44.6342f, -123.19f, 150.0f};
    station_figures f = measureSeasons(r, station_season(), GDD_NO_CAP, 500.0);
    station_comparison c;
    ASSERT_EQ(compareWithEstimate(f, site, &c, nullptr), 0);
    const station_comparison *withs[] = {nullptr, &c};
    for (const station_comparison *with : withs) {
        const std::string csv = stationCsv(r, f, with);
        // Counts the fields of each line as RFC 4180 reads them.
        int lines = 0, fields = 1;
        bool quoted = false;
        for (char ch : csv) {
            if (ch == '"') quoted = !quoted;
            else if (ch == ',' && !quoted) fields++;
            else if (ch == '\n' && !quoted) {
                EXPECT_EQ(fields, 18) << "line " << lines + 1 << (with != nullptr ? " with a site" : "");
                lines++;
                fields = 1;
            }
        }
        EXPECT_EQ(lines, 1 + 7 + 1 + 1);   // header, April to October, the season, the target
    }
}

// Each row carries its year's season as ISO dates, 29 February as 28
// February in a common year, so that a row read alone says what it sums.
TEST(StationEstimate, EveryCsvRowSaysItsYearsSeason) {
    station_record r = steadyRecord(2020, 366 + 365, 20.0, 10.0);
    const struct {
        int start_day, start_month, stop_day, stop_month;
        const char *y2020, *y2021;   // how the rows of each year end
    } cases[] = {
        {1, 4, 31, 10, ",2020-04-01,2020-10-31", ",2021-04-01,2021-10-31"},
        {29, 2, 15, 3, ",2020-02-29,2020-03-15", ",2021-02-28,2021-03-15"},
        {1, 1, 29, 2, ",2020-01-01,2020-02-29", ",2021-01-01,2021-02-28"},
    };
    for (const auto &c : cases) {
        station_season s;
        s.start_day = c.start_day;
        s.start_month = c.start_month;
        s.stop_day = c.stop_day;
        s.stop_month = c.stop_month;
        const std::string csv = stationCsv(r, measureSeasons(r, s, GDD_CAPPED, 100.0), nullptr);
        int rows = 0;
        for (size_t at = csv.find('\n') + 1; at < csv.size(); at = csv.find('\n', at) + 1, rows++) {
            const std::string row = csv.substr(at, csv.find('\n', at) - at);
            const std::string end = row.compare(0, 4, "2020") == 0 ? c.y2020 : c.y2021;
            EXPECT_EQ(row.substr(row.size() - end.size()), end) << row;
        }
        EXPECT_GT(rows, 4) << c.start_month;
    }
    const std::string csv = stationCsv(r, measureSeasons(r, station_season(), GDD_CAPPED, 0.0), nullptr);
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "year,month,days,missing_days,complete,gdd_measured,gdd_estimate,difference,difference_percent,rule,"
              "station,latitude_deg,longitude_deg,elevation_m,estimate_year,target_gdd,season_first_day,"
              "season_last_day");
}
