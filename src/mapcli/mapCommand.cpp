// veranta-map's options through CLI11, which gives the usual long-option
// syntax (--year 2025, --year=2025, -- before a file named like an option)
// and --help and --version; the values are taken as text and read here,
// occurrence by occurrence in the order given, so that each refusal says in
// our words what was wrong and the first wrong one is the one said.
#include "mapcli/mapCommand.h"

#include "station/stationAnchor.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#ifndef VERANTA_VERSION
#error "VERANTA_VERSION is the project's version, set by the build"
#endif

namespace {

const char kUsage[] =
    "usage: veranta-map [--year Y] [--from D/M] [--to D/M] [--no-shade] [--directions N] [--distance METRES]\n"
    "                   [--band N] [--tile COL,ROW --tile-size N] [--horizons FILE.tif] [--threads N] [--quiet]\n"
    "                   [--target DEGREE_DAYS] [--anchor FILE [--anchor-site LAT,LON,ELEV]]\n"
    "                   [--parcel FILE [--blocks FILE.csv|.gpkg|.geojson [--threshold T]]]\n"
    "                   [--report FILE.pdf [--paper a4|letter]] DEM OUTPUT.tif\n"
    "       veranta-map [options] --parcel FILE --elevation copernicus|3dep [--keep-dem FILE.tif] OUTPUT.tif\n"
    "       veranta-map [--quiet] --mosaic OUTPUT.tif TILE.tif...\n";

// What GIS programs take for a GeoTIFF by its name.
bool geotiffName(const std::string &path) {
    std::string end = path.substr(path.size() - std::min<size_t>(path.size(), 5));
    for (char &c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (end.size() >= 4 && end.compare(end.size() - 4, 4, ".tif") == 0) || end == ".tiff";
}

// What readers take for a PDF by its name.
bool pdfName(const std::string &path) {
    std::string end = path.substr(path.size() - std::min<size_t>(path.size(), 4));
    for (char &c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".pdf";
}

// A whole decimal number within [low, high].
bool wholeNumber(const std::string &text, long low, long high, long *value) {
    if (text.empty()) return false;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high || text[0] == ' ') return false;
    *value = v;
    return true;
}

// "A/B" as two whole numbers, separated by sep.
bool pair(const std::string &text, char sep, long *a, long *b) {
    const size_t at = text.find(sep);
    return at != std::string::npos && wholeNumber(text.substr(0, at), 0, 1000000, a) &&
           wholeNumber(text.substr(at + 1), 0, 1000000, b);
}

// The value options, each read from its text into the command; the refusal
// when the text is not one it takes.
struct value_option {
    const char *name;
    const char *label;
    const char *help;
    // Empty when taken; otherwise the refusal.
    std::string (*take)(const std::string &name, const std::string &value, map_command *command, bool *tile);
};

std::string takeYear(const std::string &, const std::string &value, map_command *command, bool *) {
    long a = 0;
    if (!wholeNumber(value, 2000, 2050, &a)) return "the year must be a whole number from 2000 to 2050, not " + value;
    command->options.season.year = static_cast<int>(a);
    return "";
}

std::string takeDay(const std::string &name, const std::string &value, map_command *command, bool *) {
    long day = 0;
    long month = 0;
    if (!pair(value, '/', &day, &month)) return name + " takes a day and month as D/M, not " + value;
    season_range &s = command->options.season;
    (name == "--from" ? s.start_day : s.stop_day) = static_cast<int>(day);
    (name == "--from" ? s.start_month : s.stop_month) = static_cast<int>(month);
    return "";
}

std::string takeDirections(const std::string &, const std::string &value, map_command *command, bool *) {
    long a = 0;
    if (!wholeNumber(value, 1, 360, &a)) return "--directions takes a whole number from 1 to 360, not " + value;
    command->options.directions = static_cast<int>(a);
    return "";
}

std::string takeDistance(const std::string &, const std::string &value, map_command *command, bool *) {
    char *end = nullptr;
    const double d = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(d > 0.0) || d > 100000.0)
        return "--distance takes metres above 0 and at most 100000, not " + value;
    command->options.distance = d;
    return "";
}

std::string takeTarget(const std::string &, const std::string &value, map_command *command, bool *) {
    char *end = nullptr;
    const double t = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(t > 0.0) || t > kMaxTarget)
        return "--target takes degree days above 0 and at most 10000, not " + value;
    command->options.target = t;
    return "";
}

