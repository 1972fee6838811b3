// veranta-map: the season of every cell of a DEM as a GeoTIFF, or the tiles
// of a run joined into one. Reads the command line (mapCommand.h), checks
// the DEM (every file it reads, its elevations) and hands it to writeMap, or
// the tiles to mosaicMaps; shows progress on a terminal and says any refusal
// in one line, GDAL's own reason in it rather than on lines of its own.
#include "elevation/elevation.h"
#include "mapcli/mapCommand.h"
#include "terrain/mapFigures.h"
#include "model/readRegularFile.h"
#include "parcel/parcelMap.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <chrono>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Where a signal asks the running map to stop: the run's, and the writing
// of a map computed for a report.
std::atomic<bool> *g_cancel = nullptr;
std::atomic<bool> *g_cancel_writing = nullptr;

void onSignal(int) {
    if (g_cancel != nullptr) g_cancel->store(true);
    if (g_cancel_writing != nullptr) g_cancel_writing->store(true);
}

// The first SIGINT, SIGTERM or SIGHUP cancels (the run stops within a
// second and removes its temporary files); the handler is reset by the
// delivery, so a second one stops the program at once.
void catchSignals() {
    struct sigaction action = {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
}

// GDAL's messages that no step of the core kept for itself: never printed,
// the last failure said in the refusal.
struct gdal_messages {
    std::mutex lock;
    std::string last;
};
gdal_messages g_gdal;

void CPL_STDCALL keepGdalMessage(CPLErr type, CPLErrorNum, const char *message) {
    if ((type != CE_Failure && type != CE_Fatal) || message == nullptr) return;
    std::lock_guard<std::mutex> hold(g_gdal.lock);
    g_gdal.last = message;
    for (char &c : g_gdal.last)
        if (c == '\n' || c == '\r') c = ' ';
}

int fail(const std::string &text) {
    std::string line = text;
    {
        std::lock_guard<std::mutex> hold(g_gdal.lock);
        if (!g_gdal.last.empty() && line.find("(GDAL: ") == std::string::npos) line += " (GDAL: " + g_gdal.last + ")";
    }
    std::fprintf(stderr, "veranta-map: %s\n", line.c_str());
    return 1;
}

std::string timeLeft(double seconds) {
    char text[48];
    const long s = static_cast<long>(seconds + 0.5);
    if (s < 60) std::snprintf(text, sizeof text, "%ld s left", s);
    else if (s < 3600) std::snprintf(text, sizeof text, "%ld min %02ld s left", s / 60, s % 60);
    else std::snprintf(text, sizeof text, "%ld h %02ld min left", s / 3600, s / 60 % 60);
    return text;
}

// "[####------]  42%  12345 cells/s  3 min 20 s left": the rate since the
// first cell was done, the time left once a second of it gives a rate; the
// last line gives the run's rate.
void drawProgress(const map_control *control, double seconds, bool last) {
    const long total = control->cells_total.load();
    const long done = control->cells_done.load();
    const int width = 40;
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const int filled = static_cast<int>(share * width);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '-');
    std::string after;
    if (total == 0) {
        after = "checking the DEM";
    } else if (done >= total && !last) {
        after = "writing the file";
    } else if (done > 0 && (seconds >= 1.0 || (last && seconds > 0.0))) {
        const double rate = static_cast<double>(done) / seconds;
        char text[48];
        std::snprintf(text, sizeof text, "%.0f cells/s", rate);
        after = text;
        if (!last) after += "  " + timeLeft(static_cast<double>(total - done) / rate);
    }
    std::fprintf(stderr, "\r[%s] %3d%%  %-40s%s", bar.c_str(), static_cast<int>(share * 100.0), after.c_str(),
                 last ? "\n" : "");
    std::fflush(stderr);
}

