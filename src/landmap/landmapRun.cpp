// Opening a file says what it is or, in one sentence, why it cannot be used:
// no coordinate system, not a raster, several bands, too large for this
// computer's memory. A map is computed on a worker thread by the terrain core
// with the elevations and positions the window reads, and kept for the
// session by the file it was read from (its path, size and modification time)
// and the settings, so that going back to a season or an unchanged file
// shows it at once and a file replaced or edited is computed again.
#include "landmap/landmapRun.h"

#include "station/stationAnchor.h"
#include "terrain/mapAnchor.h"
#include "terrain/mapTexts.h"

#include <glib.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VERANTA_EXAMPLE_FROM_PROGRAM
#define VERANTA_EXAMPLE_FROM_PROGRAM "../../share/veranta/example-land.tif"
#endif

namespace {

// What the window reads besides the bands: the readout's elevations and
// positions, and the edge months' whole irradiation.
map_wants windowWants() {
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    // The land as one group: the date its mean reaches a target.
    wants.group_count = 1;
    return wants;
}

// Bytes a map of the land needs at its peak: the terrain core's run with
// what the window keeps besides the bands, and the window's image of it,
// one pixel a cell.
double mapRunBytes(double width, double height, double cell) {
    const map_wants wants = windowWants();
    return computeMapBytes(width, height, &wants, 32, 5000.0, cell) + 4.0 * width * height;
}

// One sentence for the refusal line.
std::string refused(const landmap_land &land, const std::string &why) { return land.name + " cannot be used: " + why; }

std::string printed(const char *format, ...) G_GNUC_PRINTF(1, 2);
std::string printed(const char *format, ...) {
    va_list args;
    va_start(args, format);
    gchar *text = g_strdup_vprintf(format, args);
    va_end(args);
    std::string s = text;
    g_free(text);
    return s;
}

std::atomic<int> underWay{0};

// A map and the file it was computed from, as the file was then.
struct remembered {
    std::string path;
    long long file_size;
    long long file_modified;
    std::shared_ptr<const land_map> map;
};

std::deque<remembered> &kept() {
    static std::deque<remembered> maps;
    return maps;
}

bool sameSettings(const map_options &a, const map_options &b) {
    return a.season.year == b.season.year && a.season.start_day == b.season.start_day &&
           a.season.start_month == b.season.start_month && a.season.stop_day == b.season.stop_day &&
           a.season.stop_month == b.season.stop_month && a.shade == b.shade &&
           (!a.shade || (a.directions == b.directions && a.distance == b.distance)) && a.target == b.target;
}

}  // namespace

std::string landmap_land_name(const std::string &path) {
    gchar *base = g_path_get_basename(path.c_str());
    gchar *display = g_filename_display_name(base);
    std::string name = display;
    g_free(display);
    g_free(base);
    return name;
}

double landmap_memory_bytes(void) {
    long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<double>(pages) * size : 0.0;
}

landmap_land landmap_land_open(const std::string &path, const std::string &example, double memory_bytes) {
    landmap_land land;
    land.path = path;
    land.name = landmap_land_name(path);
    dem_source dem;
    std::string refusal;
    dem_description d{};
    if (openDem(path, 0, &dem, &refusal) != TERRAIN_OK || describeDem(&dem, &d, &refusal) != TERRAIN_OK) {
        closeDem(&dem);
        land.said = refused(land, refusal);
        return land;
    }
    closeDem(&dem);
    // From its size alone, before a cell is read.
    const double need = mapRunBytes(d.width, d.height, std::min(d.cell_width, d.cell_height));
    if (memory_bytes > 0.0 && need > memory_bytes / 2.0) {
        land.said = refused(land, printed("at %d × %d cells it is too large for this computer's memory (its map "
                                          "needs about %.1f GB, half the memory is %.1f GB); cut it into smaller "
                                          "pieces or use veranta-map, which works tile by tile.",
                                          d.width, d.height, need / 1e9, memory_bytes / 2e9));
        land.too_large = true;
        return land;
    }
    auto metres = [](double v) { return decimalString(v, v < 10 ? 2 : 1); };
    land.said = (!example.empty() && path == example ? "A made-up example land (not a real place): " : "") +
                land.name + "\n" + std::to_string(d.width) + " × " + std::to_string(d.height) + " cells of " +
                metres(d.cell_width) + " × " + metres(d.cell_height) + " m, " + metres(d.hectares) + " ha\n" +
                d.crs_name;
    land.usable = true;
    return land;
}

void landmap_survey_work(landmap_survey *survey) {
    landmap_land &land = survey->land;
    dem_source dem;
    std::string why;
    elevation_check check;
    int status = openDem(land.path, 0, &dem, &why);
    if (status == TERRAIN_OK) status = checkElevations(&dem, nullptr, &survey->cancel, &check, &why);
    closeDem(&dem);
    if (status == TERRAIN_OK) {
        land.said += "\nelevation " + decimalString(check.lowest, 1) + " to " + decimalString(check.highest, 1) + " m";
        return;
    }
    land.usable = false;
    // Said as the window has always said it when there is simply no data.
    if (status == TERRAIN_IMPLAUSIBLE && check.implausible == 0 && check.infinite == 0)
        why = "every cell of it is without data.";
    else if (status == TERRAIN_CANCELLED)
        why = "its elevations were not read to the end.";
    else if (!why.empty() && why.back() != '.')
        why += ".";
    land.said = refused(land, why);
}

