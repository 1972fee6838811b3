// The accuracy tool: its engine inputs, its statistics on a hand-made pair of
// tables whose figures are known by construction, and its refusal of
// malformed tables.
#include "accuracy/accuracy.h"
#include "model/model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string tempDir() {
    char pattern[] = "/tmp/veranta-accuracy-XXXXXX";
    const char *dir = mkdtemp(pattern);
    return dir == nullptr ? std::string() : std::string(dir);
}

bool writeFile(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10f", value);
    return text;
}

const char *kPositionsHeader = "latitude,longitude,year,month,day,hour,minute,second,zenith,azimuth\n";
const char *kRiseSetHeader =
    "latitude,longitude,timezone,year,month,day,rise_centre,set_centre,rise_almanac,set_almanac\n";

PositionRow position(float lat, float lon, int y, int mo, int d, int h, int mi, int s) {
    PositionRow row{};
    row.latitude = lat;
    row.longitude = lon;
    row.year = y;
    row.month = mo;
    row.day = d;
    row.hour = h;
    row.minute = mi;
    row.second = s;
    return row;
}

}  // namespace

TEST(AccuracyStatistics, PercentileTakesTheFlooredIndexWithoutInterpolating) {
    struct Case {
        std::vector<double> values;
        double p, expected;
    } cases[] = {
        {{5, 1, 4, 2, 3}, 0.5, 3},     // sorted first
        {{5, 1, 4, 2, 3}, 0.99, 4},    // floor(0.99 * 4) = 3, not the maximum
        {{5, 1, 4, 2, 3}, 1.0, 5},
        {{2, 1}, 0.5, 1},              // an even count takes the lower middle, not 1.5
        {{-3, -5, -4}, 0.5, -4},       // signed values sort by sign
        {{7}, 0.99, 7},
    };
    for (const Case &c : cases) EXPECT_EQ(percentile(c.values, c.p), c.expected) << c.p;

    std::vector<double> hundredAndOne;
    for (int i = 100; i >= 0; i--) hundredAndOne.push_back(i);
    EXPECT_EQ(percentile(hundredAndOne, 0.99), 99.0);
}

TEST(AccuracyStatistics, AzimuthErrorIsFoldedAndMeasuredOnTheSky) {
    struct Case {
        double engine, ephemeris, zenith, expected;
    } cases[] = {
        {359.0, 1.0, 90.0, 2.0},    // across north, not 358
        {1.0, 359.0, 90.0, 2.0},
        {350.0, 10.0, 30.0, 10.0},  // sin 30 degrees = 1/2
        {180.0, 0.0, 90.0, 180.0},
        {100.0, 90.0, 0.0, 0.0},    // overhead the azimuth means nothing
    };
    for (const Case &c : cases) {
        EXPECT_NEAR(skyAzimuthError(c.engine, c.ephemeris, c.zenith), c.expected, 1e-12) << c.engine << " " << c.ephemeris;
    }
}

TEST(AccuracyFields, WholeFieldMustBeOneNumber) {
    double real = 0;
    EXPECT_TRUE(csvReal("-12.5", &real));
    EXPECT_EQ(real, -12.5);
    for (const char *bad : {"", "12.5x", "abc", "nan", "inf", "1e999", "1,5"}) EXPECT_FALSE(csvReal(bad, &real)) << bad;

    int whole = 0;
    EXPECT_TRUE(csvInt("-7", &whole));
    EXPECT_EQ(whole, -7);
    for (const char *bad : {"", "+", "3.0", "12a", " 3", "99999999999"}) EXPECT_FALSE(csvInt(bad, &whole)) << bad;
}

TEST(AccuracyEngine, PositionIsThatOfTheUtcInstant) {
    // The instant test's moment (09:45:37 at zone -5) given in UTC: the
    // published zenith and azimuth of that moment.
    double zenith = 0, azimuth = 0;
    ASSERT_TRUE(enginePosition(position(33.65f, -84.43f, 1999, 7, 22, 14, 45, 37), &zenith, &azimuth));
    EXPECT_NEAR(zenith, 41.6034, 1e-3);
    EXPECT_NEAR(azimuth, 97.0329, 1e-3);
}

