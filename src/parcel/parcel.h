// A grower's parcel and its blocks: the outline of the land read through OGR
// (every polygon a block), the cells of a map grid each block holds, each
// block's figures from a computed map, and the block files. No GTK and no
// global state: the map window and veranta-map call the same procedures.
//
// The cell rule, said wherever areas are shown: a cell belongs to a block
// when its centre lies inside the block; a cell inside two overlapping
// blocks counts for the first of them in file order.
#ifndef VERANTA_PARCEL_PARCEL_H
#define VERANTA_PARCEL_PARCEL_H

#include "model/degreeDayTarget.h"
#include "model/sweepSeason.h"
#include "model/winklerRegions.h"

#include <cstdint>
#include <string>
#include <vector>

// The cell rule in one sentence, for file columns and window notes.
extern const char *const kBlockCellRule;

// Plain coordinates in the parcel's CRS (x east, y north: GIS order also
// for degrees, longitude first).
struct parcel_point {
    double x, y;
};
using parcel_ring = std::vector<parcel_point>;   // closed: the last point repeats the first
struct parcel_polygon {
    std::vector<parcel_ring> rings;   // the outer ring, then its holes
};
struct parcel_block {
    std::string name;
    std::vector<parcel_polygon> polygons;
    bool repaired = false;   // it crossed itself and was made valid
};
struct parcel {
    std::string file_name;              // the outline file's name, without its folder
    std::string crs_wkt;                // the CRS the blocks were reprojected to
    std::vector<parcel_block> blocks;   // in file order: block k has the number k + 1
    std::vector<std::string> notes;     // what was ignored or repaired, a sentence each
};

// Bounds of an outline file a grower may open: beyond them it is refused.
constexpr long long kParcelFileBytes = 256LL * 1024 * 1024;
constexpr long kParcelVertices = 5000000;
constexpr long kParcelBlocks = 100000;

// Reads the outline at path (KML, KMZ, GeoJSON, Shapefile, a zipped
// Shapefile, GeoPackage): every polygon or multipolygon feature of every
// layer becomes a block, named by its first non-empty field of name, Name,
// NAME, block, Block, id, else "Block N". Points and lines are left out with
// a note. The blocks are reprojected to crs_wkt (the DEM's); a self-crossing
// block is repaired. False with *refusal one sentence when the file cannot be
// used (unreadable, too large, no polygon, no CRS, a block beyond repair).
bool readParcel(const std::string &path, const std::string &crs_wkt, parcel *out, std::string *refusal);

// A north-up grid in the parcel's CRS: a DEM, or a window of it.
struct parcel_grid {
    double transform[6] = {};   // GDAL's geotransform
    int width = 0;
    int height = 0;
};

// Where the blocks lie on a DEM of the parcel's CRS.
struct parcel_placement {
    // The blocks' extent: the DEM's cells whose centres lie in the bounding
    // box of the blocks' parts on the DEM, at (x0, y0) of the DEM, and that
    // window as a grid of its own.
    int x0 = 0;
    int y0 = 0;
    parcel_grid window;
    // Per block: hectares of its polygons beyond the DEM's edges (metric:
    // in the DEM's CRS when projected, in an equal-area projection about
    // the block when in degrees), and whether nothing of it is on the DEM.
    std::vector<double> outside_hectares;
    std::vector<bool> wholly_outside;
    std::vector<std::string> notes;   // a block partly or wholly outside, a sentence each
};

// Places the parcel on the DEM's grid. False with one sentence when every
// block lies outside the DEM or no cell centre falls inside any block.
bool placeParcel(const parcel *p, const parcel_grid *dem, parcel_placement *out, std::string *refusal);

// The block of every cell of grid (row by row): k + 1 for block k, 0 for
// none, by the cell rule, burnt by GDAL's rasterizer.
bool blockCells(const parcel *p, const parcel_grid *grid, std::vector<std::int32_t> *cells, std::string *refusal);