std::string takeBand(const std::string &, const std::string &value, map_command *command, bool *) {
    long a = 0;
    if (!wholeNumber(value, 1, 1000000, &a)) return "--band takes a band number from 1, not " + value;
    command->band = static_cast<int>(a);
    return "";
}

std::string takeTile(const std::string &, const std::string &value, map_command *command, bool *tile) {
    long column = 0;
    long row = 0;
    if (!pair(value, ',', &column, &row)) return "--tile takes a column and row as COL,ROW, not " + value;
    command->extent.tile_column = static_cast<int>(column);
    command->extent.tile_row = static_cast<int>(row);
    *tile = true;
    return "";
}

std::string takeTileSize(const std::string &, const std::string &value, map_command *command, bool *) {
    long a = 0;
    if (!wholeNumber(value, 1, 1000000, &a)) return "--tile-size takes a number of cells from 1, not " + value;
    command->extent.tile_size = static_cast<int>(a);
    return "";
}

std::string takeHorizons(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value.empty()) return "--horizons needs a file name";
    command->horizons = value;
    return "";
}

std::string takeMosaic(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value.empty()) return "--mosaic needs the name of the file to write";
    command->mosaic = true;
    command->output = value;
    return "";
}

std::string takeReport(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value.empty()) return "--report needs a file name";
    if (!pdfName(value)) return "--report " + value + " must end in .pdf: the report is a PDF";
    command->report = value;
    return "";
}

std::string takePaper(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value != "a4" && value != "letter") return "--paper takes a4 or letter, not " + value;
    command->paper = value == "letter" ? REPORT_LETTER : REPORT_A4;
    command->paper_given = true;
    return "";
}

std::string takeThreads(const std::string &, const std::string &value, map_command *command, bool *) {
    long a = 0;
    if (!wholeNumber(value, 1, 1024, &a)) return "--threads takes a whole number from 1 to 1024, not " + value;
    command->options.threads = static_cast<int>(a);
    return "";
}

std::string takeParcel(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value.empty()) return "--parcel needs the outline file of the parcel";
    command->parcel = value;
    return "";
}

// A block file's format is its name's ending.
bool blockFileName(const std::string &path) {
    std::string s = path;
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char *end : {".csv", ".gpkg", ".geojson", ".json"}) {
        const size_t n = std::char_traits<char>::length(end);
        if (s.size() > n && s.compare(s.size() - n, n, end) == 0) return true;
    }
    return false;
}

std::string takeBlocks(const std::string &, const std::string &value, map_command *command, bool *) {
    if (!blockFileName(value)) return "--blocks takes a file ending in .csv, .gpkg or .geojson, not " + value;
    command->blocks = value;
    return "";
}

std::string takeThreshold(const std::string &, const std::string &value, map_command *command, bool *) {
    char *end = nullptr;
    const double t = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(t >= 0.0) || t > kMaxTarget)
        return "--threshold takes degree days from 0 to 10000, not " + value;
    command->threshold = t;
    command->has_threshold = true;
    return "";
}

std::string takeElevation(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value != "copernicus" && value != "3dep") return "--elevation takes copernicus or 3dep, not " + value;
    command->elevation = value;
    return "";
}

std::string takeKeepDem(const std::string &, const std::string &value, map_command *command, bool *) {
    if (!geotiffName(value)) return "--keep-dem " + value + " must end in .tif or .tiff: the DEM is kept as a GeoTIFF";
    command->keep_dem = value;
    return "";
}

std::string takeAnchor(const std::string &, const std::string &value, map_command *command, bool *) {
    if (value.empty()) return "--anchor needs a station's file";
    command->anchor = value;
    return "";
}

std::string takeAnchorSite(const std::string &, const std::string &value, map_command *command, bool *) {
    site_location site;
    if (!parseSiteText(value, &site))
        return "--anchor-site takes latitude (-90 to 90), longitude (-180 to 180) and elevation in metres as "
               "LAT,LON,ELEV, not " + value;
    command->anchor_site = value;
    return "";
}