// Follows the cells on a terminal while the run goes on.
class progress_line {
public:
    progress_line(const map_control *control, bool show) : control_(control), show_(show), begun_(now()) {
        if (show_) thread_ = std::thread([this] { follow(); });
    }
    ~progress_line() { stop(false); }
    void stop(bool finished) {
        if (!show_ || done_.exchange(true)) return;
        thread_.join();
        // A run too short for the line to see its first cell: timed from the start.
        if (finished) drawProgress(control_, now() - (start_ < 0.0 ? begun_ : start_), true);
        else std::fputc('\n', stderr);
    }

private:
    static double now() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    double seconds() const { return start_ < 0.0 ? 0.0 : now() - start_; }
    void follow() {
        while (!done_.load()) {
            // The rate counts from the first cell done, not from the checks before.
            if (start_ < 0.0 && control_->cells_done.load() > 0) start_ = now();
            drawProgress(control_, seconds(), false);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    }
    const map_control *control_;
    bool show_;
    double begun_;
    std::atomic<bool> done_{false};
    double start_ = -1.0;
    std::thread thread_;
};

// A report keeps the whole map in memory: computed with what it draws
// (elevations, positions, the edge months), once the computer is known to
// hold it.
int computeForReport(const map_command &command, const dem_source *dem, map_control *control, land_map *map,
                     std::string *refusal) {
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    wants.horizons = !command.horizons.empty();
    // The land as one group: the date its mean reaches a target.
    wants.group_count = 1;
    const double cell = std::fabs(dem->transform[1]) * (dem->geographic ? 111320.0 : dem->linear_metres);
    const double needed = computeMapBytes(dem->width, dem->height, &wants, command.options.directions,
                                          command.options.distance, cell);
    const double memory = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGE_SIZE));
    if (memory > 0.0 && needed > 0.8 * memory) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "a report keeps the whole map in memory: this DEM needs about %.1f GB, more than this computer "
                      "has (%.1f GB); cut it to the land",
                      needed / 1e9, memory / 1e9);
        *refusal = text;
        return TERRAIN_BAD_OPTION;
    }
    return computeMap(dem, &command.options, nullptr, &wants, control, map, refusal);
}

// The report drawn first, then the GeoTIFF written from the map (the very
// file writeMap writes) and the report put in place. blocks: a parcel's
// blocks on this map (blockFigures at threshold), or none.
int writeWithReport(const map_command &command, const dem_source *dem, const land_map &map,
                    const report_blocks &blocks, float threshold, std::string *refusal) {
    map_report report;
    report.map = &map;
    report.threshold = threshold;
    report.blocks = blocks;
    const std::string name = command.dem.substr(command.dem.find_last_of('/') + 1);
    report.elevation = reportElevation(dem, name);
    report.paper = command.paper_given ? command.paper : localePaper();
    report.version = VERANTA_VERSION;
    report.date = reportToday();
    std::string pdf;
    if (!mapReportPdf(&report, &pdf, refusal)) return TERRAIN_FAILED;
    map_control writing;
    g_cancel_writing = &writing.cancel;
    if (g_cancel != nullptr && g_cancel->load()) writing.cancel.store(true);
    const int code = writeLandMap(&map, command.output, command.horizons, &writing, refusal);
    g_cancel_writing = nullptr;
    if (code != TERRAIN_OK) return code;
    if (!writeFileSafely(command.report, pdf.data(), pdf.size(), refusal)) {
        *refusal = "the map " + command.output + " was written, but not the report " + command.report + ": " + *refusal;
        return TERRAIN_FAILED;
    }
    return TERRAIN_OK;
}

// The map and its report, without a parcel: the threshold is the land's
// median, rounded down (the map window's first threshold).
int runReport(const map_command &command, const dem_source *dem, map_control *control, std::string *refusal) {
    land_map map;
    const int code = computeForReport(command, dem, control, &map, refusal);
    if (code != TERRAIN_OK) return code;
    const float median = medianValue(map.band(map_quantity::degree_days), map.grid.cells());
    const float threshold = command.has_threshold ? static_cast<float>(command.threshold)
                            : median == kMapNodata                  ? 0.0f
                                                                    : std::floor(median);
    return writeWithReport(command, dem, map, report_blocks{}, threshold, refusal);
}

// Memory a parcel's run may take, held whole: as much as the tool's runs
// of a whole DEM take at most.
const double kParcelRunBytes = 2e9;

// About the metric width of the DEM's cells at its middle row (on a sphere
// for degrees), for the estimate of a run's memory.
double cellWidthMetres(const dem_source *dem) {
    const double *t = dem->transform;
    if (!dem->geographic) return t[1] * dem->linear_metres;
    const double radian = 3.14159265358979323846 / 180.0;
    const double latitude = (t[3] + (dem->height / 2 + 0.5) * t[5]) * radian;
    return t[1] * radian * 6378137.0 * std::cos(latitude);
}

