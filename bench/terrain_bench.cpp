// The season of many cells under one sun block: 1 April to 31 October in
// Oregon, 10,000 cells of varied slopes, on each code path, with and without
// horizons. ns_per_cell_sample is the wall time of seasonCells divided by
// cells x samples with the sun up, on one thread; the caller shares the
// cells out over the cores, which each have their own caches.
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

// Arguments: the path (cell_path: 1 baseline, 2 AVX2, 3 AVX-512) and
// whether horizons of 32 directions are given.
void BM_CellSeason(benchmark::State &state) {
    const cell_path path = static_cast<cell_path>(state.range(0));
    const bool shade = state.range(1) != 0;
    if (cellPathRun(path) != path) {
        state.SkipWithError("not on this processor");
        return;
    }
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

// The cell loop on this processor's own path with and without the day a
// target is reached (1200 degree days, which most of the cells reach); the
// argument is whether it is asked: 0 no, 1 yes, 2 yes and the cells' running
// degree days summed over ten blocks, as a parcel's run keeps them.
// ns_per_cell_sample as above.
void BM_CellSeasonTarget(benchmark::State &state) {
    const bool target = state.range(0) != 0;
    const bool grouped = state.range(0) == 2;
    const int cells = 10000;
    int refusal;
    sun_block *b = placeSunBlock(44.6f, -123.25f, &kSeason, nullptr, &refusal);
    std::vector<float> elevation(cells);
    std::vector<slope> slopes(cells);
    for (int i = 0; i < cells; i++) {
        elevation[i] = 400.0f + static_cast<float>(i % 300);
        slopes[i] = {static_cast<float>((i * 37) % 360), static_cast<float>(i % 45)};
    }
    std::vector<cell_season> results(cells);
    std::vector<std::int32_t> block(cells);
    for (int i = 0; i < cells; i++) block[static_cast<size_t>(i)] = 1 + i % 10;
    group_running sums(10, seasonDays(&kSeason));
    for (auto _ : state) {
        const int code =
            target ? seasonCellsToTarget(b, cells, elevation.data(), slopes.data(), nullptr, 1200.0, results.data(),
                                         nullptr, grouped ? block.data() : nullptr, grouped ? &sums : nullptr)
                   : seasonCells(b, cells, elevation.data(), slopes.data(), nullptr, results.data(), nullptr);
        if (code != 0) {
            state.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(results.data());
    }
    const double samples = b->day_first[static_cast<size_t>(b->days)];
    state.counters["ns_per_cell_sample"] =
        benchmark::Counter(cells * samples * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
    freeSunBlock(b);
}

}  // namespace

BENCHMARK(BM_PlaceSunBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellSeason)
    ->ArgNames({"path", "shade"})
    ->ArgsProduct({{CELL_PATH_BASELINE, CELL_PATH_AVX2, CELL_PATH_AVX512}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CellSeasonTarget)->ArgName("target")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
