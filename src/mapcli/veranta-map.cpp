// veranta-map: the season of every cell of a DEM as a GeoTIFF. Reads the
// command line (mapCommand.h), opens the DEM and hands both to writeMap;
// shows progress on a terminal and says any refusal in one line.
#include "mapcli/mapCommand.h"

#include <atomic>
#include <chrono>
#include <cpl_conv.h>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Where a signal asks the running map to stop.
std::atomic<bool> *g_cancel = nullptr;

void onSignal(int) {
    if (g_cancel != nullptr) g_cancel->store(true);
}

int fail(const std::string &text) {
    std::fprintf(stderr, "veranta-map: %s\n", text.c_str());
    return 1;
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
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    map_command command;
    std::string text;
    switch (parseMapCommand(argc, argv, local.tm_year + 1900, &command, &text)) {
        case MAP_COMMAND_DONE: std::fputs(text.c_str(), stdout); return 0;
        case MAP_COMMAND_REFUSED: return fail(text);
        case MAP_COMMAND_RUN: break;
    }
    const std::string &dem_path = command.dem;
    std::string refusal;

    // GDAL's block cache would otherwise grow to a share of the machine's memory.
    CPLSetConfigOption("GDAL_CACHEMAX", "128");
    dem_source dem;
    const int code = openDem(dem_path, command.band, &dem, &refusal);
    if (code == TERRAIN_CHOOSE_BAND) return fail(dem_path + ": " + refusal + "; choose one with --band N");
    if (code != TERRAIN_OK) return fail(dem_path + ": " + refusal);
    bool any = false;
    if (anyElevation(&dem, &any, &refusal) != TERRAIN_OK) {
        closeDem(&dem);
        return fail(dem_path + ": " + refusal);
    }
    if (!any) {
        closeDem(&dem);
        return fail(dem_path + ": every cell of the DEM is nodata");
    }

    map_control control;
    g_cancel = &control.cancel;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    const bool show = !command.quiet && isatty(STDERR_FILENO);
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
    const int result =
        writeMap(&dem, &command.options, &command.extent, command.output, command.horizons, &control, &refusal);
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
    if (!command.quiet && outside > 0)
        std::fprintf(stderr, "veranta-map: %.1f%% of the cells lie outside the region the degree days are calibrated for\n",
                     100.0 * static_cast<double>(outside) / static_cast<double>(with));
    return 0;
}
