// veranta-map: the season of every cell of a DEM as a GeoTIFF. Reads the
// options, opens the DEM and hands both to writeMap; shows progress on a
// terminal and says any refusal in one line.
#include "terrain/terrain.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cpl_conv.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage: veranta-map [--year Y] [--from D/M] [--to D/M] [--no-shade] [--directions N] [--distance METRES]\n"
    "                   [--band N] [--tile COL,ROW --tile-size N] [--horizons FILE.tif] [--threads N] [--quiet]\n"
    "                   DEM OUTPUT.tif\n";

// Where a signal asks the running map to stop.
std::atomic<bool> *g_cancel = nullptr;

void onSignal(int) {
    if (g_cancel != nullptr) g_cancel->store(true);
}

int fail(const std::string &text) {
    std::fprintf(stderr, "veranta-map: %s\n", text.c_str());
    return 1;
}

// A whole decimal number within [low, high].
bool wholeNumber(const std::string &text, long low, long high, long *value) {
    if (text.empty()) return false;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high || text[0] == ' ') return false;
    *value = v;
    return true;
}

// "A/B" as two whole numbers, separated by sep.
bool pair(const std::string &text, char sep, long *a, long *b) {
    const size_t at = text.find(sep);
    return at != std::string::npos && wholeNumber(text.substr(0, at), 0, 1000000, a) &&
           wholeNumber(text.substr(at + 1), 0, 1000000, b);
}

// Where a path leads once its links are followed: the file itself when it
// exists, else its folder's real path and its name (or a link's target).
std::string resolved(std::string path) {
    for (int hops = 0; hops < 40; hops++) {
        char real[PATH_MAX];
        if (realpath(path.c_str(), real) != nullptr) return real;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        if (n <= 0) {
            const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
            return realpath(folder.c_str(), real) != nullptr ? std::string(real) + "/" + name : path;
        }
        target[n] = '\0';
        path = target[0] == '/' ? std::string(target) : folder + "/" + target;
    }
    return path;
}

// Two paths naming one file: the same device and inode when both exist,
// else the same resolved path.
bool sameFile(const std::string &a, const std::string &b) {
    struct stat sa;
    struct stat sb;
    const bool ea = stat(a.c_str(), &sa) == 0;
    const bool eb = stat(b.c_str(), &sb) == 0;
    if (ea && eb) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return ea == eb && resolved(a) == resolved(b);
}

