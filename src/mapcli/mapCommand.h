// veranta-map's command line: every option read into one map_command by one
// parser and checked once, so that main only opens the DEM and runs the map.
#ifndef VERANTA_MAPCLI_MAPCOMMAND_H
#define VERANTA_MAPCLI_MAPCOMMAND_H

#include "files/safeWrite.h"
#include "report/report.h"
#include "terrain/terrain.h"

#include <string>
#include <vector>

struct map_command {
    map_options options;
    int band = 0;           // 0: the DEM's only band
    bool quiet = false;
    map_extent extent;      // the whole raster unless a tile is asked for
    std::string horizons;   // where to write the horizons too, or empty
    std::string dem;
    std::string output;           // the map, or the mosaic
    bool mosaic = false;          // --mosaic: join tiles rather than compute
    std::vector<std::string> tiles;
    std::string anchor;           // --anchor: the station's file the map is anchored to, or empty
    std::string anchor_site;      // --anchor-site as given, or empty
    std::string anchor_note;      // how far the station lies outside the calibrated region; empty inside
    std::string report;           // --report: the site report as PDF, or empty
    bool paper_given = false;     // --paper; otherwise the locale's paper (localePaper)
    report_paper paper = REPORT_A4;
    // --parcel: only the blocks' extent, its tiles with --tile; --blocks:
    // each block's figures too, at --threshold degree days (by default the
    // parcel's median, rounded down).
    std::string parcel;
    std::string blocks;
    bool has_threshold = false;
    double threshold = 0.0;
    // --elevation: no DEM given, the parcel's elevation fetched from this
    // source ("copernicus" or "3dep"); --keep-dem: where to keep it.
    std::string elevation;
    std::string keep_dem;
};

enum map_command_outcome {
    MAP_COMMAND_RUN,       // *command holds a run to do
    MAP_COMMAND_DONE,      // --help or --version: print *text on standard output, exit 0
    MAP_COMMAND_REFUSED,   // *text says why in one sentence (what follows "veranta-map: "), exit 1
    MAP_COMMAND_MOSAIC,    // *command holds tiles to join into its output
};

// Reads argv (argv[0] the program) into *command; the season's year defaults
// to this_year, held to 2000..2050. The options' values, the season, the
// tile and the files are all checked here: a run that comes out is one the
// terrain core takes, and whose output and horizons are neither the DEM nor
// each other. With --anchor the station's file is read here and its offsets
// are in options.anchor.
map_command_outcome parseMapCommand(int argc, const char *const *argv, int this_year, map_command *command,
                                    std::string *text);

#endif
