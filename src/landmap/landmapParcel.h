// A grower's parcel in the map window, without widgets: its outline read and
// placed on the land open on the window's worker, the map of only the
// blocks' window computed, the cells outside every block taken out of every
// figure, the parcel's answer and readout, and the parcel maps of this
// session, kept by land, parcel and settings.
#ifndef VERANTA_LANDMAP_LANDMAPPARCEL_H
#define VERANTA_LANDMAP_LANDMAPPARCEL_H

#include "parcel/parcel.h"
#include "terrain/terrain.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An outline read for the land open, as the window keeps it.
struct landmap_parcel {
    std::string path;
    std::string name;   // the file's name as the window shows it
    long long file_size = -1, file_modified = 0;
    std::string dem_path;              // the land it is placed on; "" for none yet
    parcel blocks;                     // reprojected to that land's CRS (WGS 84 without a land)
    parcel_placement placement;        // where its blocks lie on the land (empty without one)
    // The blocks' bounding box in WGS 84 (west, south, east, north; degrees
    // east and north), for fetching their elevation.
    double box[4] = {};
};

// The file endings of outlines a grower may open (for the chooser's filters
// and to tell a dropped outline from a dropped elevation model).
std::vector<std::string> landmap_parcel_endings(void);
bool landmap_parcel_file(const std::string &path);

// Reading an outline for the land at dem_path, on the worker: read,
// reprojected to the land's CRS and placed on its grid (without a land, ""
// read in WGS 84 and not placed). A refusal is one sentence naming the file.
struct landmap_parcel_read {
    std::string path;
    std::string dem_path;
    std::shared_ptr<const landmap_parcel> result;   // null when refused
    std::string refusal;
};
void landmap_parcel_read_work(landmap_parcel_read *read);

// What the window says of a parcel: its name, its blocks, the cell rule, and
// each note (what was ignored, repaired or lies outside the land).
std::string landmap_parcel_said(const landmap_parcel &p);

// The cells of the land a parcel's map reads: the blocks' window and, when
// shaded, the search distance around it, as the terrain core reads them.
map_window landmap_parcel_read_window(const dem_source *dem, const map_options *options, const map_window *window);

// The map of a window of the land at dem_path, with what the window reads
// besides the bands: the elevations the run reads checked first, then the
// terrain core's map of the window, keeping the running degree days of the
// groups of its cells (map_wants::groups) when it has a target. A
// terrain_refusal, with *refusal.
int landmap_compute_window(const std::string &dem_path, const map_options *options, const map_window *window,
                           map_control *control, land_map *map, std::string *refusal,
                           const std::int32_t *groups = nullptr, int group_count = 0);

// A parcel's map: computed over the blocks' window only, then every cell
// whose centre lies in no block made a cell without data in every band, so
// that the window's answer, histogram and threshold count only the parcel.
struct landmap_parcel_map {
    std::shared_ptr<const landmap_parcel> parcel;
    std::shared_ptr<const land_map> map;
    std::vector<std::int32_t> block_of_cell;   // k + 1 for block k, 0 outside every block
};

// Makes *out of a map computed over the placement's window, blocks the
// block of each of its cells (blockCells over that window). False with one
// sentence when the map does not lie on that window.
bool landmap_parcel_mask(const land_map &computed, const std::shared_ptr<const landmap_parcel> &p,
                         std::vector<std::int32_t> blocks, landmap_parcel_map *out, std::string *refusal);

// The map's bands as the parcel core reads them (pointers into m).
block_map landmap_block_map(const landmap_parcel_map &m);

// The readout of the cell under the pointer, its block named first; the
// hint when col < 0.
std::string landmap_parcel_spot(const landmap_parcel_map &m, int col, int row);
// The block of a cell, 0 outside every block or the grid.
int landmap_parcel_block_at(const landmap_parcel_map &m, int col, int row);

// One computation of a parcel's map on the worker.
struct landmap_parcel_run {
    std::string dem_path;
    map_options options;
    std::shared_ptr<const landmap_parcel> parcel;
    long long started = 0;   // monotonic microseconds, set by whoever starts it
    long long file_size = -1, file_modified = 0;
    std::shared_ptr<const landmap_parcel_map> result;   // null when nothing was computed
    std::string refusal;
    map_control control;
};
// Checks the elevations the run reads, computes the blocks' window and
// takes out the cells outside every block.
void landmap_parcel_run_work(landmap_parcel_run *run);

// The session's parcel map of this land, parcel and settings as the files
// are now, or null; and keeping a finished one (the last few are kept).
std::shared_ptr<const landmap_parcel_map> landmap_parcel_remembered(const std::string &dem_path,
                                                                    const std::string &parcel_path,
                                                                    const map_options *options);
void landmap_parcel_remember(const landmap_parcel_run *run);

#endif