void drawProgress(const map_control *control, bool last) {
    const long total = control->cells_total.load();
    const long done = control->cells_done.load();
    const int width = 40;
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const int filled = static_cast<int>(share * width);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '-');
    std::fprintf(stderr, "\r[%s] %3d%%%s", bar.c_str(), static_cast<int>(share * 100.0), last ? "\n" : "");
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char **argv) {
    map_options options;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    options.season.year = std::min(2050, std::max(2000, local.tm_year + 1900));
    int band = 0;
    bool quiet = false;
    map_extent extent;
    bool have_tile = false;
    std::string horizons;
    std::string files[2];
    int nfiles = 0;

    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--no-shade") {
            options.shade = false;
            continue;
        }
        if (arg == "--quiet") {
            quiet = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
            if (arg == "--" && i + 1 < argc) arg = argv[++i];
            if (nfiles == 2) return fail("one DEM and one output file are expected, not also " + arg);
            files[nfiles++] = arg;
            continue;
        }
        std::string value;
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return fail(arg + " needs a value");
        }
        long a = 0;
        long b = 0;
        if (arg == "--year") {
            if (!wholeNumber(value, 2000, 2050, &a)) return fail("the year must be a whole number from 2000 to 2050, not " + value);
            options.season.year = static_cast<int>(a);
        } else if (arg == "--from" || arg == "--to") {
            if (!pair(value, '/', &a, &b)) return fail(arg + " takes a day and month as D/M, not " + value);
            (arg == "--from" ? options.season.start_day : options.season.stop_day) = static_cast<int>(a);
            (arg == "--from" ? options.season.start_month : options.season.stop_month) = static_cast<int>(b);
        } else if (arg == "--directions") {
            if (!wholeNumber(value, 1, 360, &a)) return fail("--directions takes a whole number from 1 to 360, not " + value);
            options.directions = static_cast<int>(a);
        } else if (arg == "--distance") {
            char *end = nullptr;
            const double d = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(d > 0.0) || d > 100000.0)
                return fail("--distance takes metres above 0 and at most 100000, not " + value);
            options.distance = d;
        } else if (arg == "--band") {
            if (!wholeNumber(value, 1, 1000000, &a)) return fail("--band takes a band number from 1, not " + value);
            band = static_cast<int>(a);
        } else if (arg == "--tile") {
            if (!pair(value, ',', &a, &b)) return fail("--tile takes a column and row as COL,ROW, not " + value);
            extent.tile_column = static_cast<int>(a);
            extent.tile_row = static_cast<int>(b);
            have_tile = true;
        } else if (arg == "--tile-size") {
            if (!wholeNumber(value, 1, 1000000, &a)) return fail("--tile-size takes a number of cells from 1, not " + value);
            extent.tile_size = static_cast<int>(a);
        } else if (arg == "--horizons") {
            if (value.empty()) return fail("--horizons needs a file name");
            horizons = value;
        } else if (arg == "--threads") {
            if (!wholeNumber(value, 1, 1024, &a)) return fail("--threads takes a whole number from 1 to 1024, not " + value);
            options.threads = static_cast<int>(a);
        } else {
            return fail("unknown option " + arg + "\n" + kUsage);
        }
    }
    if (nfiles != 2) return fail(std::string("a DEM and an output file are needed\n") + kUsage);
    if (have_tile != (extent.tile_size > 0)) return fail("--tile and --tile-size go together");
    std::string refusal;
    if (checkMapOptions(&options, &refusal) != TERRAIN_OK) return fail(refusal);
    if (sameFile(files[0], files[1])) return fail("the output " + files[1] + " is the DEM itself; choose another file for the map");
    if (!horizons.empty() && sameFile(horizons, files[1]))
        return fail("--horizons " + horizons + " is the output itself; choose another file for the horizons");
    if (!horizons.empty() && sameFile(horizons, files[0]))
        return fail("--horizons " + horizons + " is the DEM itself; choose another file for the horizons");

    // GDAL's block cache would otherwise grow to a share of the machine's memory.
    CPLSetConfigOption("GDAL_CACHEMAX", "128");
    dem_source dem;
    const int code = openDem(files[0], band, &dem, &refusal);
    if (code == TERRAIN_CHOOSE_BAND) return fail(files[0] + ": " + refusal + "; choose one with --band N");
    if (code != TERRAIN_OK) return fail(files[0] + ": " + refusal);
    bool any = false;
    if (anyElevation(&dem, &any, &refusal) != TERRAIN_OK) {
        closeDem(&dem);
        return fail(files[0] + ": " + refusal);
    }
    if (!any) {
        closeDem(&dem);
        return fail(files[0] + ": every cell of the DEM is nodata");
    }

    map_control control;
    g_cancel = &control.cancel;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    const bool show = !quiet && isatty(STDERR_FILENO);
    std::atomic<bool> done{false};
    std::thread progress;
    if (show) {
        progress = std::thread([&] {
            while (!done.load()) {
                drawProgress(&control, false);
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
            }
        });
    }
    const int result = writeMap(&dem, &options, &extent, files[1], horizons, &control, &refusal);
    done.store(true);
    if (show) {
        progress.join();
        if (result == TERRAIN_OK) drawProgress(&control, true);
        else std::fputc('\n', stderr);
    }
    closeDem(&dem);
    if (result == TERRAIN_CANCELLED) return fail("interrupted; no file was written");
    if (result != TERRAIN_OK) return fail(refusal);
    const long with = control.cells_with_data.load();
    const long outside = control.cells_outside.load();
    if (!quiet && outside > 0)
        std::fprintf(stderr, "veranta-map: %.1f%% of the cells lie outside the region the degree days are calibrated for\n",
                     100.0 * static_cast<double>(outside) / static_cast<double>(with));
    return 0;
}