// The station's file read and set beside the estimate at its site, its
// offsets into the options: "" or the refusal.
std::string anchorRun(map_command *command) {
    if (command->options.target > 0.0)
        return "--anchor takes no --target: the day a target is reached comes from the estimate's own days";
    const std::string &file = command->anchor;
    if (sameFile(file, command->output))
        return "the output " + command->output + " is the station's file itself; choose another file for the map";
    if (!command->horizons.empty() && sameFile(file, command->horizons))
        return "--horizons " + command->horizons +
               " is the station's file itself; choose another file for the horizons";
    site_location site;
    const bool given = !command->anchor_site.empty() && parseSiteText(command->anchor_site, &site);
    const season_range &s = command->options.season;
    const station_season season{s.start_day, s.start_month, s.stop_day, s.stop_month};
    station_anchor anchor;
    std::string why;
    switch (anchorFromFile(file, UNIT_UNSAID, season, given ? &site : nullptr, &anchor, &why, nullptr)) {
        case ANCHOR_OK: break;
        case ANCHOR_NO_SITE:
            return "--anchor " + file + " does not say where the station is; give --anchor-site LAT,LON,ELEV";
        case ANCHOR_NEEDS_UNIT:
            return "--anchor " + file + ": " + why +
                   "; name the unit in the maximum's and minimum's columns (tmax_c, tmin_f)";
        case ANCHOR_SITE_REFUSED: return "--anchor " + file + ": " + why + "; check --anchor-site";
        case ANCHOR_BAD_SEASON: return "--anchor takes a season a station's figures take: " + why;
        default: return "--anchor " + file + ": " + why;
    }
    map_anchor &a = command->options.anchor;
    a.station = anchor.station;
    a.latitude = anchor.site.latitude;
    a.longitude = anchor.site.longitude;
    a.elevation = anchor.site.elevation;
    for (int m = 0; m < 12; m++) a.offsets[m] = anchor.offsets[m];
    command->anchor_note = anchor.region_note;
    return "";
}

