// What veranta-map and the map window call of the terrain core: a DEM opened
// and described (through GDAL), a map's options checked, the map computed
// into one land_map (landMap.h), and maps written as GeoTIFFs. No GTK and no
// global state: every procedure works on what it is given. The core's own
// steps (slopes, horizons, suns, cells) are in internals.h.
#ifndef VERANTA_TERRAIN_TERRAIN_H
#define VERANTA_TERRAIN_TERRAIN_H

#include "terrain/landMap.h"

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
    TERRAIN_IMPLAUSIBLE = 10,  // no elevation at all, or elevations no land has
};

// One band of an opened raster and what the map needs of its grid.
struct dem_source {
    void *dataset = nullptr;        // GDALDatasetH
    void *band = nullptr;           // GDALRasterBandH
    std::string path;
    int width = 0;
    int height = 0;
    double transform[6] = {};       // GDAL's geotransform, north up whatever the file's
    // A file stored south-up (rows running north) or east-left (columns
    // running west) is presented north-up: cell (x, y) as the core sees it
    // is file column width - 1 - x, row height - 1 - y where flipped.
    bool flip_rows = false;
    bool flip_columns = false;
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
};
// What a DEM is from its header alone: no cell is read, so that a raster of
// any size is described at once (its elevations: checkElevations).
int describeDem(const dem_source *dem, dem_description *description, std::string *refusal);

// Whether any cell of the DEM has an elevation. TERRAIN_OK or TERRAIN_FAILED.
int anyElevation(const dem_source *dem, bool *any, std::string *refusal);

// Every file reading the DEM would read (GDAL's list of the dataset's files,
// and of the VRTs among them, nested ones too), each checked to be a regular
// file before any of them is read, so that a FIFO or a device behind a VRT
// never blocks or feeds a run (openDem refuses such a DEM: TERRAIN_UNREADABLE
// and "it reads fifo.tif, which is not a regular file"). An output that is
// one of them would destroy the DEM: callers compare with sameFile
// (files/safeWrite.h).
int demFiles(const dem_source *dem, std::vector<std::string> *files, std::string *refusal);

// Elevations, in metres, that no land has: below the shore of the Dead Sea
// with a margin, above Everest with one.
constexpr double kLowestLand = -500.0;
constexpr double kHighestLand = 9000.0;

struct elevation_check {
    long cells_with_data = 0;   // elevations land has
    long infinite = 0;          // cells of +-infinity, taken as nodata
    long implausible = 0;       // cells below kLowestLand or above kHighestLand
    double example = 0.0;       // one of them, metres
    double lowest = 0.0;        // metres, of the cells with data
    double highest = 0.0;
};
// Reads every cell of window (the whole DEM when null) once, a band of rows
// at a time (cancel, may be null, is heard between them): TERRAIN_OK, or
// TERRAIN_IMPLAUSIBLE with one sentence
// when some cells have elevations no land has ("3 cells have elevations no
// land has (below -500 m or above 9000 m), such as -1e+30 m") or no cell has
// an elevation (every cell nodata or infinite); TERRAIN_FAILED when it
// cannot be read, TERRAIN_CANCELLED. The one check veranta-map and the
// window make before a run.
int checkElevations(const dem_source *dem, const struct map_window *window, const std::atomic<bool> *cancel,
                    elevation_check *check, std::string *refusal);

// The file name endings of the rasters this GDAL reads, for a file chooser.
std::vector<std::string> rasterEndings(void);

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

// A map's options said wrong before any work: the season (sweepSeasonCheck:
// one month will do; a day or month that does not exist is named), then the
// shading's directions and distance, then the target (0 for none, else above
// 0 and at most kMaxTarget). The
// procedures below check their options once, on entry.
int checkMapOptions(const map_options *options, std::string *refusal);

// A window of the DEM, in its cells.
struct map_window {
    int x0 = 0;
    int y0 = 0;
    int width = 0;
    int height = 0;
};

// The map of a window of the DEM (the whole DEM when window is null), every
// band, and what wants asks for besides; the horizons are computed for the
// shading whether kept or not. Computed in parts, each written straight into
// *map, on options->threads threads. control (may be null) follows the cells
// and can cancel; cancelled (TERRAIN_CANCELLED) or failed, *map is left empty.
int computeMap(const dem_source *dem, const map_options *options, const map_window *window, const map_wants *wants,
               map_control *control, land_map *map, std::string *refusal);

// Bytes computeMap needs at its peak for a width x height map of a season of
// up to twelve months with wants kept, cells of cell metres and the search
// distance of the default shading: the map itself, one part's work and the
// suns alive. An estimate, for refusing a DEM before running out of memory.
double computeMapBytes(double width, double height, const map_wants *wants, int directions, double distance,
                       double cell);

// Which part of the raster a file holds: all of it (size 0), or the tile
// (column, row) of size x size cells; the tiles are those of the window
// within (a parcel's extent), of the whole raster when its width is 0.
struct map_extent {
    int tile_column = 0;
    int tile_row = 0;
    int tile_size = 0;
    map_window within = {};
};

// The cells of the DEM a run of the extent reads: its own and, when shaded,
// those within the search distance around them. For checking a tile's
// elevations without reading the whole DEM.
int runWindow(const dem_source *dem, const map_options *options, const map_extent *extent, map_window *window,
              std::string *refusal);

// Computes the extent part by part and writes it as a tiled DEFLATE GeoTIFF
// on the DEM's grid through the safe writer (and the horizons to
// horizons_path unless it is empty), so that memory stays bounded whatever
// the raster's size. Nothing is left behind unless every file is whole.
int writeMap(const dem_source *dem, const map_options *options, const map_extent *extent, const std::string &output,
             const std::string &horizons_path, map_control *control, std::string *refusal);

// Writes a map already computed as the very file writeMap writes for the
// same DEM, window and options: same pixels, band descriptions and metadata,
// through the safe writer, the horizons too unless horizons_path is empty
// (then the map must hold them). control (may be null) can cancel between
// parts; cells_done follows the cells written.
int writeLandMap(const land_map *map, const std::string &output, const std::string &horizons_path,
                 map_control *control, std::string *refusal);

// Joins the tiles of one run (files writeMap wrote for tiles of a DEM: the
// season maps, or the horizons, of every tile) into output, the file the
// whole run writes: pixels, band descriptions, units, metadata (the share of
// cells outside the calibrated region from the tiles' counts), statistics,
// overviews. The run's extent is the DEM's grid as the tiles' metadata give
// it (DEM_SIZE): each of its cells must lie in exactly one tile (DEM_WINDOW).
// Refused in one sentence: a tile that is no map of veranta-map's, tiles of
// different runs (DEM, grid, season, shading, bands, coordinate system),
// overlapping tiles, a tile missing, an output that is a tile. control (may
// be null) follows the cells copied and can cancel.
int mosaicMaps(const std::vector<std::string> &tiles, const std::string &output, map_control *control,
               std::string *refusal);

#endif