// "32 directions within 5000 m", as the block files say the shading.
std::string shadingText(const map_options &o) {
    if (!o.shade) return "none";
    char text[96];
    std::snprintf(text, sizeof text, "%d directions within %g m", o.directions, o.distance);
    return text;
}

// A parcel's run on the DEM already checked: the parcel read and placed
// (its notes kept for the end), the elevations of what the run reads
// checked, the blocks' extent (or its tile) computed and written, then the
// block figures.
int runParcel(const map_command &command, const dem_source *dem, map_control *control,
              std::vector<std::string> *notes, std::string *refusal) {
    parcel p;
    if (!readParcel(command.parcel, dem->crs_wkt, &p, refusal)) {
        *refusal = command.parcel + ": " + *refusal;
        return TERRAIN_BAD_OPTION;
    }
    parcel_on_dem on;
    if (!placeParcelOnDem(&p, dem, &on, refusal)) {
        *refusal = command.parcel + ": " + *refusal;
        return TERRAIN_BAD_OPTION;
    }
    notes->insert(notes->end(), p.notes.begin(), p.notes.end());
    notes->insert(notes->end(), on.placement.notes.begin(), on.placement.notes.end());
    map_extent extent = command.extent;
    extent.within = on.extent;
    map_window reads;
    int code = runWindow(dem, &command.options, &extent, &reads, refusal);
    if (code != TERRAIN_OK) return code;
    // A parcel's map is held whole (its figures need every cell): one too
    // large for memory is said before any work, with the way out.
    map_wants wants;
    wants.horizons = !command.horizons.empty();
    map_wants held = wants;
    held.elevations = held.positions = held.whole_edge_months = true;
    const int size = command.extent.tile_size;
    const double width = size > 0 ? std::min(size, on.extent.width) : on.extent.width;
    const double height = size > 0 ? std::min(size, on.extent.height) : on.extent.height;
    // The block band and the blocks' numbers besides the map.
    const double bytes = computeMapBytes(width, height, &held, command.options.directions, command.options.distance,
                                         cellWidthMetres(dem)) + 12.0 * width * height;
    if (bytes > kParcelRunBytes) {
        char text[320];
        std::snprintf(text, sizeof text,
                      "the parcel's extent of %.0f x %.0f cells would take about %.1f GB of memory; compute it in "
                      "tiles (--tile C,R --tile-size N) and join them with --mosaic",
                      width, height, bytes / 1e9);
        *refusal = text;
        return TERRAIN_BAD_OPTION;
    }
    elevation_check check;
    code = checkElevations(dem, &reads, &control->cancel, &check, refusal);
    if (code != TERRAIN_OK) {
        if (code != TERRAIN_CANCELLED) *refusal = command.dem + ": " + *refusal;
        return code;
    }
    land_map map;
    // A report draws the map over its hillshade and its months: computed with them.
    const bool report = !command.report.empty();
    code = computeParcelMap(dem, &command.options, &p, &on, &command.extent, report ? &held : &wants, control, &map,
                            refusal);
    std::vector<block_figures> figures;
    float threshold = 0.0f;
    if (code == TERRAIN_OK && (!command.blocks.empty() || report)) {
        std::vector<std::int32_t> blocks;
        block_map view;
        if (!blockNumbersOf(&map, &blocks, refusal) || !blockMapOf(&map, blocks.data(), &view, refusal))
            return TERRAIN_FAILED;
        threshold = command.has_threshold ? static_cast<float>(command.threshold) : parcelThreshold(&view);
        if (!blockFigures(&p, &on.placement, &view, threshold, &figures, refusal)) return TERRAIN_FAILED;
    }
    if (code == TERRAIN_OK && report)
        code = writeWithReport(command, dem, map, report_blocks{&p, &figures, nullptr}, threshold, refusal);
    else if (code == TERRAIN_OK)
        code = writeLandMap(&map, command.output, command.horizons, control, refusal);
    if (code == TERRAIN_OK && !command.blocks.empty()) {
        const size_t slash = command.dem.rfind('/');
        block_file_context context;
        context.dem_name = slash == std::string::npos ? command.dem : command.dem.substr(slash + 1);
        context.season = command.options.season;
        context.shading = shadingText(command.options);
        if (!writeBlockFile(command.blocks, &p, figures, &context, refusal)) {
            *refusal = command.blocks + ": " + *refusal;
            code = TERRAIN_FAILED;
        }
    }
    return code;
}

