// A site report a grower hands on: a PDF of a computed map of the land (its
// blocks too when a parcel was given) or of one site and slope of the
// explorer, with every figure's unit and, on its last page, what the numbers
// are. Drawn with cairo and Pango, no GTK: veranta-map and the windows'
// workers call the same procedures. Nothing here keeps state; the inputs are
// only read, so a worker may write a report of a map the window still shows.
#ifndef VERANTA_REPORT_REPORT_H
#define VERANTA_REPORT_REPORT_H

#include "model/sweepSeason.h"
#include "parcel/parcel.h"
#include "terrain/landMap.h"
#include "terrain/terrain.h"

#include <cstdint>
#include <string>
#include <vector>

enum report_paper {
    REPORT_A4,       // 210 x 297 mm
    REPORT_LETTER,   // US Letter, 8.5 x 11 in
};

// The paper of the user's locale (LC_PAPER, as glibc gives it): Letter where
// the locale's paper is 216 mm wide, A4 otherwise and when the locale does
// not say. Reads the environment, changes no locale of the process.
report_paper localePaper(void);

// Today on this computer's calendar as a report is dated ("8 December 2026").
std::string reportToday(void);

// Where the elevations came from, as the report credits them.
struct report_elevation {
    std::string file;          // the DEM's file name, as the grower knows it
    std::string source_name;   // a public model's name; empty: supplied by the grower
    std::string licence;
    std::string attribution;   // must accompany every result made from the source
};

// The DEM's own account of itself: the metadata items ELEVATION_SOURCE_NAME
// (else ELEVATION_SOURCE), ELEVATION_LICENCE and ELEVATION_ATTRIBUTION that
// a fetched DEM carries; empty ones for a DEM without them. file as given.
report_elevation reportElevation(const dem_source *dem, const std::string &file);

// A parcel's blocks on the map: the outline (in the map's CRS), each block's
// figures (blockFigures over the same map and threshold) and the block of
// every cell of the map's grid.
struct report_blocks {
    const parcel *outline = nullptr;
    const std::vector<block_figures> *figures = nullptr;
    // blockCells' numbers for the map's grid, row by row; null: the map's
    // own block band.
    const std::int32_t *cell_block = nullptr;
};

// A report of a computed map.
struct map_report {
    // Computed with its elevations, positions and whole edge months (map_wants),
    // as the map window keeps it.
    const land_map *map = nullptr;
    float threshold = 0.0f;   // degC degree days above 10 degC
    report_blocks blocks;     // outline null: no parcel
    report_elevation elevation;
    report_paper paper = REPORT_A4;
    std::string version;   // veranta's
    std::string date;      // the day the report is made, as it should read ("8 December 2026")
};

// A report of one site and slope over a season, without a map.
struct site_report {
    site_location site;        // degrees, west negative; metres
    season_range season;
    slope ground;              // aspect (degrees clockwise from north, -1 flat) and tilt (degrees)
    slope_season figures;      // sweepSeason's for the site, season and slope
    double target = 0.0;       // degC degree days; 0: none
    int target_day = 0;        // sweepSeasonToTarget's day of the year, 0 when not reached
    report_paper paper = REPORT_A4;
    std::string version;
    std::string date;
};

// The report as PDF bytes (text selectable, fonts embedded). False with one
// sentence for inputs it cannot report (a map without its elevations or
// positions, blocks that are not the map's, a season that is no season).
bool mapReportPdf(const map_report *report, std::string *pdf, std::string *refusal);
bool siteReportPdf(const site_report *report, std::string *pdf, std::string *refusal);

// The same, written to path through the safe writer: whole or not at all.
bool writeMapReport(const std::string &path, const map_report *report, std::string *refusal);
bool writeSiteReport(const std::string &path, const site_report *report, std::string *refusal);

#endif
