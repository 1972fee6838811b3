// Speed of the model as the windows and self-tests use it: one whole day at
// one-minute steps, the growing-season test's seven months, and the same
// season for the slope explorer's 312 slopes.
#include "model/model.h"
#include "model/sweepSeason.h"
#include "selftest/selftest.h"

#include <benchmark/benchmark.h>
#include <vector>

static void BM_OneDay(benchmark::State &state) {
    storeFixedCase();
    for (auto _ : state) benchmark::DoNotOptimize(getDaysIrr(22, 7, 1999));
}
BENCHMARK(BM_OneDay)->Unit(benchmark::kMillisecond);

static void BM_SeasonAprilToOctober(benchmark::State &state) {
    storeSeasonCase();
    // The test takes the clock as it finds it; noon is what the windows leave.
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    for (auto _ : state) {
        float total = 0.0f;
        for (int m = 4; m <= 10; m++) total = total + getMonthsGDD(m, getMonthsIrr(m));
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_SeasonAprilToOctober)->Unit(benchmark::kMillisecond);

// The slope explorer's comparison: 24 aspects every 15 degrees by 13 tilts
// from 0 to 30 every 2.5, April to October 2007 at the season test's site.
static void BM_SlopeSweep(benchmark::State &state) {
    const site_location site = {44.133f, -123.214f, 114.0f};
    const season_range season = {2007, 1, 4, 31, 10};
    std::vector<slope> slopes;
    for (int a = 0; a < 24; a++)
        for (int t = 0; t < 13; t++) slopes.push_back({15.0f * static_cast<float>(a), 2.5f * static_cast<float>(t)});
    std::vector<slope_season> results(slopes.size());
    for (auto _ : state) {
        if (sweepSeason(&site, &season, slopes.data(), static_cast<int>(slopes.size()), results.data()) != 0) {
            state.SkipWithError("sweep refused");
            break;
        }
        benchmark::DoNotOptimize(results.data());
    }
}
BENCHMARK(BM_SlopeSweep)->Unit(benchmark::kMillisecond)->UseRealTime();
