// veranta-map's command line: every option read into one map_command by one
// parser and checked once, so that main only opens the DEM and runs the map.
#ifndef VERANTA_MAPCLI_MAPCOMMAND_H
#define VERANTA_MAPCLI_MAPCOMMAND_H

#include "terrain/terrain.h"

#include <string>

struct map_command {
    map_options options;
    int band = 0;           // 0: the DEM's only band
    bool quiet = false;
    map_extent extent;      // the whole raster unless a tile is asked for
    std::string horizons;   // where to write the horizons too, or empty
    std::string dem;
    std::string output;
};

enum map_command_outcome {
    MAP_COMMAND_RUN,       // *command holds a run to do
    MAP_COMMAND_DONE,      // --help or --version: print *text on standard output, exit 0
    MAP_COMMAND_REFUSED,   // *text says why in one sentence (what follows "veranta-map: "), exit 1
};

// Reads argv (argv[0] the program) into *command; the season's year defaults
// to this_year, held to 2000..2050. The options' values, the season, the
// tile and the files are all checked here: a run that comes out is one the
// terrain core takes, and whose output and horizons are neither the DEM nor
// each other.
map_command_outcome parseMapCommand(int argc, const char *const *argv, int this_year, map_command *command,
                                    std::string *text);

// Whether two paths name one file: the same file when both exist, else the
// same place once links (dangling ones too) and "." and ".." are resolved.
bool sameFile(const std::string &a, const std::string &b);

#endif
