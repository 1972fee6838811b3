// A parcel's map on a DEM of any size: only the blocks' extent is computed
// (and only it and the search distance around it read), the cells outside
// every block are nodata, and each cell's block number has a band of its
// own; and a computed map seen by the block figures. No GTK and no global
// state: the map window calls these on a worker (progress and cancel
// through map_control), veranta-map on its main thread.
#ifndef VERANTA_PARCEL_PARCELMAP_H
#define VERANTA_PARCEL_PARCELMAP_H

#include "parcel/parcel.h"
#include "terrain/terrain.h"

#include <cstdint>
#include <string>
#include <vector>

// The DEM's grid as the parcel core takes it.
parcel_grid demParcelGrid(const dem_source *dem);

// Where a parcel lies on a DEM.
struct parcel_on_dem {
    parcel_placement placement;               // the blocks outside the DEM, and its notes
    map_window extent;                        // the blocks' extent, in the DEM's cells
    std::vector<std::int32_t> block_of_cell;  // of the extent, row by row: k + 1 for block k, 0 for none
};

// Places the parcel (read in the DEM's CRS) on the DEM and finds the block
// of each cell of the blocks' extent. False with one sentence when no block
// holds a cell of the DEM.
bool placeParcelOnDem(const parcel *p, const dem_source *dem, parcel_on_dem *out, std::string *refusal);

// The block-number band, described with the blocks' names in file order
// (shortened, saying how many are left out, when there are many).
map_band blockNumberBand(const parcel *p);

// Makes a computed map a parcel's: blocks (k + 1 for block k, 0 outside
// every block; row by row over the map's grid) become the block-number band,
// added through the layout; every other band, elevation, horizon and edge
// month of a cell outside every block becomes kMapNodata; the counts are the
// blocks' cells alone; the grid names the parcel's file. False with one
// sentence when the blocks are not of the map's grid or it has the band.
bool applyBlocks(land_map *map, const parcel *p, const std::vector<std::int32_t> &blocks, std::string *refusal);

// The map of the blocks' extent, or of one tile of it (tile: its size and
// column and row; null or size 0 for the whole extent), as computeMap
// computes it, then: the block-number band added through the layout (after
// the season's bands, before a target's), every other band, elevation,
// horizon and edge month of a cell outside every block set to kMapNodata,
// and the counts (the map's and control's) of the blocks' cells alone. The
// cells inside the blocks are those of a run of the whole DEM, to the bit.
// Besides what wants asks for, the map keeps what the block figures need:
// elevations, positions and the whole edge months. The grid records the
// parcel's file and the extent (the metadata of its files). A TERRAIN_*
// code, with one sentence in *refusal. What it reads of the DEM is
// runWindow's of the tile with within set to on->extent.
int computeParcelMap(const dem_source *dem, const map_options *options, const parcel *p, const parcel_on_dem *on,
                     const map_extent *tile, const map_wants *wants, map_control *control, land_map *map,
                     std::string *refusal);

// The block of each cell of map, from its block-number band.
bool blockNumbersOf(const land_map *map, std::vector<std::int32_t> *blocks, std::string *refusal);

// map's bands as the block figures take them (parcelThreshold,
// blockFigures), with block_of_cell the block of each of its cells
// (blockNumbersOf, or blockCells over its grid), which must outlive *out,
// as map must. False with one sentence when map lacks what the figures
// need: positions, elevations and the season's bands.
bool blockMapOf(const land_map *map, const std::int32_t *block_of_cell, block_map *out, std::string *refusal);

#endif
