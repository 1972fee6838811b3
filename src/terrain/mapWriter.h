// The one GeoTIFF writer of the map: whether the parts come computed one by
// one (veranta-map, bounded memory) or from a map already in memory (the
// window's export), the file is made, described and committed the same way,
// so both give the same pixels, band descriptions and metadata.
#ifndef VERANTA_TERRAIN_MAPWRITER_H
#define VERANTA_TERRAIN_MAPWRITER_H

#include "files/safeWrite.h"
#include "terrain/terrain.h"

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
    int x0 = 0;                    // the extent written, in the raster's cells
    int y0 = 0;
    int bands = 0;
};

// Starts the files of the extent (x0, y0, w, h) of the grid: temporary files
// beside the targets, tiled DEFLATE Float32 GeoTIFFs with their bands
// described; the horizons too unless horizons_path is empty.
int beginMapWriter(map_writer *writer, const map_grid *grid, const map_options *options, int x0, int y0, int w, int h,
                   const std::string &output, const std::string &horizons_path, std::string *refusal);

// Writes the cells (x, y, w, h) of the raster, which tile holds (its horizons
// too when the writer writes them).
int writeMapPart(map_writer *writer, const map_tile *tile, int x, int y, int w, int h, std::string *refusal);

// Adds the metadata (cells with an elevation and those outside the calibrated
// region give its share), finishes the files and puts them in place.
int commitMapWriter(map_writer *writer, long cells, long cells_outside, std::string *refusal);

// Gives up: closes what is open and removes the temporary files.
void abandonMapWriter(map_writer *writer);

#endif
