// Writing a computed map as its GeoTIFF (the window's export, and the last
// step of every veranta-map run): 1,000 x 1,000 cells, 1 April to 31
// October (19 bands), smooth values as a real map has; the scratch file,
// statistics, overviews and the copy in the final layout. And joining the
// same map from its four tiles of 500 cells with mosaicMaps. Wall time.
#include "terrain/mapWriter.h"
#include "demFiles.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kSize = 1000;

struct bench_dir {
    std::string path;
    bench_dir() {
        char name[] = "/tmp/veranta-bench-XXXXXX";
        path = mkdtemp(name);
    }
    ~bench_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// A map of the window of a flat DEM's grid whose bands vary smoothly, each
// in its own range.
bool smoothMap(const std::string &dir, const map_window &window, land_map *map) {
    const std::string path = dir + "/dem.tif";
    if (access(path.c_str(), F_OK) != 0 &&
        !writeDemFile(path, kSize, kSize, std::vector<float>(static_cast<size_t>(kSize) * kSize, 300.0f),
                      "EPSG:32610", 10.0, 475000.0, 4945000.0))
        return false;
    dem_source dem;
    if (openDem(path, 0, &dem, nullptr) != TERRAIN_OK) return false;
    map_options options;
    options.season = {2024, 1, 4, 31, 10};
    newLandMap(&dem, &options, window, nullptr, map);
    closeDem(&dem);
    const size_t cells = static_cast<size_t>(map->grid.cells());
    for (int b = 0; b < map->layout.count(); b++)
        for (int r = 0; r < window.height; r++)
            for (int c = 0; c < window.width; c++) {
                const double x = window.x0 + c;
                const double y = window.y0 + r;
                map->values[static_cast<size_t>(b) * cells + static_cast<size_t>(r) * window.width + c] =
                    static_cast<float>(100.0 * (b + 1) + 40.0 * std::sin(x / 90.0) * std::cos(y / 130.0) +
                                       7.0 * std::sin((x + 2 * y) / 37.0));
            }
    map->cells_with_data = static_cast<long>(cells);
    return true;
}

void BM_WriteLandMap(benchmark::State &state) {
    bench_dir dir;
    land_map map;
    if (!smoothMap(dir.path, {0, 0, kSize, kSize}, &map)) {
        state.SkipWithError("no map");
        return;
    }
    std::string refusal;
    for (auto _ : state)
        if (writeLandMap(&map, dir.path + "/map.tif", "", nullptr, &refusal) != TERRAIN_OK) {
            state.SkipWithError(refusal.c_str());
            break;
        }
}

void BM_MosaicMaps(benchmark::State &state) {
    bench_dir dir;
    std::vector<std::string> tiles;
    for (int k = 0; k < 4; k++) {
        land_map tile;
        const int half = kSize / 2;
        if (!smoothMap(dir.path, {k % 2 * half, k / 2 * half, half, half}, &tile)) {
            state.SkipWithError("no tile");
            return;
        }
        tiles.push_back(dir.path + "/tile-" + std::to_string(k) + ".tif");
        if (writeLandMap(&tile, tiles.back(), "", nullptr, nullptr) != TERRAIN_OK) {
            state.SkipWithError("a tile cannot be written");
            return;
        }
    }
    std::string refusal;
    for (auto _ : state)
        if (mosaicMaps(tiles, dir.path + "/mosaic.tif", nullptr, &refusal) != TERRAIN_OK) {
            state.SkipWithError(refusal.c_str());
            break;
        }
}

}  // namespace

BENCHMARK(BM_WriteLandMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MosaicMaps)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