const value_option kValues[] = {
    {"--year", "Y", "the season's year, 2000 to 2050 (default: this year)", takeYear},
    {"--from", "D/M", "the season's first day and month (default: 1/4, 1 April)", takeDay},
    {"--to", "D/M", "the season's last day and month, not before the first (default: 31/10, 31 October)", takeDay},
    {"--directions", "N", "directions of the terrain's horizon around each cell, 1 to 360 (default: 32)",
     takeDirections},
    {"--distance", "METRES", "how far the terrain can shade a cell, above 0 and at most 100000 (default: 5000)",
     takeDistance},
    {"--band", "N", "the DEM's band of elevations, from 1 (default: its only band)", takeBand},
    {"--tile", "COL,ROW",
     "compute only this tile of the grid, counted from 0,0, with --tile-size (default: the whole raster)", takeTile},
    {"--tile-size", "N", "the tiles' width and height in cells (default: the whole raster, no tiles)", takeTileSize},
    {"--horizons", "FILE.tif", "also write each cell's horizon angle, one band per direction (default: not written)",
     takeHorizons},
    {"--threads", "N", "threads to compute on, 1 to 1024 (default: one per core)", takeThreads},
    {"--target", "DEGREE_DAYS",
     "also write the day of the year each cell's degree days (degC above 10 degC) reach this target, 0 where the "
     "season ends first; above 0 and at most 10000 (default: no such band)",
     takeTarget},
    {"--report", "FILE.pdf",
     "also write a site report of the map as PDF: the map with legend, scale bar and north arrow, the answer, "
     "Winkler regions, the months, the target's date, and what the numbers are; keeps the whole map in memory, so "
     "not with --tile (default: no report)",
     takeReport},
    {"--paper", "a4|letter", "the report's paper (default: the locale's, LC_PAPER; A4 when it does not say)",
     takePaper},
    {"--parcel", "FILE",
     "compute only the extent of the parcel's blocks (every polygon of a KML, KMZ, GeoJSON, Shapefile or "
     "GeoPackage, read in the DEM's coordinate system): the output covers their bounding box on the DEM's grid, "
     "cells outside every block are nodata, and one more band after the season's (before a target's) gives each "
     "cell's block number (0 outside every block); a cell belongs to a block when its centre lies inside it, to the first of two overlapping blocks; "
     "with --tile, tiles of that extent (default: the whole DEM, no blocks)",
     takeParcel},
    {"--blocks", "FILE.csv|.gpkg|.geojson",
     "with --parcel, also write each block's figures (hectares, those reaching --threshold, degree days, "
     "irradiation, shadow, share outside the calibrated region, mean months, Winkler region, and with --target "
     "the date the block's mean reaches it), as a CSV, a GeoPackage with the "
     "blocks in the DEM's coordinate system or a GeoJSON in WGS 84, by the name's ending; not with --tile "
     "(default: not written)",
     takeBlocks},
    {"--threshold", "DEGREE_DAYS",
     "the degree days (degC above 10 degC) a cell must reach to count in the blocks' hectares reaching it, 0 to "
     "10000 (default: the median of the parcel's cells with data, rounded down)",
     takeThreshold},
    {"--elevation", "copernicus|3dep",
     "with --parcel and no DEM: fetch the elevation of the parcel's extent and the shading distance around it from "
     "the Copernicus DEM GLO-30 or USGS 3DEP 1/3 arc-second (or take it from the cache of an earlier fetch), then "
     "map it; its source and attribution go into the map's metadata (default: the DEM given)",
     takeElevation},
    {"--keep-dem", "FILE.tif", "with --elevation, also keep the fetched DEM as this GeoTIFF (default: only in the cache)",
     takeKeepDem},
    {"--mosaic", "OUTPUT.tif",
     "join the tiles of one run, named after it (TILE.tif...), into the file the whole run writes; refuses a "
     "missing or overlapping tile; takes no other option but --quiet (default: compute the map of a DEM)",
     takeMosaic},
    {"--anchor", "FILE",
     "anchor the map's degree days to a weather station's daily temperatures (the formats veranta-station reads): "
     "each month of the season moved by the station's measured mean minus the estimate at its site, never below 0 "
     "(default: not anchored)",
     takeAnchor},
    {"--anchor-site", "LAT,LON,ELEV",
     "the station's latitude, longitude (west negative) and elevation in metres, for a file that does not say "
     "them (default: the file's own)",
     takeAnchorSite},
};

// --mosaic OUTPUT.tif TILE.tif...: the tiles are every file named; of the
// options only --quiet goes with it.
map_command_outcome mosaicCommand(const std::vector<CLI::Option *> &given, const std::vector<std::string> &files,
                                  map_command *command, std::string *text) {
    for (const CLI::Option *o : given) {
        const std::string name = o->get_name();
        if (name != "--mosaic" && name != "--quiet" && name != "DEM" && name != "OUTPUT.tif") {
            *text = "--mosaic takes no other option but --quiet, not " + name;
            return MAP_COMMAND_REFUSED;
        }
    }
    command->tiles = files;
    if (command->tiles.empty()) {
        *text = std::string("--mosaic needs the tiles to join after the output\n") + kUsage;
        return MAP_COMMAND_REFUSED;
    }
    if (!geotiffName(command->output)) {
        *text = "the output " + command->output + " must end in .tif or .tiff: the mosaic is a GeoTIFF";
        return MAP_COMMAND_REFUSED;
    }
    return MAP_COMMAND_MOSAIC;
}

// --help shows the usage as the refusals show it.
class usage_formatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App *, std::string) const override { return kUsage; }
};

}  // namespace