TEST(AccuracyEngine, DayOfYearFollowsTheCalendar) {
    // Midnight at the end of one date and at the start of the next are the
    // same instant; a day of year off by one moves the sun by far more.
    struct Pair {
        PositionRow end, start;
    } pairs[] = {
        {position(40.0f, 10.0f, 2000, 2, 29, 24, 0, 0), position(40.0f, 10.0f, 2000, 3, 1, 0, 0, 0)},
        {position(-30.0f, 150.0f, 1999, 12, 31, 24, 0, 0), position(-30.0f, 150.0f, 2000, 1, 1, 0, 0, 0)},
        {position(50.0f, -120.0f, 2001, 2, 28, 24, 0, 0), position(50.0f, -120.0f, 2001, 3, 1, 0, 0, 0)},
    };
    for (const Pair &p : pairs) {
        double z1 = 0, a1 = 0, z2 = 0, a2 = 0;
        ASSERT_TRUE(enginePosition(p.end, &z1, &a1));
        ASSERT_TRUE(enginePosition(p.start, &z2, &a2));
        EXPECT_NEAR(z1, z2, 0.01) << p.start.year << "-" << p.start.month;
        EXPECT_NEAR(a1, a2, 0.01) << p.start.year << "-" << p.start.month;
    }
}

TEST(AccuracyEngine, RiseAndSetAreTheCalculatorsInTheRowsZone) {
    const RiseSetRow rows[] = {
        {0, 44.5f, -123.0f, -8.0f, 2010, 7, 15, 0, 0, 0, 0},
        {0, -33.9f, 151.2f, 10.0f, 2004, 3, 5, 0, 0, 0, 0},
        {0, 10.0f, -75.0f, -5.0f, 2030, 12, 31, 0, 0, 0, 0},
    };
    for (const RiseSetRow &row : rows) {
        setCalculatorParameters();
        active_timezone = row.timezone;
        active_latitude = row.latitude;
        active_longitude = row.longitude;
        active_aspect = 180.0f;
        active_tilt = 0.0f;
        float rise = 0, set = 0;
        getDayBounds(row.day, row.month, row.year, &rise, &set);

        double engineRise = 0, engineSet = 0;
        ASSERT_TRUE(engineRiseSet(row, &engineRise, &engineSet));
        EXPECT_EQ(engineRise, rise) << row.latitude;
        EXPECT_EQ(engineSet, set) << row.latitude;
    }
}

// The ephemeris columns are the engine's own values moved by chosen amounts,
// so every figure is known by hand; rows that the filters must drop carry
// differences large enough to show in the maximum if they were kept.
class AccuracyTables : public ::testing::Test {
protected:
    void SetUp() override {
        dir = tempDir();
        ASSERT_FALSE(dir.empty());
        struct Row {
            PositionRow at;
            double zenithOffset;
            double skyAzimuth;   // the azimuth error wanted on the sky, for kept rows
            double zenith;       // fixed ephemeris zenith, or -1
            double turn;         // azimuth moved by this many degrees, for dropped rows
        } rows[] = {
            {position(33.65f, -84.43f, 1999, 7, 22, 14, 45, 37), 0.001, 0.002, -1, 0},
            {position(-24.6267f, -149.8201f, 1960, 11, 6, 18, 51, 20), -0.004, 0.001, -1, 0},
            {position(-32.2715f, -160.5077f, 2031, 2, 18, 19, 6, 36), 0.002, 0.005, -1, 0},
            {position(-43.0105f, -169.7691f, 1996, 3, 3, 21, 32, 45), 0.008, 0.003, -1, 0},
            {position(-0.1918f, 53.2485f, 1973, 1, 2, 10, 31, 20), -0.003, 0.004, -1, 0},
            // Sun nearly overhead: counts for the zenith, not for the azimuth.
            {position(20.25f, 0.0f, 1999, 7, 22, 12, 5, 0), 0.006, 0, -1, 90.0},
            // Engine 88.49 but ephemeris exactly 89: not below 89.
            {position(45.3778f, 177.7315f, 2010, 8, 21, 17, 31, 28), 0, 0, 89.0, 90.0},
            // Engine 89.58, ephemeris below 89.
            {position(-19.8193f, 7.4102f, 1978, 12, 13, 4, 50, 53), 0, 0, 88.99, 90.0},
            // Night.
            {position(21.5688f, -34.2765f, 1966, 4, 18, 6, 15, 24), 0, 0, 113.0, 90.0},
        };
        positions = kPositionsHeader;
        for (const Row &r : rows) {
            double z = 0, a = 0;
            ASSERT_TRUE(enginePosition(r.at, &z, &a));
            double zenith = r.zenith >= 0 ? r.zenith : z + r.zenithOffset;
            double azimuth = a + r.turn + r.skyAzimuth / std::sin(zenith * 3.14159265358979323846 / 180.0);
            if (azimuth >= 360.0) azimuth -= 360.0;
            char text[160];
            std::snprintf(text, sizeof text, "%.4f,%.4f,%d,%d,%d,%d,%d,%d,%s,%s\n", r.at.latitude,
                          r.at.longitude, r.at.year, r.at.month, r.at.day, r.at.hour, r.at.minute, r.at.second,
                          number(zenith).c_str(), number(azimuth).c_str());
            positions += text;
        }

        struct Day {
            RiseSetRow at;
            double riseLate, setEarly, almanacRise, almanacSet;  // engine minus ephemeris
        } days[] = {
            {{0, 44.5f, -123.0f, -8.0f, 2010, 7, 15, 0, 0, 0, 0}, 0.1, -0.3, 4.0, -4.0},
            {{0, -33.9f, 151.2f, 10.0f, 2004, 3, 5, 0, 0, 0, 0}, -0.2, 0.5, 3.0, -5.0},
            {{0, 10.0f, -75.0f, -5.0f, 2030, 12, 31, 0, 0, 0, 0}, 0.4, -0.9, 6.0, -3.5},
        };
        risesets = kRiseSetHeader;
        for (const Day &d : days) {
            double rise = 0, set = 0;
            ASSERT_TRUE(engineRiseSet(d.at, &rise, &set));
            char text[200];
            std::snprintf(text, sizeof text, "%.4f,%.4f,%g,%d,%d,%d,%s,%s,%s,%s\n", d.at.latitude, d.at.longitude,
                          d.at.timezone, d.at.year, d.at.month, d.at.day, number(rise - d.riseLate).c_str(),
                          number(set - d.setEarly).c_str(), number(rise - d.almanacRise).c_str(),
                          number(set - d.almanacSet).c_str());
            risesets += text;
        }
    }

