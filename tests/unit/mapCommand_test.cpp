// veranta-map's command line as a user types it: what each option sets, the
// defaults, the one line each wrong input gets (the first wrong one), --help
// and --version, and when two paths name one file.
#include "mapcli/mapCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

map_command_outcome parse(std::vector<const char *> args, map_command *command, std::string *text,
                          int this_year = 2031) {
    args.insert(args.begin(), "veranta-map");
    return parseMapCommand(static_cast<int>(args.size()), args.data(), this_year, command, text);
}

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-mapcli-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string operator/(const char *name) const { return path + "/" + name; }
};

}  // namespace

TEST(MapCommand, EveryOptionSetsItsFigureAndTheRestKeepTheirDefaults) {
    map_command c;
    std::string text;
    ASSERT_EQ(parse({"dem.tif", "out.tif"}, &c, &text), MAP_COMMAND_RUN) << text;
    EXPECT_EQ(c.dem, "dem.tif");
    EXPECT_EQ(c.output, "out.tif");
    const season_range &d = c.options.season;
    EXPECT_TRUE(d.year == 2031 && d.start_day == 1 && d.start_month == 4 && d.stop_day == 31 && d.stop_month == 10);
    EXPECT_TRUE(c.options.shade && c.options.directions == 32 && c.options.distance == 5000.0 && c.options.threads == 0);
    EXPECT_TRUE(c.band == 0 && !c.quiet && c.extent.tile_size == 0 && c.horizons.empty());
    EXPECT_EQ(c.options.target, 0.0) << "no target band unless asked";
    for (const auto &y : {std::pair<int, int>{1999, 2000}, {2051, 2050}}) {
        ASSERT_EQ(parse({"dem.tif", "out.tif"}, &c, &text, y.first), MAP_COMMAND_RUN);
        EXPECT_EQ(c.options.season.year, y.second) << "this year " << y.first;
    }

    ASSERT_EQ(parse({"--year", "2024", "--from", "15/4", "--to=10/6", "--no-shade", "--directions", "8", "--distance",
                     "2000.5", "--band", "2", "--tile", "1,0", "--tile-size", "100", "--horizons", "h.tif",
                     "--threads", "3", "--quiet", "--target", "1150.5", "--", "-dem.tif", "out.tif"},
                    &c, &text),
              MAP_COMMAND_RUN)
        << text;
    const season_range &s = c.options.season;
    EXPECT_TRUE(s.year == 2024 && s.start_day == 15 && s.start_month == 4 && s.stop_day == 10 && s.stop_month == 6);
    EXPECT_FALSE(c.options.shade);
    EXPECT_EQ(c.options.directions, 8);
    EXPECT_EQ(c.options.distance, 2000.5);
    EXPECT_EQ(c.band, 2);
    EXPECT_TRUE(c.extent.tile_column == 1 && c.extent.tile_row == 0 && c.extent.tile_size == 100);
    EXPECT_EQ(c.horizons, "h.tif");
    EXPECT_EQ(c.options.threads, 3);
    EXPECT_TRUE(c.quiet);
    EXPECT_EQ(c.options.target, 1150.5);
    EXPECT_EQ(c.dem, "-dem.tif") << "after --, a name like an option is a file";

    for (const char *to : {"15/7", "1/7"}) {
        ASSERT_EQ(parse({"--from", "1/7", "--to", to, "dem.tif", "out.tif"}, &c, &text), MAP_COMMAND_RUN)
            << "a season within one month, to " << to << ": " << text;
    }

    ASSERT_EQ(parse({"--year", "2024", "dem.tif", "--year=2025", "out.tif"}, &c, &text), MAP_COMMAND_RUN);
    EXPECT_EQ(c.options.season.year, 2025) << "the last one given counts";
}

