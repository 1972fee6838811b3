// Speed of reading a station's file and of the estimate beside it: a year of
// a Davis logger's five-minute rows (105,120 rows, two header lines), and
// ten seasons of one site compared with the estimate (ten calendars, one
// sweep each).
#include "station/stationEstimate.h"
#include "station/stationRecord.h"
#include "station/stationSeasons.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string loggerYear() {
    std::string text = "\t\tTemp\tHi\tLow\tOut\n"
                       "Date\tTime\tOut\tTemp\tTemp\tHum\n";
    char row[96];
    for (int day = 0; day < 365; day++) {
        int m = 1, d = day + 1;
        while (d > daysInMonth(2023, m)) d -= daysInMonth(2023, m++);
        for (int minute = 5; minute <= 1440; minute += 5) {
            const double t = 60.0 + 20.0 * std::sin(day / 58.0) + 10.0 * std::sin(minute / 229.0);
            std::snprintf(row, sizeof row, "%d/%d/23\t%d:%02d %c\t%.1f\t%.1f\t%.1f\t80\n", m, d,
                          (minute / 60) % 12 == 0 ? 12 : (minute / 60) % 12, minute % 60, minute < 720 ? 'a' : 'p',
                          t, t + 0.4, t - 0.4);
            text += row;
        }
    }
    return text;
}

}  // namespace

static void BM_StationReadLoggerYear(benchmark::State &state) {
    const std::string text = loggerYear();
    for (auto _ : state) {
        station_record record;
        std::string why;
        benchmark::DoNotOptimize(readStationText(text.data(), text.size(), UNIT_UNSAID, &record, &why));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_StationReadLoggerYear)->Unit(benchmark::kMillisecond);

static void BM_StationTenSeasonsBesideTheEstimate(benchmark::State &state) {
    station_record record;
    for (int y = 2014; y <= 2023; y++)
        for (int m = 1; m <= 12; m++)
            for (int d = 1; d <= daysInMonth(y, m); d++) record.days.push_back({y, m, d, 24.0, 11.0});
    const site_location site = {44.5f, -123.3f, 150.0f};
    for (auto _ : state) {
        station_figures figures = measureSeasons(record, station_season(), GDD_CAPPED, 1000.0);
        station_comparison comparison;
        benchmark::DoNotOptimize(compareWithEstimate(figures, site, &comparison, nullptr));
    }
}
BENCHMARK(BM_StationTenSeasonsBesideTheEstimate)->Unit(benchmark::kMillisecond)->UseRealTime();