// The made-up example land is made at build time beside the program and
// installed in the program's shared folder; either is found from where the
// program itself lies, so a moved installation still finds it.
std::string landmap_example_land(void) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    self[n] = '\0';
    gchar *folder = g_path_get_dirname(self);
    std::string found;
    for (const char *relative : {"example-land.tif", VERANTA_EXAMPLE_FROM_PROGRAM}) {
        gchar *path = g_build_filename(folder, relative, nullptr);
        gchar *canonical = g_canonicalize_filename(path, nullptr);
        if (found.empty() && g_file_test(canonical, G_FILE_TEST_IS_REGULAR)) found = canonical;
        g_free(canonical);
        g_free(path);
    }
    g_free(folder);
    return found;
}

landmap_run::landmap_run() { underWay++; }

landmap_run::~landmap_run() { underWay--; }

int landmap_runs_under_way(void) { return underWay.load(); }

void landmap_run_work(landmap_run *run) {
    // Taken before the file is read: a change while it computes makes the
    // session compute it again next time.
    landmap_file_stamp(run->path, &run->file_size, &run->file_modified);
    dem_source dem;
    int status = openDem(run->path, 0, &dem, &run->refusal);
    auto map = std::make_shared<land_map>();
    // Checked again: the file may have changed since it was opened.
    elevation_check check;
    if (status == TERRAIN_OK) status = checkElevations(&dem, nullptr, &run->control.cancel, &check, &run->refusal);
    if (status == TERRAIN_OK) {
        const map_wants wants = windowWants();
        status = computeMap(&dem, &run->options, nullptr, &wants, &run->control, map.get(), &run->refusal);
    }
    closeDem(&dem);
    if (status == TERRAIN_OK) run->result = std::move(map);
}

double landmap_cells_progress(const map_control &control) {
    const long total = control.cells_total.load(), done = control.cells_done.load();
    return total > 0 ? static_cast<double>(done) / total : 0.0;
}

std::string landmap_cells_progress_text(const map_control &control, const char *reading, const char *cells) {
    if (control.cells_total.load() <= 0) return reading;
    char text[64];
    std::snprintf(text, sizeof text, "%.0f %% of %s", 100.0 * landmap_cells_progress(control), cells);
    return text;
}

double landmap_run_progress(const landmap_run *run) { return landmap_cells_progress(run->control); }

std::string landmap_run_progress_text(const landmap_run *run) {
    return landmap_cells_progress_text(run->control, "reading the land", "the cells");
}

// What tells a changed elevation model from the one a map was computed from,
// without reading it again.
bool landmap_file_stamp(const std::string &path, long long *size, long long *modified) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    *size = static_cast<long long>(st.st_size);
    *modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

std::shared_ptr<const land_map> landmap_remembered(const std::string &path, const map_options *options) {
    long long size = 0;
    long long modified = 0;
    if (!landmap_file_stamp(path, &size, &modified)) return nullptr;
    for (const remembered &m : kept())
        if (m.path == path && m.file_size == size && m.file_modified == modified &&
            sameSettings(m.map->options, *options))
            return m.map;
    return nullptr;
}

void landmap_remember(const landmap_run *run) {
    if (run->result == nullptr) return;
    auto &maps = kept();
    maps.push_front({run->path, run->file_size, run->file_modified, run->result});
    while (maps.size() > static_cast<size_t>(kLandmapRemembered)) maps.pop_back();
}

void landmap_anchor_work(landmap_anchor_run *run) {
    const std::string name = landmap_land_name(run->station_path);
    const land_map &map = *run->map;
    if (map.options.target > 0.0) {
        run->refusal = "The map cannot be anchored while it has a target's dates: they come from the estimate's own "
                       "days, which anchoring does not move. Clear the target and compute again.";
        return;
    }
    const season_range &s = map.options.season;
    const station_season season{s.start_day, s.start_month, s.stop_day, s.stop_month};
    station_anchor found;
    std::string why;
    switch (anchorFromFile(run->station_path, UNIT_UNSAID, season, run->site_given ? &run->site : nullptr, &found,
                           &why, &run->cancel)) {
    case ANCHOR_OK:
        break;
    case ANCHOR_NO_SITE:
        run->refusal = name + " does not say where the station stands: type its latitude, longitude and elevation "
                              "beside the button and choose it again.";
        return;
    case ANCHOR_NEEDS_UNIT:
        run->refusal = name + ": " + why + "; name the unit in its maximum's and minimum's columns (tmax_c, tmin_f).";
        return;
    case ANCHOR_CANCELLED:
        run->refusal = "The anchoring was stopped.";
        return;
    default:
        run->refusal = name + " cannot anchor the map: " + why;
        if (run->refusal.back() != '.') run->refusal += ".";
        return;
    }
    map_anchor anchor;
    anchor.station = found.station;
    anchor.latitude = found.site.latitude;
    anchor.longitude = found.site.longitude;
    anchor.elevation = found.site.elevation;
    std::copy(found.offsets, found.offsets + 12, anchor.offsets);
    auto anchored = std::make_shared<land_map>(map);
    if (anchorLandMap(anchored.get(), anchor, &why) != TERRAIN_OK) {
        run->refusal = name + " cannot anchor the map: " + why;
        return;
    }
    run->result = std::move(anchored);
}