    int run(const std::string &positionsText, const std::string &risesetText) {
        writeFile(dir + "/positions.csv", positionsText);
        writeFile(dir + "/riseset.csv", risesetText);
        out.clear();
        err.clear();
        return runAccuracy(dir, &out, &err);
    }

    void TearDown() override {
        std::remove((dir + "/positions.csv").c_str());
        std::remove((dir + "/riseset.csv").c_str());
        rmdir(dir.c_str());
    }

    std::string dir, positions, risesets, out, err;
};

// Zenith errors kept: 0.001 0.002 0.003 0.004 0.006 0.008 (median index 2,
// p99 index floor(4.95) = 4); on the sky: 0.001 to 0.005 (index 2, index 3);
// rise and set: 0.1 0.2 0.3 0.4 0.5 0.9; almanac medians of 3 4 6 and of
// -5 -4 -3.5.
const char *kExpectedFigures =
    "zenith_median_deg 0.0030\n"
    "zenith_p99_deg 0.0060\n"
    "zenith_max_deg 0.0080\n"
    "azimuth_median_deg 0.0030\n"
    "azimuth_p99_deg 0.0040\n"
    "azimuth_max_deg 0.0050\n"
    "riseset_median_min 0.3000\n"
    "riseset_p99_min 0.5000\n"
    "riseset_max_min 0.9000\n"
    "almanac_rise_median_min 4.0000\n"
    "almanac_set_median_min -4.0000\n";

TEST_F(AccuracyTables, FiguresOfTheHandMadeTables) {
    EXPECT_EQ(run(positions, risesets), 0) << err;
    EXPECT_EQ(out, kExpectedFigures);
    EXPECT_EQ(err, "");
}

TEST_F(AccuracyTables, CrlfByteOrderMarkAndBlankLinesChangeNothing) {
    auto crlf = [](const std::string &text) {
        std::string result;
        for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return result;
    };
    EXPECT_EQ(run("\xEF\xBB\xBF" + crlf(positions) + "\r\n\r\n", risesets + "\n  \n"), 0) << err;
    EXPECT_EQ(out, kExpectedFigures);
}

