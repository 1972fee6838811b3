// Speed of the model as the windows and self-tests use it: one whole day at
// one-minute steps, and the growing-season test's seven months.
#include "model/model.h"

#include <benchmark/benchmark.h>

static void BM_OneDay(benchmark::State &state) {
    active_latitude = 33.65f;
    active_longitude = -84.43f;
    active_aspect = 135.0f;
    active_tilt = 33.65f;
    active_timezone = -5.0f;
    active_hour = 9;
    active_minute = 45;
    active_second = 37;
    active_temp = 27.0f;
    active_press = 1006.0f;
    active_dt = 1;
    for (auto _ : state) benchmark::DoNotOptimize(getDaysIrr(22, 7, 1999));
}
BENCHMARK(BM_OneDay)->Unit(benchmark::kMillisecond);

static void BM_SeasonAprilToOctober(benchmark::State &state) {
    active_latitude = 44.133f;
    active_longitude = -123.214f;
    active_elev = 114.0f;
    active_aspect = 180.0f;
    active_tilt = 10.0f;
    active_timezone = -8.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    active_temp = 15.0f;
    active_press = 1006.0f;
    active_dt = 1;
    active_year = 2007;
    northsouth = 1;
    setMonthLengths(2007);
    for (auto _ : state) {
        float total = 0.0f;
        for (int m = 4; m <= 10; m++) total = total + getMonthsGDD(m, getMonthsIrr(m));
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_SeasonAprilToOctober)->Unit(benchmark::kMillisecond);
