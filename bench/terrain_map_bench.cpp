// The terrain map as a grower runs it: a 1,000 x 1,000 DEM of 10 m cells in
// the calibrated region (made here: hills and valleys), 1 April to 31
// October, the horizons alone (32 directions, 5 km) and the whole map
// written as a GeoTIFF, without and with shading, on every core. Wall time.
#include "terrain/internals.h"
#include "demFiles.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kSize = 1000;

std::vector<float> hills() {
    std::vector<float> z(static_cast<size_t>(kSize) * kSize);
    for (int r = 0; r < kSize; r++)
        for (int c = 0; c < kSize; c++)
            z[static_cast<size_t>(r) * kSize + c] =
                static_cast<float>(300.0 + 120.0 * std::sin(c / 90.0) * std::cos(r / 130.0) + 60.0 * std::sin((c + 2 * r) / 37.0) +
                                   25.0 * std::cos((3 * c - r) / 17.0));
    return z;
}

// The DEM as a GeoTIFF in UTM zone 10N near Corvallis; its path.
std::string demFile(const std::string &dir) {
    const std::string path = dir + "/dem.tif";
    if (!writeDemFile(path, kSize, kSize, hills(), "EPSG:32610", 10.0, 475000.0, 4945000.0)) std::abort();
    return path;
}

void BM_TerrainHorizons(benchmark::State &state) {
    const std::vector<float> z = hills();
    const horizon_grid grid = {z.data(), kSize, kSize, 0, 0, 10.0, 10.0};
    std::vector<float> angles(static_cast<size_t>(kSize) * kSize * 32);
    const int threads = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    for (auto _ : state) {
        terrainHorizons(&grid, 32, 5000.0, 0, 0, kSize, kSize, angles.data(), threads, nullptr);
        benchmark::DoNotOptimize(angles.data());
    }
}

// The horizons of about 100,000 cells, one thread, as a square of 316 x 316
// and as one row of 100,000 (argument: the width): their cost should grow
// with the cells whatever the raster's shape. ns_per_cell is the wall time
// per cell.
void BM_TerrainHorizonsShape(benchmark::State &state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(100000 / w);
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            z[static_cast<size_t>(r) * w + c] =
                static_cast<float>(300.0 + 120.0 * std::sin(c / 90.0) * std::cos(r / 130.0) + 60.0 * std::sin((c + 2 * r) / 37.0));
    const horizon_grid grid = {z.data(), w, h, 0, 0, 10.0, 10.0};
    std::vector<float> angles(z.size() * 32);
    for (auto _ : state) {
        terrainHorizons(&grid, 32, 5000.0, 0, 0, w, h, angles.data(), 1, nullptr);
        benchmark::DoNotOptimize(angles.data());
    }
    state.counters["ns_per_cell"] = benchmark::Counter(static_cast<double>(z.size()) * 1e-9,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

// Argument: shading (0 or 1).
void BM_TerrainMap(benchmark::State &state) {
    char name[] = "/tmp/veranta-bench-XXXXXX";
    const std::string dir = mkdtemp(name);
    dem_source dem;
    std::string refusal;
    if (openDem(demFile(dir), 0, &dem, &refusal) != TERRAIN_OK) {
        state.SkipWithError(refusal.c_str());
        return;
    }
    map_options options;
    options.season = {2024, 1, 4, 31, 10};
    options.shade = state.range(0) != 0;
    map_extent whole;
    for (auto _ : state) {
        if (writeMap(&dem, &options, &whole, dir + "/map.tif", "", nullptr, &refusal) != TERRAIN_OK) {
            state.SkipWithError(refusal.c_str());
            break;
        }
    }
    closeDem(&dem);
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace

BENCHMARK(BM_TerrainHorizons)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_TerrainHorizonsShape)->ArgName("width")->Arg(316)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TerrainMap)->ArgName("shade")->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
