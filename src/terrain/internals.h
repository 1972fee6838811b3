// The terrain core's own steps, for its files and its tests, not for the
// window or the command-line tool (they call terrain.h): the DEM's cells in
// metres and degrees, Horn's slope, the horizons, the parts a map run is
// split into and the suns kept between them.
#ifndef VERANTA_TERRAIN_INTERNALS_H
#define VERANTA_TERRAIN_INTERNALS_H

#include "terrain/terrain.h"

#include <atomic>
#include <cpl_error.h>
#include <string>
#include <thread>

// How a map run splits the raster: parts of at most kMapPart x kMapPart
// cells, computed one after the other, each on every thread; a 1000 x 1000
// raster is one part. With shading a part is as large as its horizons (its
// cells times the directions) and the elevations within the search distance
// around it let it be within kMapPartBytes (mapPartSide).
constexpr int kMapPart = 1024;
constexpr double kMapPartBytes = 512e6;
// The side of the parts of a run over the DEM with these options (whether
// horizons are computed or not): kMapPart, or less, down to 128, where a
// part's horizons and surroundings would pass kMapPartBytes.
int mapPartSide(const dem_source *dem, const map_options *options, bool horizons);
// Suns alive at once, those kept between parts included: a part's cells are
// computed block by block in batches of this many (a season's sun block is
// some 7 MB), so memory stays bounded whatever the cell size.
constexpr unsigned kMapSuns = 32;

// Metric width and height of the cells of a row: from the projected CRS's
// unit, or for degrees from the WGS 84 ellipsoid at the row's latitude.
void cellSize(const dem_source *dem, int row, double *width, double *height);

// Elevations in metres of the window (x0, y0, w, h), row by row, NaN for
// nodata. TERRAIN_OK or TERRAIN_FAILED.
int readDemWindow(const dem_source *dem, int x0, int y0, int w, int h, float *metres, std::string *refusal);

// The grid of a window of the DEM: its geotransform, CRS, row areas and the
// cell width at its middle row.
land_grid gridOfWindow(const dem_source *dem, const map_window &window);

// WGS 84 latitude and longitude (east positive) of the centres of the cells
// (x0, y0, w, h). TERRAIN_OK or TERRAIN_FAILED.
int cellLatLon(const dem_source *dem, int x0, int y0, int w, int h, double *latitude, double *longitude,
               std::string *refusal);

// Tilt and aspect by Horn's method of the cells (x0, y0, w, h) of a window
// of elevations (width ww, height wh, NaN for nodata) whose borders are the
// raster's: beyond them the terrain is extrapolated, a nodata neighbour takes
// the cell's own value. width[] and height[] are the metric cell sizes of the
// window's rows. Tilt in degrees; aspect clockwise from north, the way the
// slope faces, -1 for flat ground; NaN for nodata cells.
void hornSlope(const float *z, int ww, int wh, const double *width, const double *height, int x0, int y0, int w,
               int h, float *tilt, float *aspect);

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
// The same written where to says: the angle of cell (row, col) of the w x h
// cells in direction k at base[row * row_stride + col * cell_stride + k *
// direction_stride], so that a map's bands can take them in place.
struct horizon_out {
    float *base;
    size_t row_stride;
    size_t cell_stride;
    size_t direction_stride;
};
int terrainHorizons(const horizon_grid *grid, int directions, double distance, int x0, int y0, int w, int h,
                    const horizon_out *to, int threads, map_control *control);

// The description of horizon band k (0-based) of directions: its direction.
std::string horizonBandDescription(int directions, int k);

// Suns placed for one season, kept across the parts of a run so that no
// block is placed twice while it is in use (sunCache.h).
struct sun_cache;
sun_cache *newSunCache(const season_range *season);
void freeSunCache(sun_cache *cache);

// An empty map of the window: its grid and layout, every band and every
// wanted extra at kMapNodata (positions at 0), the counts at 0.
void newLandMap(const dem_source *dem, const map_options *options, const map_window &window, const map_wants *wants,
                land_map *map);

// One part (a window within map's grid) computed into map: the DEM around
// it, tilt and aspect, positions, horizons, then every cell's season under
// its block's sun; each band and each extra map holds (newLandMap) gets the
// part's cells, and the part's counts are added to map's. The options are
// map's own and are not checked again. cache may be null. groups (of the
// map's grid as map_wants takes them; null: every cell in group 1) add the
// part's cells' running degree days to map's group_days when it keeps them.
int computeMapPart(const dem_source *dem, const map_window &part, sun_cache *cache, map_control *control, land_map *map,
                   std::string *refusal, const std::int32_t *groups = nullptr);

// The anchor of map's options (mapAnchor.h) applied to the cells of a window
// of its grid, freshly computed: each month's degree days plus its offset,
// never below 0, and the season's formed again from them. Nothing for a map
// that is not anchored.
void anchorCells(land_map *map, const map_window &cells);

// The window of the raster an extent covers, or TERRAIN_BAD_OPTION when its
// tile lies outside.
int extentWindow(const dem_source *dem, const map_extent *extent, map_window *window, std::string *refusal);

// A season's own cancel (sweep_control, heard day by day inside a run of
// cells or a sun block's placing, each of which may take a second or more)
// set from the map's while alive: a watcher polls the map's every 20 ms.
class cancel_relay {
public:
    cancel_relay(const map_control *from, sweep_control *to);
    ~cancel_relay();
    cancel_relay(const cancel_relay &) = delete;
    cancel_relay &operator=(const cancel_relay &) = delete;

private:
    std::atomic<bool> done_{false};
    std::thread watcher_;
};

// Whether any file beside path under its name (path.ovr, path.aux.xml,
// stem.tfw, ...), which GDAL may read as soon as it opens path, is other
// than a regular file or a folder: TERRAIN_UNREADABLE with "it reads X
// beside it, which is not a regular file". openDem asks before opening;
// demFiles for every file it lists.
int demNeighbours(const std::string &path, std::string *refusal);

// Keeps GDAL's last failure on this thread while alive, for a refusal to say
// (its messages are not printed): a GDAL error handler pushed and popped.
class gdal_failure {
public:
    gdal_failure();
    ~gdal_failure();
    gdal_failure(const gdal_failure &) = delete;
    gdal_failure &operator=(const gdal_failure &) = delete;
    // " (GDAL: ...)" with the last failure, or "" when there was none.
    std::string said() const;
    void forget() { last_.clear(); }

private:
    static void CPL_STDCALL keep(CPLErr type, CPLErrorNum number, const char *message);
    std::string last_;
};

#endif
