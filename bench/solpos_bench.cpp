#include "solar/solpos.h"

#include <benchmark/benchmark.h>

// One S_solpos call with every step on the built-in instant test's case; the
// daily sums make about a thousand such calls per day.
static void BM_SolposAllSteps(benchmark::State &state) {
    solar_record r{};
    S_init(&r);
    r.latitude = 33.65f; r.longitude = -84.43f; r.surface_aspect = 135.0f; r.surface_tilt = 33.65f;
    r.year = 1999; r.month = 7; r.day_of_month = 22; r.day_of_year = 203;
    r.hour = 9; r.minute = 45; r.second = 37;
    r.temperature = 27.0f; r.pressure = 1006.0f; r.timezone_hours = -5.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(S_solpos(&r));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SolposAllSteps);