TEST_F(AccuracyTables, MalformedTablesNameTheFileAndLine) {
    const std::string row = "33.6500,-84.4300,1999,7,22,14,45,37,41.6,97.0\n";
    const std::string day = "44.5,-123.0,-8,2010,7,15,300.0,1200.0,296.0,1204.0\n";
    struct Case {
        const char *what;
        std::string positions, risesets, message;
    } cases[] = {
        {"empty", "", risesets, "positions.csv:1: the file is empty"},
        {"header", "latitude,longitude,year,month,day,hour,minute,second,azimuth,zenith\n" + row, risesets,
         "positions.csv:1: the header is"},
        {"short row", kPositionsHeader + row + "33.65,-84.43,1999,7,22,14,45,37,41.6\n", risesets,
         "positions.csv:3: 9 fields, expected 10"},
        {"text", kPositionsHeader + std::string("33.65,-84.43,1999,7,22,14,45,37,high,97.0\n"), risesets,
         "positions.csv:2: zenith \"high\""},
        {"trailing text", kPositionsHeader + std::string("33.65,-84.43,1999,7,22,14,45,37,41.6,97.0deg\n"), risesets,
         "positions.csv:2: azimuth \"97.0deg\""},
        {"line after blank", kPositionsHeader + row + "\n" + "33.65,-84.43,1999,13,22,14,45,37,41.6,97.0\n",
         risesets, "positions.csv:4: month \"13\""},
        {"29 February", kPositionsHeader + std::string("33.65,-84.43,2001,2,29,14,45,37,41.6,97.0\n"), risesets,
         "positions.csv:2: day \"29\""},
        {"hour 24", kPositionsHeader + std::string("33.65,-84.43,2001,2,28,24,5,0,41.6,97.0\n"), risesets,
         "positions.csv:2: hour 24"},
        {"year", kPositionsHeader + std::string("33.65,-84.43,1949,2,28,12,5,0,41.6,97.0\n"), risesets,
         "positions.csv:2: year \"1949\""},
        {"time zone", positions, kRiseSetHeader + day + "44.5,-123.0,13,2010,7,15,300,1200,296,1204\n",
         "riseset.csv:3: timezone \"13\""},
        {"missing value", positions, kRiseSetHeader + std::string("44.5,-123.0,-8,2010,7,15,300.0,,296.0,1204.0\n"),
         "riseset.csv:2: set_centre \"\""},
        {"control byte", kPositionsHeader + std::string("33.65,-84.43,1999,7,22,14,45,37,4") + '\0' + "1,97.0\n",
         risesets, "positions.csv:2: zenith \"4\\x001\" is not a number"},
        {"only a header", kPositionsHeader, risesets, "positions.csv: no row"},
        {"no days", positions, kRiseSetHeader, "riseset.csv: no rows"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(run(c.positions, c.risesets), 1) << c.what;
        EXPECT_EQ(out, "") << c.what;
        EXPECT_NE(err.find(dir + "/" + c.message), std::string::npos) << c.what << ": " << err;
    }
}

TEST_F(AccuracyTables, MissingFolderIsAMessageNotACrash) {
    std::string o, e;
    EXPECT_EQ(runAccuracy(dir + "/nowhere", &o, &e), 1);
    EXPECT_NE(e.find(dir + "/nowhere/positions.csv: cannot be opened"), std::string::npos) << e;
}

// A table that is no file, no end or no table: one bounded line and status
// 1, at once (a FIFO must not wait for a writer, a device or a huge file must
// not be read into memory).
TEST_F(AccuracyTables, HostileTablesAreRefusedInOneShortLine) {
    const std::string path = dir + "/positions.csv";
    const std::string wide = std::string(59, 'x') + "\xC3\xA9" + std::string(300, 'y');  // é across byte 60
    struct Case {
        const char *what;
        std::function<bool()> make;
        std::string message;
    } cases[] = {
        {"FIFO", [&] { return mkfifo(path.c_str(), 0600) == 0; }, "positions.csv: cannot be read: it is not a regular file"},
        {"device", [&] { return symlink("/dev/zero", path.c_str()) == 0; }, "positions.csv: cannot be read: it is not a regular file"},
        {"sparse", [&] { return writeFile(path, "") && truncate(path.c_str(), static_cast<off_t>(kTableBytes) + 1) == 0; },
         "positions.csv: larger than 128 MiB"},
        {"long line", [&] { return writeFile(path, kPositionsHeader + std::string(kTableLineBytes + 1, ',') + "\n"); },
         "positions.csv:2: the line is longer than 1024 bytes"},
        {"a line just short enough", [&] { return writeFile(path, kPositionsHeader + std::string(kTableLineBytes, ',')); },
         "positions.csv:2: 1025 fields, expected 10"},
        {"eleven fields", [&] { return writeFile(path, kPositionsHeader + std::string("1,2,3,4,5,6,7,8,9,10,11\n")); },
         "positions.csv:2: 11 fields, expected 10"},
        {"wide header", [&] { return writeFile(path, wide + "\n"); },
         "positions.csv:1: the header is \"" + std::string(59, 'x') + "…\", expected \"latitude,"},
        {"wide field", [&] { return writeFile(path, kPositionsHeader + std::string("33.65,-84.43,1999,7,22,14,45,37,") + wide + ",97\n"); },
         "positions.csv:2: zenith \"" + std::string(59, 'x') + "…\" is not"},
    };
    for (const Case &c : cases) {
        std::remove(path.c_str());
        ASSERT_TRUE(c.make()) << c.what;
        writeFile(dir + "/riseset.csv", risesets);
        out.clear();
        err.clear();
        EXPECT_EQ(runAccuracy(dir, &out, &err), 1) << c.what;
        EXPECT_NE(err.find(dir + "/" + c.message), std::string::npos) << c.what << ": " << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << c.what;
        EXPECT_LT(err.size(), dir.size() + 200) << c.what;
    }
}
