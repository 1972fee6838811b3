// The land a map is made of and the computations of it, without widgets:
// opening an elevation model and saying what it is or why it cannot be used,
// the made-up example land, one computation as the window's worker runs it,
// and the maps computed in this session, kept by file and settings.
#ifndef VERANTA_LANDMAP_LANDMAPRUN_H
#define VERANTA_LANDMAP_LANDMAPRUN_H

#include "model/sweepSeason.h"
#include "terrain/terrain.h"

#include <atomic>
#include <memory>
#include <string>

// What opening a file found.
struct landmap_land {
    bool usable = false;
    std::string path;
    std::string name;   // the file's name as the window shows it
    // Usable: what it is (name, size in cells and hectares, cell size,
    // coordinate system, and once read its elevations) on a few lines.
    // Otherwise the one sentence that says why it cannot be used.
    std::string said;
    // Refused only for its size: its map would not fit in memory whole
    // (the window then shows it coarsely and maps a chosen area of it).
    bool too_large = false;
};
// Opens and describes the elevation model at path without reading any of
// its cells, so that a raster too large is refused at once: one whose map
// would need more than half of memory_bytes (0: not known, no limit), or
// whose files are not all regular files. A file at example is named as the
// made-up example land.
landmap_land landmap_land_open(const std::string &path, const std::string &example, double memory_bytes);

// A land opened, its elevations then read once on the window's worker: a
// land whose cells hold elevations no land has, or none at all, cannot be
// used (the terrain core's own check, veranta-map's too); otherwise its
// lowest and highest complete what is said of it.
struct landmap_survey {
    landmap_land land;                 // as opened, then as read
    std::string credit;                // a fetched model's source and attribution, filled by the window
    std::atomic<bool> cancel{false};   // stops the reading soon
};
void landmap_survey_work(landmap_survey *survey);

// The file's name as the window shows it (in the desktop's encoding).
std::string landmap_land_name(const std::string &path);
// This computer's memory in bytes, 0 when it cannot be told.
double landmap_memory_bytes(void);
// The made-up example land shipped with the program, or "" when missing.
std::string landmap_example_land(void);

// One computation of a map, made on the main loop, worked on the worker,
// taken back on the main loop.
struct landmap_run {
    std::string path;
    map_options options;
    long long started = 0;         // monotonic microseconds, set by whoever starts it
    long long file_size = -1;      // the file's size and modification time (ns) when it was read
    long long file_modified = 0;
    std::shared_ptr<const land_map> result;   // null when nothing was computed
    std::string refusal;           // then why, for the window
    map_control control;           // the progress and the stop

    landmap_run();
    ~landmap_run();
    landmap_run(const landmap_run &) = delete;
    landmap_run &operator=(const landmap_run &) = delete;
};
// Reads the file, its elevations checked again as on opening, and computes
// every band in memory, with the elevations, positions and whole edge
// months the window reads.
void landmap_run_work(landmap_run *run);
// A computed map anchored to a weather station, on the worker: each month's
// offset (the station's measured mean over its complete years minus the
// estimate at its site) added to every cell's month, never below 0, the
// season's degree days formed again; the map kept as it was. The site comes
// from the file, else from site; a map with a target's day is refused (that
// day comes from the estimate's own days, which anchoring does not move).
struct landmap_anchor_run {
    std::shared_ptr<const land_map> map;        // as computed, not anchored
    std::string station_path;
    bool site_given = false;
    site_location site{};                      // degrees, east positive; metres
    std::atomic<bool> cancel{false};
    std::shared_ptr<const land_map> result;    // the anchored copy, null when refused
    std::string refusal;                       // one sentence naming the file
};
void landmap_anchor_work(landmap_anchor_run *run);

// Share of a computation's cells done, 0 to 1, and the progress bar's words
// for it: reading until the cells are counted, then "N % of" cells.
double landmap_cells_progress(const map_control &control);
std::string landmap_cells_progress_text(const map_control &control, const char *reading, const char *cells);
// The same for the land's own run.
double landmap_run_progress(const landmap_run *run);
std::string landmap_run_progress_text(const landmap_run *run);
// Runs not yet freed, cancelled ones whose worker has not finished included.
int landmap_runs_under_way(void);

// A file's size and its modification time in nanoseconds; false when it
// cannot be looked at.
bool landmap_file_stamp(const std::string &path, long long *size, long long *modified);
// The session's map of the file as it is now with these settings, or null.
std::shared_ptr<const land_map> landmap_remembered(const std::string &path, const map_options *options);
// Keeps a finished run's map; the session keeps the last few.
void landmap_remember(const landmap_run *run);
// Maps kept at most: a million-cell map holds 100 to 150 MB.
constexpr int kLandmapRemembered = 3;

#endif
