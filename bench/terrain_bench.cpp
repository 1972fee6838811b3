// The season of many cells under one sun block: 1 April to 31 October,
// 10,000 cells of varied slopes, on the best path and on the baseline, with
// and without horizons. ns_per_cell_sample is the time of seasonCells divided
// by cells x samples with the sun up; one thread.
#include "terrain/sunBlock.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

const season_range kSeason = {2024, 1, 4, 31, 10};

void BM_PlaceSunBlock(benchmark::State &state) {
    for (auto _ : state) {
        int refusal;
        sun_block *b = placeSunBlock(44.6f, -123.25f, &kSeason, nullptr, &refusal);
        benchmark::DoNotOptimize(b);
        freeSunBlock(b);
    }
}

void cellSeason(benchmark::State &state, cell_path path, bool shade) {
    const int cells = 10000;
    const int directions = 32;
    int refusal;
    sun_block *b = placeSunBlock(44.6f, -123.25f, &kSeason, nullptr, &refusal);
    std::vector<float> elevation(cells);
    std::vector<slope> slopes(cells);
    std::vector<float> angles(static_cast<size_t>(cells) * directions);
    for (int i = 0; i < cells; i++) {
        elevation[i] = 400.0f + static_cast<float>(i % 300);
        slopes[i] = {static_cast<float>((i * 37) % 360), static_cast<float>(i % 45)};
    }
    for (size_t i = 0; i < angles.size(); i++) angles[i] = static_cast<float>((i * 13) % 17);
    const cell_horizons h = {directions, angles.data()};
    std::vector<cell_season> results(cells);
    for (auto _ : state) {
        if (seasonCellsOn(b, cells, elevation.data(), slopes.data(), shade ? &h : nullptr, results.data(), nullptr,
                          path) != 0) {
            state.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(results.data());
    }
    const double samples = b->day_first[static_cast<size_t>(b->days)];
    state.counters["samples"] = samples;
    state.counters["ns_per_cell_sample"] =
        benchmark::Counter(cells * samples * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
    freeSunBlock(b);
}

void BM_CellSeason(benchmark::State &state) { cellSeason(state, CELL_PATH_BEST, false); }
void BM_CellSeasonBaseline(benchmark::State &state) { cellSeason(state, CELL_PATH_BASELINE, false); }
void BM_CellSeasonShaded(benchmark::State &state) { cellSeason(state, CELL_PATH_BEST, true); }
void BM_CellSeasonShadedBaseline(benchmark::State &state) { cellSeason(state, CELL_PATH_BASELINE, true); }

}  // namespace

BENCHMARK(BM_PlaceSunBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellSeason)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CellSeasonBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CellSeasonShaded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CellSeasonShadedBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
