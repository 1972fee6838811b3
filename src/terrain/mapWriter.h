// The one GeoTIFF writer of the map: whether the parts come computed one by
// one (writeMap, bounded memory), from a map already in memory
// (writeLandMap, the window's export) or from the tiles of a run
// (mosaicMaps), the file is made, described and committed the same way, so
// all give the same pixels, band descriptions and metadata.
//
// A file is first a scratch GeoTIFF beside the target (quickly compressed),
// filled part by part; once whole it gets its metadata, each band's unit and
// statistics and its overviews, and is then copied in the layout of a Cloud
// Optimized GeoTIFF (tiled 256 x 256, DEFLATE with the floating-point
// predictor, overviews before the full resolution) to the safe writer's
// temporary file, which is renamed into place. Cancelled or failed, both
// temporaries go without their cached blocks being written.
#ifndef VERANTA_TERRAIN_MAPWRITER_H
#define VERANTA_TERRAIN_MAPWRITER_H

#include "files/safeWrite.h"
#include "terrain/internals.h"

#include <string>
#include <utility>
#include <vector>

// One band of a file: what GIS programs show, its unit type, and whether its
// overviews take a cell's value rather than the mean (aspect, an angle with
// -1 for flat ground, and a block's number have no meaningful mean).
struct file_band {
    std::string description;
    std::string unit;
    bool nearest = false;
};

// The bands of a season map's layout, and of a horizons file.
std::vector<file_band> mapFileBands(const band_layout &layout);
std::vector<file_band> horizonFileBands(int directions);

// Name and value of a dataset metadata item.
using map_metadata = std::vector<std::pair<std::string, std::string>>;

// The metadata that say where a file lies in its run and how it was
// computed (see README): CONTENT, DEM_FILE, DEM_BAND, DEM_SIZE,
// DEM_GEOTRANSFORM, DEM_WINDOW, for a parcel's run PARCEL_FILE and
// RUN_WINDOW, then for a season map YEAR, SEASON, SHADING,
// DIRECTIONS, DISTANCE_METRES and the counts, for horizons DIRECTIONS and
// DISTANCE_METRES.
map_metadata seasonMetadata(const land_grid &grid, const map_options &options, long cells, long cells_outside);
map_metadata horizonMetadata(const land_grid &grid, const map_options &options);
// The counts of a season map: cells with an elevation, those outside the
// calibrated region and their share.
map_metadata countMetadata(long cells, long cells_outside);

// Metadata items that differ between the tiles of one run; every other item
// is the same in each.
bool tileMetadataItem(const std::string &name);

struct map_file {
    std::string path;
    safe_write target;     // the file put in place
    safe_write scratch;    // the parts as they come
    bool begun = false;
    void *ds = nullptr;    // the scratch's GDALDatasetH
    int x0 = 0;            // the file's first cell, in the raster's cells
    int y0 = 0;
    int width = 0;
    int height = 0;
    std::vector<file_band> bands;
    std::vector<map_window> written;   // in the order put, for dropping the cached ones unwritten
    bool finished = false; // copied to target.temp_path, waiting to be renamed
};

// Starts a file of the grid (a window of the raster) at path.
int beginMapFile(map_file *file, const land_grid *grid, const std::vector<file_band> &bands, const std::string &path,
                 std::string *refusal);
// Writes the cells (a window of the raster, within the file's) from values,
// band after band, each row by row, of the window at (origin_x, origin_y)
// of width stride_width and height stride_height in the raster's cells; a
// block row at a time, so that control (may be null) can cancel it.
int putMapFile(map_file *file, const float *values, int origin_x, int origin_y, int stride_width, int stride_height,
               const map_window &cells, map_control *control, std::string *refusal);
// Adds the metadata, each band's statistics and the overviews, and copies
// the scratch in its final layout to the target's temporary file.
int finishMapFile(map_file *file, const map_metadata &metadata, map_control *control, std::string *refusal);
// Renames the finished file into place.
int commitMapFile(map_file *file, std::string *refusal);
// Gives up: drops what GDAL holds unwritten and removes the temporaries.
void abandonMapFile(map_file *file);

struct map_writer {
    map_file map;
    map_file horizons;
    bool with_horizons = false;
    map_options options;
    land_grid grid;
    map_control *control = nullptr;   // may be null; cancels between block rows
};

// Starts the files of the grid (a window of the raster): the map with the
// layout's bands described; the horizons too (options->directions bands)
// unless horizons_path is empty.
int beginMapWriter(map_writer *writer, const land_grid *grid, const band_layout *layout, const map_options *options,
                   const std::string &output, const std::string &horizons_path, std::string *refusal);

// Writes the cells (a window of the raster) of part, which must hold them
// (and their horizons when the writer writes them), straight from its bands.
int writeMapPart(map_writer *writer, const land_map *part, const map_window &cells, std::string *refusal);

// Adds the metadata (cells with an elevation and those outside the calibrated
// region give its share), finishes the files and puts them in place.
int commitMapWriter(map_writer *writer, long cells, long cells_outside, std::string *refusal);

// Gives up: closes what is open and removes the temporary files.
void abandonMapWriter(map_writer *writer);

#endif