TEST(MapCommand, EachWrongInputGetsItsOneLine) {
    const std::string usage = "usage: veranta-map [--year Y]";
    const std::string kTargetRefusal = "--target takes degree days above 0 and at most 10000, not ";
    const struct {
        std::vector<const char *> args;
        std::string says;   // the whole line, or its start when it ends with the usage
    } cases[] = {
        {{"--year", "1999", "d.tif", "o.tif"}, "the year must be a whole number from 2000 to 2050, not 1999"},
        {{"--year", " 2020", "d.tif", "o.tif"}, "the year must be a whole number from 2000 to 2050, not  2020"},
        {{"--year=", "d.tif", "o.tif"}, "the year must be a whole number from 2000 to 2050, not "},
        {{"--from", "1.4", "d.tif", "o.tif"}, "--from takes a day and month as D/M, not 1.4"},
        {{"--to", "31", "d.tif", "o.tif"}, "--to takes a day and month as D/M, not 31"},
        {{"--to", "31/6", "d.tif", "o.tif"}, "31 June does not exist (the season's last day)"},
        {{"--from", "30/2", "d.tif", "o.tif"}, "30 February does not exist (the season's first day)"},
        {{"--from", "0/5", "d.tif", "o.tif"}, "0 May does not exist (the season's first day)"},
        {{"--from", "1/13", "d.tif", "o.tif"}, "13 is not a month (the season's first day and month)"},
        {{"--from", "1/9", "--to", "1/0", "d.tif", "o.tif"}, "0 is not a month (the season's last day and month)"},
        {{"--from", "1/9", "--to", "1/5", "d.tif", "o.tif"}, "the season must not end before it starts"},
        {{"--from", "20/7", "--to", "19/7", "d.tif", "o.tif"}, "the season must not end before it starts"},
        {{"--directions", "0", "d.tif", "o.tif"}, "--directions takes a whole number from 1 to 360, not 0"},
        {{"--directions", "361", "d.tif", "o.tif"}, "--directions takes a whole number from 1 to 360, not 361"},
        {{"--distance", "-5", "d.tif", "o.tif"}, "--distance takes metres above 0 and at most 100000, not -5"},
        {{"--distance", "nan", "d.tif", "o.tif"}, "--distance takes metres above 0 and at most 100000, not nan"},
        {{"--distance", "100001", "d.tif", "o.tif"}, "--distance takes metres above 0 and at most 100000, not 100001"},
        {{"--band", "0", "d.tif", "o.tif"}, "--band takes a band number from 1, not 0"},
        {{"--tile", "1;2", "--tile-size", "5", "d.tif", "o.tif"}, "--tile takes a column and row as COL,ROW, not 1;2"},
        {{"--tile-size", "0", "d.tif", "o.tif"}, "--tile-size takes a number of cells from 1, not 0"},
        {{"--tile", "0,0", "d.tif", "o.tif"}, "--tile and --tile-size go together"},
        {{"--tile-size", "5", "d.tif", "o.tif"}, "--tile and --tile-size go together"},
        {{"--horizons=", "d.tif", "o.tif"}, "--horizons needs a file name"},
        {{"--threads", "0", "d.tif", "o.tif"}, "--threads takes a whole number from 1 to 1024, not 0"},
        {{"d.tif", "o.tif", "--threads"}, "--threads needs a value"},
        {{"--target", "0", "d.tif", "o.tif"}, kTargetRefusal + "0"},
        {{"--target", "-5", "d.tif", "o.tif"}, kTargetRefusal + "-5"},
        {{"--target", "nan", "d.tif", "o.tif"}, kTargetRefusal + "nan"},
        {{"--target", "10000.5", "d.tif", "o.tif"}, kTargetRefusal + "10000.5"},
        {{"--target", "1150 dd", "d.tif", "o.tif"}, kTargetRefusal + "1150 dd"},
        {{"d.tif", "o.tif", "x.tif"}, "one DEM and one output file are expected, not also x.tif"},
        {{"--bogus", "d.tif", "o.tif"}, "unknown option --bogus\n" + usage},
        {{"--bogus=3", "d.tif", "o.tif"}, "unknown option --bogus\n" + usage},
        {{"d.tif"}, "a DEM and an output file are needed\n" + usage},
        {{"--directions", "0", "--year", "1999", "d.tif", "o.tif"}, "--directions takes a whole number from 1 to 360, not 0"},
        {{"--year", "1999", "--directions", "0", "d.tif", "o.tif"}, "the year must be a whole number from 2000 to 2050, not 1999"},
    };
    for (const auto &c : cases) {
        map_command command;
        std::string text;
        std::string what;
        for (const char *a : c.args) what += std::string(a) + " ";
        ASSERT_EQ(parse(c.args, &command, &text), MAP_COMMAND_REFUSED) << what;
        if (c.says.size() > usage.size() && c.says.compare(c.says.size() - usage.size(), usage.size(), usage) == 0)
            EXPECT_EQ(text.substr(0, c.says.size()), c.says) << what;
        else
            EXPECT_EQ(text, c.says) << what;
    }
}

