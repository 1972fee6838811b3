// Speed of the model as the windows and self-tests use it: one whole day at
// one-minute steps, and the growing-season test's seven months.
#include "model/model.h"
#include "selftest/selftest.h"

#include <benchmark/benchmark.h>

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
