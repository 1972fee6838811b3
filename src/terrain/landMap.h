// One computed map of the land, as every reader takes it: the grid it lies
// on, which quantity sits in which band, the values, the counts, and what
// else was asked for. computeMap makes it; the window, the GeoTIFF writer and
// the figures read it as it is. Never changed once made.
#ifndef VERANTA_TERRAIN_LANDMAP_H
#define VERANTA_TERRAIN_LANDMAP_H

#include "model/degreeDayTarget.h"
#include "model/sweepSeason.h"

#include <string>
#include <vector>

// Where a map has no value: a cell without an elevation.
constexpr float kMapNodata = -9999.0f;

// A map anchored to a weather station: each month's degree days moved by
// the station's measured mean minus the estimate at its site, so that the
// map keeps the terrain's differences from the formula and takes its level
// from the station (mapAnchor.h).
struct map_anchor {
    std::string station;          // the station's file name without its folder; empty: not anchored
    double latitude = 0.0;        // the station's site: degrees north
    double longitude = 0.0;       // degrees east, west negative
    double elevation = 0.0;       // metres above sea level
    double offsets[12] = {};      // degC degree days, measured mean - estimate; index 0 = January
    bool anchored() const { return !station.empty(); }
};

// How a map is computed: the season, the terrain's shading, and a
// degree-day target whose date gets a band of its own; and the station its
// degree days are anchored to, if any.
struct map_options {
    season_range season = {2000, 1, 4, 31, 10};
    bool shade = true;
    int directions = 32;
    double distance = 5000.0;   // metres
    int threads = 0;            // 0: one per core
    double target = 0.0;        // degC degree days above 10 degC; 0: no target band
    map_anchor anchor;          // not anchored unless its station is named
};
// The largest target a map takes, degC degree days.
constexpr double kMaxTarget = 10000.0;

// The cells a map covers: a window of the DEM, the whole of it included.
struct land_grid {
    int width = 0;
    int height = 0;
    int x0 = 0;                    // the map's first cell, in the DEM's cells
    int y0 = 0;
    double transform[6] = {};      // GDAL's geotransform of the map itself, north up
    std::string crs_wkt;
    std::vector<double> row_area;  // m² of one cell of each row (a geographic grid's shrink poleward)
    double cell_width = 0.0;       // metres across one cell of the middle row
    // The whole raster the grid is a window of, as the map's files record it
    // (so that tiles of one run can be told and joined): its file's name
    // without the folder, the band read, its size and geotransform.
    std::string raster_file;
    int raster_band = 0;
    int raster_width = 0;
    int raster_height = 0;
    double raster_transform[6] = {};
    // A parcel's run: the outline file's name without the folder, and the
    // window of the raster the run covers (the blocks' extent, which its
    // tiles share out); empty and 0 x 0 for a run of the whole raster.
    std::string parcel_file;
    int run_x0 = 0;
    int run_y0 = 0;
    int run_width = 0;
    int run_height = 0;
    // Where the DEM's elevations come from, as a fetched DEM's metadata say
    // (ELEVATION_SOURCE, ELEVATION_ATTRIBUTION): carried on into the map's
    // files, as the source's licence asks; empty for any other DEM.
    std::string elevation_source;
    std::string elevation_attribution;
    long cells() const { return static_cast<long>(width) * height; }
};

// What a band holds. New quantities go at the end.
enum class map_quantity {
    degree_days,
    irradiation,
    tilt,
    aspect,
    shadow_minutes,
    block_number,   // a parcel's block of each cell, 0 outside every block
    target_day,     // the day of the year a degree-day target is reached, 0 where not
};

struct map_band {
    map_quantity quantity;
    int month;                 // 1 = January; 0 for the whole season, or for no season at all (tilt, aspect)
    std::string description;   // as GIS programs show it
    std::string unit;          // "MJ/m2", "degC degree days", "degree", "minute" or "day of year"
};