TEST(MapCommand, HelpListsEveryOptionAndVersionSaysTheProjectsVersion) {
    map_command c;
    std::string text;
    ASSERT_EQ(parse({"--version"}, &c, &text), MAP_COMMAND_DONE);
    EXPECT_EQ(text, std::string("veranta-map ") + VERANTA_VERSION + "\n");
    for (const char *help : {"--help", "-h"}) {
        ASSERT_EQ(parse({help}, &c, &text), MAP_COMMAND_DONE) << help;
        for (const char *option : {"--year Y", "--from D/M", "--to D/M", "--no-shade", "--directions N",
                                   "--distance METRES", "--band N", "--tile COL,ROW", "--tile-size N",
                                   "--horizons FILE.tif", "--threads N", "--quiet", "--target DEGREE_DAYS", "--version",
                                   "DEM", "OUTPUT.tif"})
            EXPECT_NE(text.find(option), std::string::npos) << help << " does not list " << option;
        for (const char *fallback : {"(default: this year)", "(default: 1/4, 1 April)", "(default: 31/10, 31 October)",
                                     "(default: 32)", "(default: 5000)", "(default: one per core)"})
            EXPECT_NE(text.find(fallback), std::string::npos) << help << " does not say " << fallback;
    }
}

// The output must be neither the DEM nor the horizons, however they are
// named: through a link, a hard link, ".", or a link to a file not yet made.
TEST(MapCommand, TwoPathsNameOneFile) {
    temp_dir dir;
    std::ofstream(dir / "a.tif") << "a";
    std::ofstream(dir / "c.tif") << "c";
    ASSERT_EQ(link((dir / "a.tif").c_str(), (dir / "hard.tif").c_str()), 0);
    std::filesystem::create_symlink("a.tif", dir / "soft.tif");
    std::filesystem::create_symlink("new.tif", dir / "dangling.tif");
    std::filesystem::create_directory(dir / "sub");
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {dir / "a.tif", dir / "a.tif", true},
        {dir / "a.tif", dir / "hard.tif", true},
        {dir / "soft.tif", dir / "a.tif", true},
        {dir / "sub/../a.tif", dir / "a.tif", true},
        {dir / "dangling.tif", dir / "new.tif", true},
        {dir / "./new.tif", dir / "sub/../new.tif", true},
        {dir / "a.tif", dir / "c.tif", false},
        {dir / "a.tif", dir / "new.tif", false},
        {dir / "new.tif", dir / "other.tif", false},
    };
    for (const auto &c : cases) EXPECT_EQ(sameFile(c.a, c.b), c.same) << c.a << " and " << c.b;

    map_command command;
    std::string text;
    const std::string dem = dir / "a.tif", out = dir / "new.tif";
    EXPECT_EQ(parse({dem.c_str(), (dir / "soft.tif").c_str()}, &command, &text), MAP_COMMAND_REFUSED);
    EXPECT_EQ(text, "the output " + (dir / "soft.tif") + " is the DEM itself; choose another file for the map");
    const std::string dangling = dir / "dangling.tif";
    EXPECT_EQ(parse({"--horizons", dangling.c_str(), dem.c_str(), out.c_str()}, &command, &text), MAP_COMMAND_REFUSED);
    EXPECT_EQ(text, "--horizons " + dangling + " is the output itself; choose another file for the horizons");
    const std::string hard = dir / "hard.tif";
    EXPECT_EQ(parse({"--horizons", hard.c_str(), dem.c_str(), out.c_str()}, &command, &text), MAP_COMMAND_REFUSED);
    EXPECT_EQ(text, "--horizons " + hard + " is the DEM itself; choose another file for the horizons");
}