// The parcel's elevation for a run without a DEM: fetched over its blocks'
// box in WGS 84 and the shading distance around it (with room for the
// horizons' last samples), or taken from the cache of an earlier fetch; the
// GeoTIFF's path in *dem_path. A signal cancels the fetch as it does a run.
int fetchParcelDem(const map_command &command, map_control *control, std::string *dem_path, std::string *refusal) {
    parcel p;
    if (!readParcel(command.parcel, "EPSG:4326", &p, refusal)) {
        *refusal = command.parcel + ": " + *refusal;
        return TERRAIN_BAD_OPTION;
    }
    elevation_area area;
    area.west = area.south = HUGE_VAL;
    area.east = area.north = -HUGE_VAL;
    for (const parcel_block &b : p.blocks)
        for (const parcel_polygon &polygon : b.polygons)
            for (const parcel_ring &ring : polygon.rings)
                for (const parcel_point &point : ring) {
                    area.west = std::min(area.west, point.x);
                    area.east = std::max(area.east, point.x);
                    area.south = std::min(area.south, point.y);
                    area.north = std::max(area.north, point.y);
                }
    area.margin_metres = (command.options.shade ? command.options.distance : 0.0) + 100.0;
    const elevation_source *source = elevationSourceByKey(command.elevation);
    if (source == nullptr) {
        *refusal = "--elevation takes copernicus or 3dep, not " + command.elevation;
        return TERRAIN_BAD_OPTION;
    }
    elevation_progress progress;
    std::atomic<bool> done{false};
    std::thread relay([&] {
        while (!done.load()) {
            if (control->cancel.load()) progress.cancel.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    elevation_result result;
    const int status = fetchElevation(area, source->id, elevationSettingsFromEnvironment(), &progress, &result, refusal);
    done.store(true);
    relay.join();
    if (status == ELEVATION_CANCELLED) return TERRAIN_CANCELLED;
    if (status != ELEVATION_OK) {
        *refusal = "the elevation of " + command.parcel + " cannot be had from " + source->name + ": " + *refusal;
        return TERRAIN_FAILED;
    }
    *dem_path = result.path;
    return TERRAIN_OK;
}

// A copy of the fetched DEM where --keep-dem says, through the safe writer.
int keepDem(const std::string &from, const std::string &to, std::string *refusal) {
    char *data = nullptr;
    std::size_t length = 0;
    bool more = false;
    const int code = readRegularFile(from.c_str(), static_cast<std::size_t>(4) << 30, &data, &length, &more);
    bool kept = code == 0 && !more && writeFileSafely(to, data, length, refusal);
    std::free(data);
    if (code != 0 || more) *refusal = from + " cannot be read";
    if (!kept) *refusal = "--keep-dem " + to + ": " + *refusal;
    return kept ? TERRAIN_OK : TERRAIN_FAILED;
}

// The DEM's checks before any work, then the run. TERRAIN_* with *refusal.
int runMap(const map_command &given, map_control *control, std::vector<std::string> *notes,
           std::string *refusal) {
    map_command command = given;
    if (!command.elevation.empty()) {
        const int code = fetchParcelDem(given, control, &command.dem, refusal);
        if (code != TERRAIN_OK) return code;
        if (sameFile(command.dem, command.output) || (!command.keep_dem.empty() && sameFile(command.dem, command.keep_dem))) {
            *refusal = "the output is the cached DEM " + command.dem + " itself; choose another file";
            return TERRAIN_BAD_OPTION;
        }
    }
    const std::string &dem_path = command.dem;
    dem_source dem;
    int code = openDem(dem_path, command.band, &dem, refusal);
    if (code == TERRAIN_CHOOSE_BAND) *refusal = dem_path + ": " + *refusal + "; choose one with --band N";
    else if (code != TERRAIN_OK) *refusal = dem_path + ": " + *refusal;
    if (code != TERRAIN_OK) return code;
    std::vector<std::string> files;
    code = demFiles(&dem, &files, refusal);
    for (size_t i = 0; code == TERRAIN_OK && i < files.size(); i++) {
        if (sameFile(command.output, files[i])) {
            *refusal = "the output " + command.output + " is one of the files the DEM reads; choose another file for the map";
            code = TERRAIN_BAD_OPTION;
        } else if (!command.report.empty() && sameFile(command.report, files[i])) {
            *refusal = "--report " + command.report +
                       " is one of the files the DEM reads; choose another file for the report";
            code = TERRAIN_BAD_OPTION;
        } else if (!command.horizons.empty() && sameFile(command.horizons, files[i])) {
            *refusal = "--horizons " + command.horizons +
                       " is one of the files the DEM reads; choose another file for the horizons";
            code = TERRAIN_BAD_OPTION;
        } else if (!command.blocks.empty() && sameFile(command.blocks, files[i])) {
            *refusal = "--blocks " + command.blocks +
                       " is one of the files the DEM reads; choose another file for the blocks";
            code = TERRAIN_BAD_OPTION;
        }
    }
    if (code == TERRAIN_OK && !command.parcel.empty()) {
        code = runParcel(command, &dem, control, notes, refusal);
        closeDem(&dem);
        if (code == TERRAIN_OK && !command.keep_dem.empty()) code = keepDem(command.dem, command.keep_dem, refusal);
        return code;
    }
    // Of the DEM, what this run reads: a tile's job does not read the whole.
    elevation_check check;
    map_window reads;
    if (code == TERRAIN_OK) code = runWindow(&dem, &command.options, &command.extent, &reads, refusal);
    if (code == TERRAIN_OK) {
        code = checkElevations(&dem, &reads, &control->cancel, &check, refusal);
        if (code != TERRAIN_OK && code != TERRAIN_CANCELLED) *refusal = dem_path + ": " + *refusal;
    }
    if (code == TERRAIN_OK && !command.report.empty())
        code = runReport(command, &dem, control, refusal);
    else if (code == TERRAIN_OK)
        code = writeMap(&dem, &command.options, &command.extent, command.output, command.horizons, control, refusal);
    closeDem(&dem);
    return code;
}

}  // namespace

int main(int argc, char **argv) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    map_command command;
    std::string text;
    const map_command_outcome outcome = parseMapCommand(argc, argv, local.tm_year + 1900, &command, &text);
    switch (outcome) {
        case MAP_COMMAND_DONE: std::fputs(text.c_str(), stdout); return 0;
        case MAP_COMMAND_REFUSED: return fail(text);
        case MAP_COMMAND_RUN:
        case MAP_COMMAND_MOSAIC: break;
    }

    // GDAL's block cache would otherwise grow to a share of the machine's memory.
    CPLSetConfigOption("GDAL_CACHEMAX", "128");
    CPLSetErrorHandler(keepGdalMessage);
    map_control control;
    g_cancel = &control.cancel;
    catchSignals();
    progress_line progress(&control, !command.quiet && isatty(STDERR_FILENO));
    std::string refusal;
    std::vector<std::string> notes;
    const int result = outcome == MAP_COMMAND_MOSAIC ? mosaicMaps(command.tiles, command.output, &control, &refusal)
                                                     : runMap(command, &control, &notes, &refusal);
    progress.stop(result == TERRAIN_OK);
    // What the parcel's reading and placing left out, once the run is over.
    if (!command.quiet)
        for (const std::string &note : notes) std::fprintf(stderr, "veranta-map: note: %s\n", note.c_str());
    if (result == TERRAIN_CANCELLED) {
        std::fputs("veranta-map: interrupted; no file was written\n", stderr);
        return 1;
    }
    if (result != TERRAIN_OK) return fail(refusal);
    if (!command.quiet && !command.anchor_note.empty())
        std::fprintf(stderr, "veranta-map: note: %s\n", command.anchor_note.c_str());
    const long with = control.cells_with_data.load();
    const long outside = control.cells_outside.load();
    if (!command.quiet && outside > 0)
        std::fprintf(stderr,
                     "veranta-map: note: %.1f%% of the cells lie outside the region the degree days are calibrated "
                     "for; their degree days are computed all the same\n",
                     100.0 * static_cast<double>(outside) / static_cast<double>(with));
    return 0;
}