// Which band holds what: the one place that knows. Readers ask find() for a
// quantity rather than counting bands, so a band appended later moves none
// of theirs.
//
// The season's bands come first, always the same for a season; the optional
// bands follow them in one fixed order whatever order they are added in:
// the block number (a parcel's run), then the target day. A file with only
// some of them has those in that order, right after the season's bands.
class band_layout {
public:
    band_layout() = default;
    // A season's bands, in this order: season degree days, season
    // irradiation, tilt, aspect, minutes in terrain shadow, then each month's
    // irradiation and degree days.
    explicit band_layout(const season_range &season);
    // The options' season's bands, then the optional bands they ask for (a
    // target: its day band, targetDayBand); anchored, the degree-day bands
    // say to which station (anchorTo).
    explicit band_layout(const map_options &options);
    int count() const { return static_cast<int>(bands_.size()); }
    const map_band &operator[](int band) const { return bands_[static_cast<size_t>(band)]; }
    // The band of quantity (and month), -1 when the map has none.
    int find(map_quantity quantity, int month = 0) const;
    // Adds a band after every other; its number.
    int append(const map_band &band);
    // Adds an optional band (block_number, target_day) in its place among
    // the optional bands, after the season's; its number, or -1 for another
    // quantity or one the layout already holds. Bands behind it move up one.
    int addOptional(const map_band &band);
    // The season's and the months' degree-day bands described as anchored
    // to the station (its file name).
    void anchorTo(const std::string &station);

private:
    std::vector<map_band> bands_;
};

// The band of the day of the year a target (degC degree days) is reached,
// described with the target.
map_band targetDayBand(double target);
// The target as its band and metadata say it: the shortest decimal that
// reads back as the same number, a decimal point whatever the locale.
std::string targetText(double target);

struct land_map {
    land_grid grid;
    map_options options;     // as it was computed
    band_layout layout;
    // Band after band, each row by row, kMapNodata where there is no elevation.
    std::vector<float> values;
    long cells_with_data = 0;   // cells with an elevation
    long cells_outside = 0;     // of them, outside the calibrated region

    // Only when asked for (map_wants), otherwise empty.
    std::vector<float> elevation;     // metres, kMapNodata where none
    std::vector<double> latitude;     // WGS 84 of each cell's centre, degrees north
    std::vector<double> longitude;    // degrees east
    int directions = 0;
    // Band after band (k * 360 / directions degrees clockwise from north):
    // the horizon's angle in degrees, kMapNodata where there is no elevation.
    std::vector<float> horizons;
    // MJ/m2 of the season's first month whole, then of its last (2 bands):
    // their degree days come from these even where the season takes only a
    // part of them.
    std::vector<float> whole_edge_months;
    // With a target and groups of cells asked for (map_wants::groups, a
    // parcel's blocks): each group's running degree days, day by day, summed
    // over its cells with data; empty otherwise.
    group_running group_days;

    const float *band(int b) const { return values.data() + static_cast<size_t>(b) * static_cast<size_t>(grid.cells()); }
    // The band of a quantity, null when the map has none.
    const float *band(map_quantity quantity, int month = 0) const;
    bool hasData(long cell) const;
};

// What computeMap keeps besides the bands.
struct map_wants {
    bool elevations = false;
    bool positions = false;
    bool horizons = false;
    bool whole_edge_months = false;
    // Groups of the map's cells (a parcel's blocks): the group of each cell
    // of the map's grid, row by row, 1..group_count, 0 for none; null with a
    // group_count of 1: every cell in group 1 (the whole land). With a
    // target, and no more than kMaxGroupDays groups times season days, the
    // map keeps each group's running degree days (land_map::group_days).
    const std::int32_t *groups = nullptr;
    int group_count = 0;
};
// The most group days a map keeps: 16 MB of sums.
constexpr long kMaxGroupDays = 1L << 20;

#endif