map_command_outcome parseMapCommand(int argc, const char *const *argv, int this_year, map_command *command,
                                    std::string *text) {
    *command = map_command{};
    command->options.season.year = std::min(2050, std::max(2000, this_year));
    auto refuse = [&](const std::string &why) {
        *text = why;
        return MAP_COMMAND_REFUSED;
    };

    CLI::App app("veranta-map: the season of every cell of a digital elevation model (DEM), as a "
                 "GeoTIFF on the DEM's grid: degree days (an average season's, estimated), clear-sky "
                 "irradiation, tilt, aspect, minutes in terrain shadow "
                 "and each month's irradiation and degree days; with --target, the day a degree-day target is reached; "
                 "with --anchor, the degree days anchored to a weather station's records.",
                 "veranta-map");
    app.formatter(std::make_shared<usage_formatter>());
    app.set_help_flag("-h,--help", "print this help and stop");
    app.set_version_flag("--version", std::string("veranta-map ") + VERANTA_VERSION, "print the version and stop");
    // Unknown options and a third file are said in our words below.
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    std::map<const CLI::Option *, const value_option *> values;
    for (const value_option &v : kValues)
        values[app.add_option(v.name, v.help)->type_name(v.label)->allow_extra_args(false)] = &v;
    CLI::Option *no_shade = app.add_flag("--no-shade", "no terrain shading: only each cell's own slope (default: shaded)");
    CLI::Option *quiet =
        app.add_flag("--quiet", "no progress bar, and no note on cells outside the region the degree days are "
                                "calibrated for, nor on what a parcel's file left out (default: all shown, the "
                                "progress on a terminal only)");
    CLI::Option *dem = app.add_option("DEM", "the elevation model: one band of any raster GDAL reads, with a "
                                             "coordinate reference system, elevations in metres or feet");
    CLI::Option *output = app.add_option("OUTPUT.tif", "the map to write, a Cloud Optimized GeoTIFF (.tif or .tiff); "
                                                         "replaced only by a finished one");
    app.footer("Any refusal is one line on standard error and exit status 1, with no file written.");

    // "--name=" is an empty value, as "--name ''" is (CLI11 would take the
    // next argument for it); CLI11 reads the arguments from the back.
    std::vector<std::string> args;
    bool files_only = false;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        files_only = files_only || arg == "--";
        if (!files_only && arg.size() > 3 && arg.compare(0, 2, "--") == 0 && arg.back() == '=') {
            args.push_back(arg.substr(0, arg.size() - 1));
            args.push_back("");
        } else {
            args.push_back(arg);
        }
    }
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::CallForHelp &) {
        *text = app.help();
        return MAP_COMMAND_DONE;
    } catch (const CLI::CallForVersion &version) {
        *text = std::string(version.what()) + "\n";
        return MAP_COMMAND_DONE;
    } catch (const CLI::ArgumentMismatch &e) {
        // Only an option at the very end can be left without its value.
        const std::string last = argc > 1 ? argv[argc - 1] : "";
        return refuse(last.compare(0, 2, "--") == 0 ? last + " needs a value" : e.what());
    } catch (const CLI::ParseError &e) {
        return refuse(e.what());
    }

    // Each occurrence in the order given: the first wrong one is said, the last taken.
    bool tile = false;
    std::map<const CLI::Option *, size_t> seen;
    for (const CLI::Option *o : app.parse_order()) {
        const size_t k = seen[o]++;
        if (o == no_shade) command->options.shade = false;
        if (o == quiet) command->quiet = true;
        const auto v = values.find(o);
        if (v == values.end()) continue;
        const std::string why = v->second->take(v->second->name, o->results().at(k), command, &tile);
        if (!why.empty()) return refuse(why);
    }
    std::vector<std::string> files;
    for (const CLI::Option *o : {dem, output})
        for (const std::string &f : o->results()) files.push_back(f);
    bool after_mark = false;
    for (const std::string &extra : app.remaining()) {
        // CLI11 keeps the mark that ends the options among the extras.
        if (extra == "--" && !after_mark) {
            after_mark = true;
            continue;
        }
        if (!after_mark && extra.size() > 1 && extra[0] == '-')
            return refuse("unknown option " + extra.substr(0, extra.find('=')) + "\n" + kUsage);
        if (!command->mosaic) return refuse("one DEM and one output file are expected, not also " + extra);
        files.push_back(extra);
    }
    if (command->mosaic) return mosaicCommand(app.parse_order(), files, command, text);
    if (!command->elevation.empty()) {
        // The one file is the output: the DEM is fetched.
        if (command->parcel.empty()) return refuse("--elevation needs --parcel FILE: it fetches the parcel's elevation");
        if (files.size() != 1)
            return refuse("with --elevation only the output file is given, the DEM being fetched\n" + std::string(kUsage));
        command->output = files.front();
    } else {
        if (!command->keep_dem.empty()) return refuse("--keep-dem goes with --elevation: it keeps the fetched DEM");
        if (dem->count() == 0 || output->count() == 0)
            return refuse(std::string("a DEM and an output file are needed\n") + kUsage);
        command->dem = dem->results().back();
        command->output = output->results().back();
    }

    if (tile != (command->extent.tile_size > 0)) return refuse("--tile and --tile-size go together");
    const std::string &report = command->report;
    if (command->paper_given && report.empty()) return refuse("--paper goes with --report");
    if (!report.empty() && tile) return refuse("--report takes the whole map: it does not go with --tile");
    if (!command->blocks.empty() && command->parcel.empty())
        return refuse("--blocks needs --parcel FILE: the blocks are those of a parcel");
    if (command->has_threshold && command->blocks.empty() && command->report.empty())
        return refuse("--threshold goes with --blocks or --report: it counts the hectares reaching it");
    if (!command->blocks.empty() && tile)
        return refuse("--blocks needs the whole parcel, not a tile of it: leave out --tile");
    std::string why;
    if (checkMapOptions(&command->options, &why) != TERRAIN_OK) return refuse(why);
    const std::string &h = command->horizons;
    if (!geotiffName(command->output))
        return refuse("the output " + command->output + " must end in .tif or .tiff: the map is a GeoTIFF");
    if (!h.empty() && !geotiffName(h))
        return refuse("--horizons " + h + " must end in .tif or .tiff: the horizons are a GeoTIFF");
    if (!command->dem.empty() && sameFile(command->dem, command->output))
        return refuse("the output " + command->output + " is the DEM itself; choose another file for the map");
    if (!h.empty() && sameFile(h, command->output))
        return refuse("--horizons " + h + " is the output itself; choose another file for the horizons");
    if (!h.empty() && !command->dem.empty() && sameFile(h, command->dem))
        return refuse("--horizons " + h + " is the DEM itself; choose another file for the horizons");
    const std::string &p = command->parcel;
    const std::string &b = command->blocks;
    const std::string &k = command->keep_dem;
    const std::pair<const std::string *, const char *> kept[] = {
        {&command->output, "the output"}, {&h, "the horizons"}, {&p, "the parcel"}, {&b, "the blocks"}};
    for (const auto &other : kept)
        if (!k.empty() && !other.first->empty() && sameFile(k, *other.first))
            return refuse("--keep-dem " + k + " is " + other.second + " itself; choose another file for the DEM");
    if (!p.empty() && sameFile(p, command->output))
        return refuse("the output " + command->output + " is the parcel itself; choose another file for the map");
    if (!p.empty() && !h.empty() && sameFile(p, h))
        return refuse("--horizons " + h + " is the parcel itself; choose another file for the horizons");
    const std::pair<const std::string *, const char *> others[] = {
        {&command->dem, "the DEM"}, {&command->output, "the output"}, {&h, "the horizons"}, {&p, "the parcel"}};
    for (const auto &other : others)
        if (!b.empty() && !other.first->empty() && sameFile(b, *other.first))
            return refuse("--blocks " + b + " is " + other.second + " itself; choose another file for the blocks");
    if (!command->anchor_site.empty() && command->anchor.empty()) return refuse("--anchor-site goes with --anchor");
    if (!command->anchor.empty()) {
        why = anchorRun(command);
        if (!why.empty()) return refuse(why);
        if (checkMapOptions(&command->options, &why) != TERRAIN_OK)
            return refuse("--anchor " + command->anchor + ": " + why);
    }
    if (!report.empty() && sameFile(report, command->output))
        return refuse("--report " + report + " is the output itself; choose another file for the report");
    if (!report.empty() && sameFile(report, command->dem))
        return refuse("--report " + report + " is the DEM itself; choose another file for the report");
    if (!report.empty() && !h.empty() && sameFile(report, h))
        return refuse("--report " + report + " is the horizons' file; choose another file for the report");
    if (!report.empty() && !command->anchor.empty() && sameFile(report, command->anchor))
        return refuse("--report " + report + " is the station's file; choose another file for the report");
    return MAP_COMMAND_RUN;
}
