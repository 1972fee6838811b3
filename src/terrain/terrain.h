// A grower's land from a digital elevation model: reading it (through GDAL),
// the tilt and aspect of every cell, each cell's latitude and longitude, the
// terrain's horizons, and the season of every cell as a map, in memory or
// streamed tile by tile to a GeoTIFF. No GTK and no global state: every
// procedure works on what it is given, so the command-line tool and the map
// window share it.
#ifndef VERANTA_TERRAIN_TERRAIN_H
#define VERANTA_TERRAIN_TERRAIN_H

#include "model/sweepSeason.h"

#include <atomic>
#include <string>
#include <vector>

// Why a DEM or a map was refused; the sentence that goes with it says more.
enum terrain_refusal {
    TERRAIN_OK = 0,
    TERRAIN_UNREADABLE = 1,    // missing, not a regular file, or not a raster GDAL reads
    TERRAIN_NO_CRS = 2,        // no coordinate reference system
    TERRAIN_NOT_GRID = 3,      // no geotransform, or a rotated one
    TERRAIN_CHOOSE_BAND = 4,   // several bands and none chosen
    TERRAIN_NO_SUCH_BAND = 5,
    TERRAIN_BAD_SEASON = 6,
    TERRAIN_BAD_OPTION = 7,    // directions, distance or tile out of range
    TERRAIN_CANCELLED = 8,
    TERRAIN_FAILED = 9,        // reading, computing or writing went wrong
};

// One band of an opened raster and what the map needs of its grid.
struct dem_source {
    void *dataset = nullptr;        // GDALDatasetH
    void *band = nullptr;           // GDALRasterBandH
    std::string path;
    int width = 0;
    int height = 0;
    double transform[6] = {};       // GDAL's geotransform, north up
    bool geographic = false;        // cell sizes in degrees
    double linear_metres = 1.0;     // metres per horizontal unit of a projected CRS
    double vertical_metres = 1.0;   // metres per elevation unit
    bool has_nodata = false;
    double nodata = 0.0;
    std::string crs_wkt;
    std::string crs_name;
};

// Opens band (1-based; 0 means the only band) of the raster at path. Returns a
// terrain_refusal, with *refusal one plain sentence ("it has no coordinate
// reference system") when it is not TERRAIN_OK.
int openDem(const std::string &path, int band, dem_source *dem, std::string *refusal);
void closeDem(dem_source *dem);

struct dem_description {
    std::string file_name;
    int width;
    int height;
    double hectares;
    double cell_width;    // metres, at the middle row
    double cell_height;
    std::string crs_name;
    bool any_elevation;   // false when every cell is nodata
    double lowest;        // metres
    double highest;
};
int describeDem(const dem_source *dem, dem_description *description, std::string *refusal);

// Whether any cell of the DEM has an elevation. TERRAIN_OK or TERRAIN_FAILED.
int anyElevation(const dem_source *dem, bool *any, std::string *refusal);

// Metric width and height of the cells of a row: from the projected CRS's
// unit, or for degrees from the WGS 84 ellipsoid at the row's latitude.
void cellSize(const dem_source *dem, int row, double *width, double *height);

// Elevations in metres of the window (x0, y0, w, h), row by row, NaN for
// nodata. TERRAIN_OK or TERRAIN_FAILED.
int readDemWindow(const dem_source *dem, int x0, int y0, int w, int h, float *metres, std::string *refusal);

// Tilt and aspect by Horn's method of the cells (x0, y0, w, h) of a window
// of elevations (width ww, height wh, NaN for nodata) whose borders are the
// raster's: beyond them the terrain is extrapolated, a nodata neighbour takes
// the cell's own value. width[] and height[] are the metric cell sizes of the
// window's rows. Tilt in degrees; aspect clockwise from north, the way the
// slope faces, -1 for flat ground; NaN for nodata cells.
void hornSlope(const float *z, int ww, int wh, const double *width, const double *height, int x0, int y0, int w,
               int h, float *tilt, float *aspect);

// WGS 84 latitude and longitude (east positive) of the centres of the cells
// (x0, y0, w, h). TERRAIN_OK or TERRAIN_FAILED.
int cellLatLon(const dem_source *dem, int x0, int y0, int w, int h, double *latitude, double *longitude,
               std::string *refusal);

// The point of the 0.05 degree grid whose sun a cell shares.
void blockPoint(double latitude, double longitude, float *block_latitude, float *block_longitude);

// Is the cell within the region the degree-day formulas are calibrated for?
bool cellInRegion(double latitude, double longitude, float elevation, float tilt);

// Progress and cancellation of a map run on a worker: cells_total is known
// before any season is computed, cells_done grows as cells finish.
struct map_control {
    std::atomic<long> cells_total{0};
    std::atomic<long> cells_done{0};
    std::atomic<bool> cancel{false};
    // Of the cells done with an elevation, those outside the calibrated region.
    std::atomic<long> cells_with_data{0};
    std::atomic<long> cells_outside{0};
};