// The files are GeoTIFFs by name, and --mosaic takes an output and the tiles
// and no option but --quiet.
TEST(MapCommand, GeoTiffNamesAndTheMosaicsCommandLine) {
    const std::string usage = "usage: veranta-map [--year Y]";
    const struct {
        std::vector<const char *> args;
        std::string says;
    } refused[] = {
        {{"d.tif", "o.png"}, "the output o.png must end in .tif or .tiff: the map is a GeoTIFF"},
        {{"d.tif", "o"}, "the output o must end in .tif or .tiff: the map is a GeoTIFF"},
        {{"d.tif", ".tif.aux"}, "the output .tif.aux must end in .tif or .tiff: the map is a GeoTIFF"},
        {{"--horizons", "h.vrt", "d.tif", "o.tif"}, "--horizons h.vrt must end in .tif or .tiff: the horizons are a GeoTIFF"},
        {{"--mosaic", "m.png", "a.tif"}, "the output m.png must end in .tif or .tiff: the mosaic is a GeoTIFF"},
        {{"--mosaic", "m.tif"}, "--mosaic needs the tiles to join after the output\n" + usage},
        {{"--mosaic=", "a.tif"}, "--mosaic needs the name of the file to write"},
        {{"--year", "2024", "--mosaic", "m.tif", "a.tif"}, "--mosaic takes no other option but --quiet, not --year"},
        {{"--mosaic", "m.tif", "--no-shade", "a.tif"}, "--mosaic takes no other option but --quiet, not --no-shade"},
        {{"--mosaic", "m.tif", "--bogus", "a.tif"}, "unknown option --bogus\n" + usage},
    };
    for (const auto &c : refused) {
        map_command command;
        std::string text;
        std::string what;
        for (const char *a : c.args) what += std::string(a) + " ";
        ASSERT_EQ(parse(c.args, &command, &text), MAP_COMMAND_REFUSED) << what;
        EXPECT_EQ(text.substr(0, c.says.size()), c.says) << what;
        if (c.says.find('\n') == std::string::npos) {
            EXPECT_EQ(text, c.says) << what;
        }
    }
    map_command c;
    std::string text;
    for (const char *name : {"o.tif", "o.TIFF", "dir.tif/o.Tif"}) {
        EXPECT_EQ(parse({"d.tif", name}, &c, &text), MAP_COMMAND_RUN) << name << ": " << text;
    }
    ASSERT_EQ(parse({"--quiet", "--mosaic", "m.tif", "t-0-0.tif", "t-1-0.tif", "--", "-t.tif"}, &c, &text),
              MAP_COMMAND_MOSAIC)
        << text;
    EXPECT_TRUE(c.mosaic && c.quiet);
    EXPECT_EQ(c.output, "m.tif");
    EXPECT_EQ(c.tiles, (std::vector<std::string>{"t-0-0.tif", "t-1-0.tif", "-t.tif"}));
}

// Every option's line in --help says its default.
TEST(MapCommand, HelpSaysEveryOptionsDefault) {
    map_command c;
    std::string text;
    ASSERT_EQ(parse({"--help"}, &c, &text), MAP_COMMAND_DONE);
    ASSERT_NE(text.find("--mosaic OUTPUT.tif"), std::string::npos);
    // Options start their line with "  --"; a long help goes on on the next lines.
    std::vector<std::string> entries;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (line.compare(0, 4, "  --") == 0) entries.push_back(line);
        else if (!entries.empty() && line.compare(0, 6, "      ") == 0) entries.back() += line;
    }
    ASSERT_GE(entries.size(), 13u);
    for (const std::string &e : entries) {
        if (e.find("--help") != std::string::npos || e.find("--version") != std::string::npos) continue;
        EXPECT_NE(e.find("(default: "), std::string::npos) << e;
    }
}
