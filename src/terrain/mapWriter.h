// The one GeoTIFF writer of the map: whether the parts come computed one by
// one (writeMap, bounded memory) or from a map already in memory
// (writeLandMap, the window's export), the file is made, described and
// committed the same way, so both give the same pixels, band descriptions
// and metadata.
#ifndef VERANTA_TERRAIN_MAPWRITER_H
#define VERANTA_TERRAIN_MAPWRITER_H

#include "files/safeWrite.h"
#include "terrain/internals.h"

#include <string>

struct map_writer {
    safe_write map;
    safe_write horizons;
    bool map_begun = false;
    bool horizons_begun = false;
    void *map_ds = nullptr;        // GDALDatasetH
    void *horizons_ds = nullptr;
    std::string output;
    std::string horizons_path;
    map_options options;
    int x0 = 0;                    // the file's first cell, in the raster's cells
    int y0 = 0;
    int bands = 0;
};

// Starts the files of the grid (a window of the raster): temporary files
// beside the targets, tiled DEFLATE Float32 GeoTIFFs with the layout's bands
// described; the horizons too (options->directions bands) unless
// horizons_path is empty.
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