// Elevations of a window of the raster for the horizons; origin_x, origin_y
// place it in the whole raster, so that any window of the same raster gives
// each cell the same horizon, to the bit.
struct horizon_grid {
    const float *z;      // NaN for nodata
    int width;
    int height;
    int origin_x;
    int origin_y;
    double cell_width;   // metres, one spacing for the whole raster
    double cell_height;
};

// The horizon of every cell of (x0, y0, w, h) of the window in each of
// directions directions (k * 360 / directions clockwise from north), over the
// terrain within distance metres: angles[(row * w + col) * directions + k],
// degrees, never below 0, 0 for nodata cells. The window must hold the terrain
// within distance of those cells, where the raster has it. Seen from each
// cell's centre: a ray marched from it near the cell; farther, per direction
// the cells are swept along parallel lines keeping the upper convex hull of
// the terrain ahead, so the cost grows with cells times directions. 0, or
// TERRAIN_CANCELLED through control (may be null).
int terrainHorizons(const horizon_grid *grid, int directions, double distance, int x0, int y0, int w, int h,
                    float *angles, int threads, map_control *control);

struct map_options {
    season_range season = {2000, 1, 4, 31, 10};
    bool shade = true;
    int directions = 32;
    double distance = 5000.0;
    int threads = 0;          // 0: one per core
};

// Output bands: season degree days, season irradiation, tilt, aspect,
// minutes in terrain shadow, then each month's irradiation and degree days.
constexpr float kMapNodata = -9999.0f;
constexpr int kMapFixedBands = 5;
int mapBandCount(const season_range *season);
std::string mapBandDescription(const season_range *season, int band);   // band 0-based
std::string horizonBandDescription(int directions, int k);

// A part of the map: every band of the cells (x0, y0, width, height), band
// after band, kMapNodata where the DEM has none.
struct map_tile {
    int x0 = 0;
    int y0 = 0;
    int width = 0;
    int height = 0;
    int bands = 0;
    std::vector<float> values;     // bands * width * height
    // The whole irradiation (MJ/m2) of the season's first month, then of its
    // last (2 * width * height): their degree days come from it even where the
    // season takes only part of them. In memory only, for the map window.
    std::vector<float> whole_edge_months;
    int directions = 0;
    std::vector<float> horizons;   // directions * width * height when asked for
    long cells = 0;                // cells with an elevation
    long cells_outside = 0;        // of them, outside the calibrated region
};

// Suns placed for one season, kept across the tiles of a run so that no
// block is placed twice while it is in use.
struct sun_cache;
sun_cache *newSunCache(const season_range *season);
void freeSunCache(sun_cache *cache);

// Checks a season, directions and distance before any work.
int checkMapOptions(const map_options *options, std::string *refusal);

// The map of the cells (x0, y0, w, h): reads what it needs of the DEM (the
// search distance around them for the horizons), on options->threads threads.
// With horizons, tile->horizons gets them too. cache may be null.
int computeMapTile(const dem_source *dem, const map_options *options, int x0, int y0, int w, int h, bool horizons,
                   sun_cache *cache, map_control *control, map_tile *tile, std::string *refusal);

// The whole raster's map in memory, every band (the map window's run); the
// horizons are computed only for shading, and kept in map->horizons only
// when asked for (directions x cells floats). control's cells_done reaches
// cells_total when it succeeds; cancelled (TERRAIN_CANCELLED) or failed,
// *map is left empty.
int computeMap(const dem_source *dem, const map_options *options, map_control *control, map_tile *map,
               std::string *refusal, bool horizons = false);

// Which part of the raster a file holds: all of it (size 0), or the tile
// (column, row) of size x size cells.
struct map_extent {
    int tile_column = 0;
    int tile_row = 0;
    int tile_size = 0;
};

// Computes the extent part by part and writes it as a tiled DEFLATE GeoTIFF
// on the DEM's grid through the safe writer (and the horizons to
// horizons_path unless it is empty), so that memory stays bounded whatever
// the raster's size. Nothing is left behind unless every file is whole.
int writeMap(const dem_source *dem, const map_options *options, const map_extent *extent, const std::string &output,
             const std::string &horizons_path, map_control *control, std::string *refusal);

// Where a map lies: the DEM's north-up geotransform and its CRS, kept apart
// from the open file so that a map computed earlier can be written later.
struct map_grid {
    double transform[6] = {};
    std::string crs_wkt;
};
void demGrid(const dem_source *dem, map_grid *grid);

// Writes a map already computed (computeMap's, or computeMapTile's) as the
// very file writeMap writes for the same DEM and options: same pixels, band
// descriptions and metadata, through the safe writer, the horizons too
// unless horizons_path is empty. options must be those the map was computed
// with. control (may be null) can cancel between parts; cells_done follows
// the cells written.
int writeMapTile(const map_grid *grid, const map_options *options, const map_tile *map, const std::string &output,
                 const std::string &horizons_path, map_control *control, std::string *refusal);

#endif