// A computed map over a grid (the blocks' extent, or the whole DEM), as
// pointers into its bands (width * height floats each, row by row); a value
// that is NaN or nodata has no data.
struct block_map {
    int width = 0;
    int height = 0;
    const std::int32_t *block_of_cell = nullptr;   // blockCells' numbers for this grid
    const float *season_gdd = nullptr;             // Celsius degree days above 10 °C
    const float *season_irradiation = nullptr;     // MJ/m² of clear-sky direct beam
    const float *shadow_minutes = nullptr;         // minutes of the season in terrain shadow
    season_range season = {};
    // Each month of the season (index 0 = January), null for the others.
    const float *month_irradiation[12] = {};
    const float *month_gdd[12] = {};
    // The whole irradiation of the season's first and last months, which
    // their degree days come from; null when the season takes them whole.
    const float *whole_first_month = nullptr;
    const float *whole_last_month = nullptr;
    const double *row_area = nullptr;   // m² of one cell of each row
    // WGS 84 centres of the cells, degrees, east positive: the zone of the
    // degree-day formula, and the calibrated region when judged here.
    const double *latitude = nullptr;
    const double *longitude = nullptr;
    // 1 for a cell outside the calibrated region; when null the region is
    // judged from the centres, elevation (m) and tilt (degrees).
    const std::uint8_t *outside_calibration = nullptr;
    const float *elevation = nullptr;
    const float *tilt = nullptr;
    // The day of the year each cell reaches target degree days (0: not in
    // the season), when the map has a target; null and 0 otherwise.
    const float *target_day = nullptr;
    double target = 0.0;
    // With a target: each block's running degree days (group k + 1 for block
    // k), for the day its mean reaches the target; null when the map does
    // not hold them.
    const group_running *block_running = nullptr;
    float nodata = -9999.0f;
};

// The default threshold: the median season degree days of the cells of all
// blocks with data, rounded down (the map window's rule); NaN when none.
float parcelThreshold(const block_map *map);

struct block_figures {
    int block = 0;   // the block's number, from 1 in file order
    std::string name;
    double outside_hectares = 0.0;     // of the polygon, beyond the DEM
    double hectares = 0.0;             // cells × each row's cell area
    double hectares_with_data = 0.0;   // of them, cells with an elevation
    double threshold_gdd = 0.0;
    double hectares_reaching = 0.0;   // cells with data at or above the threshold
    double share_reaching = 0.0;      // of hectares_with_data, 0 to 1
    // Over the block's cells with data (NaN when it has none).
    double gdd_min = 0.0, gdd_mean = 0.0, gdd_max = 0.0;
    double irradiation_mean_mj_m2 = 0.0;
    double shadow_minutes_mean = 0.0;
    double share_outside_calibration = 0.0;   // of the cells with data, 0 to 1
    // The block's mean months (index 0 = January), for the season's months.
    bool in_season[12] = {};
    double month_irradiation_mj_m2[12] = {};
    double month_gdd[12] = {};
    // Where the degree-day formula gives fewer degree days for more sun,
    // judged by the block's mean whole-month irradiation.
    bool month_backwards[12] = {};
    // The Winkler region of gdd_mean and the hectares with data of each
    // region, when the season is the regions' own (winklerSeason); -1 and
    // zeros otherwise.
    bool winkler_season = false;
    int winkler_region = -1;
    double hectares_region[WINKLER_REGIONS] = {};
    // With a target: the target (degC degree days) and the share of the
    // cells with data that reach it within the season, 0 to 1.
    bool has_target = false;
    double target_gdd = 0.0;
    double share_reaching_target = 0.0;
    // The day of the season's year (1 = 1 January) on which the block's mean
    // running degree days (over its cells with data, each cell's running
    // total from the season's first day) first reach the target; 0 when the
    // season ends first; -1 when the map does not hold the block's days.
    int target_day_of_mean = -1;
};

// The figures of every block not wholly outside the DEM (placement may be
// null when the map covers every block), summed in double. False with one
// sentence for a map that does not fit the parcel.
bool blockFigures(const parcel *p, const parcel_placement *placement, const block_map *map, float threshold,
                  std::vector<block_figures> *figures, std::string *refusal);

// What a block file says about the run beside the figures.
struct block_file_context {
    std::string dem_name;   // the DEM's file name
    season_range season = {};
    std::string shading;   // e.g. "32 directions within 5000 m", or "none"
};

// Writes the figures by the path's ending: .csv (RFC 4180), .gpkg (the
// block polygons in the parcel's CRS), .geojson or .json (RFC 7946: in
// WGS 84), the figures as named, typed attributes, through the safe writer.
bool writeBlockFile(const std::string &path, const parcel *p, const std::vector<block_figures> &figures,
                    const block_file_context *context, std::string *refusal);

#endif
