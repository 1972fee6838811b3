// Elevation for a grower's area, fetched from a public elevation model: the
// tiles covering the area are read window by window over HTTP through GDAL's
// /vsicurl/, mosaicked, reprojected to the UTM zone of the area's centre and
// kept as a GeoTIFF in a cache folder, so the same area and source again is
// read from disk without the network. No GTK and no global state: the map
// window's worker and veranta-map call the same entry point.
#ifndef VERANTA_ELEVATION_ELEVATION_H
#define VERANTA_ELEVATION_ELEVATION_H

#include <atomic>
#include <string>
#include <vector>

enum elevation_source_id {
    ELEVATION_CHOOSE = 0,      // 3DEP where it covers the whole area, else Copernicus
    ELEVATION_COPERNICUS = 1,  // Copernicus DEM GLO-30
    ELEVATION_3DEP = 2,        // USGS 3DEP 1/3 arc-second
};

// What a source is, as its provider publishes it; README says where each
// fact comes from.
struct elevation_source {
    elevation_source_id id;
    const char *key;              // "copernicus" or "3dep": command line, metadata, cache names
    const char *name;             // for people: "Copernicus DEM GLO-30"
    const char *cover;            // where it has tiles
    const char *cells;            // its own cell size, in arc-seconds
    double resolution_metres;     // the cell size of the reprojected grid, metres
    bool surface_model;           // tree tops and roofs (true) or bare earth
    const char *heights;          // what the heights are, and their datum
    const char *vertical_datum;
    const char *licence;
    const char *attribution;      // must accompany every result made from it
    const char *url_variable;     // the environment variable that replaces the base address
    const char *default_url;
};

// The source of an id or a key ("copernicus", "3dep"); null for
// ELEVATION_CHOOSE and unknown keys.
const elevation_source *elevationSource(elevation_source_id id);
const elevation_source *elevationSourceByKey(const std::string &key);

// One line for a chooser: name, licence, and what its heights are.
std::string elevationLicenceLine(const elevation_source *source);

// Where the tiles come from and where results are kept. Built from the
// environment by elevationSettingsFromEnvironment; tests may fill it by hand.
struct elevation_settings {
    std::string copernicus_url;   // no trailing slash
    std::string threedep_url;
    std::string cache_dir;        // holds the fetched GeoTIFFs and Copernicus's tile list
};

// VERANTA_COPERNICUS_URL and VERANTA_3DEP_URL, else the providers' buckets;
// VERANTA_CACHE_DIR, else $XDG_CACHE_HOME/veranta/elevation, else
// ~/.cache/veranta/elevation. Empty variables count as unset.
elevation_settings elevationSettingsFromEnvironment();

// A 1° tile: its file name without folder, its address, its south-west corner.
struct elevation_tile {
    std::string name;
    std::string url;
    int south = 0;   // degrees
    int west = 0;
};

// Tiles whose 1° squares meet the longitude/latitude box, north to south,
// west to east. Copernicus names a tile by its south-west corner
// (Copernicus_DSM_COG_10_N45_00_W124_00_DEM), 3DEP by its north-west corner
// (n46w124 for the square 45°-46° N, 124°-123° W); a corner on the equator or
// the prime meridian counts as north or east. Empty for ELEVATION_CHOOSE.
std::vector<elevation_tile> elevationTiles(elevation_source_id source, const std::string &base_url, double west,
                                           double south, double east, double north);

// The grower's area: a WGS 84 box (a parcel's bounding box, or a centre with
// west == east and south == north) and the distance around it to include,
// for the terrain's shade.
struct elevation_area {
    double west = 0.0;            // degrees, east positive
    double south = 0.0;
    double east = 0.0;
    double north = 0.0;
    double margin_metres = 0.0;
};

enum elevation_status {
    ELEVATION_OK = 0,
    ELEVATION_BAD_AREA = 1,       // not a box, across the 180th meridian, beyond UTM's latitudes, too large
    ELEVATION_UNREACHABLE = 2,    // no network, a time-out, a server error
    ELEVATION_MISSING_TILE = 3,   // a Copernicus tile over land is not there
    ELEVATION_NOT_COVERED = 4,    // 3DEP has no tile for part of the area
    ELEVATION_ALL_SEA = 5,        // Copernicus has no tile anywhere in the area: open sea
    ELEVATION_DAMAGED_TILE = 6,   // a tile is cut short or not a GeoTIFF
    ELEVATION_CANCELLED = 7,
    ELEVATION_FAILED = 8,         // the cache folder or the GeoTIFF cannot be written
};

// The grid an area is fetched onto, and what is read for it.
struct elevation_plan {
    const elevation_source *source = nullptr;
    int epsg = 0;                 // WGS 84 / UTM: 326zz north of the equator, 327zz south
    double resolution = 0.0;      // metres
    double x0 = 0.0;              // upper-left corner, metres (multiples of the resolution)
    double y0 = 0.0;
    int width = 0;                // cells
    int height = 0;
    double west = 0.0;            // the longitude/latitude box read, degrees: the
    double south = 0.0;           // grid's extent with room for the interpolation
    double east = 0.0;
    double north = 0.0;
    std::vector<elevation_tile> tiles;
    std::string cache_path;       // named by source, grid and resolution
};

// The grid, tiles and cache file for an area from a source (not
// ELEVATION_CHOOSE), without touching the network: also what the window shows
// before fetching. ELEVATION_OK or ELEVATION_BAD_AREA with one sentence.
int planElevation(const elevation_area &area, elevation_source_id source, const elevation_settings &settings,
                  elevation_plan *plan, std::string *refusal);

// Written by the fetch, read by the caller's thread; cancel is read by the
// fetch between tiles and while warping.
struct elevation_progress {
    std::atomic<int> tiles_total{0};
    std::atomic<int> tiles_opened{0};   // found, or known to be sea
    std::atomic<double> fraction{0.0};  // of the whole fetch, 0 to 1
    std::atomic<bool> cancel{false};
};

struct elevation_result {
    std::string path;             // the GeoTIFF in the cache folder
    const elevation_source *source = nullptr;
    bool from_cache = false;
    int epsg = 0;
    double resolution = 0.0;      // metres
    int width = 0;
    int height = 0;
    std::string fetched;          // when the tiles were read, ISO 8601 UTC
    std::vector<std::string> urls;       // the tiles read
    std::vector<std::string> sea_tiles;  // Copernicus tiles not published because they lie over open sea
};

// Fetches the elevation of the area from the source, or takes it from the
// cache. The GeoTIFF is Float32, nodata -9999, metres, tiled and compressed,
// reprojected bilinearly; its metadata hold ELEVATION_SOURCE,
// ELEVATION_SOURCE_NAME, ELEVATION_URLS, ELEVATION_FETCHED,
// ELEVATION_LICENCE, ELEVATION_ATTRIBUTION and what the heights are.
// GDAL's HTTP settings (GDAL_HTTP_TIMEOUT, GDAL_HTTP_PROXY, ...) set by the
// user are honoured; the rest get defaults for this call's thread only.
// Anything but ELEVATION_OK comes with one plain sentence in *refusal and
// leaves nothing new in the cache folder; GDAL's messages go into that
// sentence, never to stderr. progress may be null.
int fetchElevation(const elevation_area &area, elevation_source_id source, const elevation_settings &settings,
                   elevation_progress *progress, elevation_result *result, std::string *refusal);

#endif
