// The season of many cells under one sun block. The cells are taken in parts
// small enough for their day sums and terms to stay in the cache; for each
// part every day's samples are added to every cell, and each cell's months
// and totals are then formed from its daily values as the slope sweep forms
// them, with the day they reach a target when one is asked.
#include "terrain/sunBlock.h"

#include "model/degreeDayTarget.h"
#include "model/gddFalls.h"
#include "model/integration.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

// Cells per part: the part's terms, sums and, with horizons, its angles of
// 32 directions stay within the first two cache levels.
const int kPart = 512;

bool hasAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
}

bool cancelled(const sweep_control *control) {
    return control != nullptr && control->cancel.load(std::memory_order_relaxed);
}

// The slope sweep's tests of a site and a slope, cell by cell: finite, and in
// the ranges the engine takes (where NaN is outside).
int checkCells(int count, const float *elevation, const slope *slopes) {
    for (int i = 0; i < count; i++)
        if (!std::isfinite(elevation[i])) return SWEEP_BAD_SITE;
    for (int i = 0; i < count; i++)
        if (!(std::fabs(slopes[i].tilt) <= 180.0f) || !(std::fabs(slopes[i].aspect) <= 360.0f)) return SWEEP_BAD_SLOPE;
    return 0;
}

// Each cell's months and totals from its daily values (day-major, n a day),
// exactly as the slope sweep forms a slope's; its samples in terrain shadow
// are those counted by the season's last day less those before its first.
// target null: no target day.
void formSeasons(const sun_block *b, int n, const float *daily, const float *elevation, const int *hidden_before,
                 const int *hidden, float step, const double *target, const std::int32_t *group,
                 group_running *running, cell_season *out) {
    const int zone = gddZone(b->latitude);
    for (int i = 0; i < n; i++) {
        slope_season season;
        seasonFromDays(&b->season, b->lengths, zone, elevation[i], daily + i, n, &season);
        cell_season &r = out[i];
        std::copy(season.month_irradiation, season.month_irradiation + 12, r.month_irradiation);
        std::copy(season.month_degree_days, season.month_degree_days + 12, r.month_degree_days);
        std::copy(season.month_whole_irradiation, season.month_whole_irradiation + 12, r.month_whole_irradiation);
        r.season_irradiation = season.season_irradiation;
        r.season_degree_days = season.season_degree_days;
        r.shadow_minutes = hidden == nullptr ? 0.0f : static_cast<float>(hidden[i] - hidden_before[i]) * step;
        r.target_day = 0;
    }
    if (target != nullptr) {
        std::vector<int> days(static_cast<size_t>(n));
        targetDaysFromDaysInGroups(&b->season, b->lengths, zone, elevation, daily, n, *target, days.data(), group,
                                   running);
        for (int i = 0; i < n; i++) out[i].target_day = days[static_cast<size_t>(i)];
    }
}

int compute(const sun_block *b, int count, const float *elevation, const slope *slopes, const cell_horizons *horizons,
            cell_season *results, sweep_control *control, cell_path path, const double *target,
            const std::int32_t *group, group_running *running) {
    const int samples = b->day_first[static_cast<size_t>(b->days)];
    const int part = std::min(kPart, std::max(count, 1));
    const int directions = horizons == nullptr ? 0 : horizons->directions;

    // Where each sample's sun stands among the directions, once for all parts.
    std::vector<int> below(horizons == nullptr ? 0 : static_cast<size_t>(samples));
    std::vector<float> weight(below.size());
    for (size_t s = 0; s < below.size(); s++) {
        // The engine gives a sun due north as a hair below 0 (its degree to
        // radian factor is a float a little above pi / 180): such an azimuth
        // is taken into [0, 360), so that no direction lies before the first.
        double azimuth = static_cast<double>(b->azimuth[s]);
        if (azimuth < 0.0) azimuth += 360.0;
        const double p = azimuth * directions / 360.0;
        const double k = std::floor(p);
        weight[s] = static_cast<float>(p - k);
        below[s] = static_cast<int>(k) % directions;
    }

    std::vector<cell_season> out(static_cast<size_t>(count));
    std::vector<float> terms(5 * static_cast<size_t>(part));
    std::vector<float> daily(static_cast<size_t>(b->days) * static_cast<size_t>(part));
    std::vector<float> angles(static_cast<size_t>(directions) * static_cast<size_t>(part));
    std::vector<int> hidden(horizons == nullptr ? 0 : static_cast<size_t>(part));
    const float step = static_cast<float>(calculatorConditions(0.0f, 0.0f, 180.0f, 0.0f).step);
    // The block holds whole months (their degree days need them); the
    // season's own days are first_day to last_day of them.
    const int first_day = b->season.start_day - 1;
    int last_day = b->season.stop_day - 1;
    for (int m = b->season.start_month; m < b->season.stop_month; m++) last_day += b->lengths[m - 1];
    std::vector<int> hidden_before(hidden.size());
    std::vector<int> hidden_season(hidden.size());

    for (int base = 0; base < count; base += part) {
        const int n = std::min(part, count - base);
        float *ca = terms.data();
        float *sa = ca + n;
        float *ct = sa + n;
        float *st = ct + n;
        float *sums = st + n;
        for (int i = 0; i < n; i++)
            S_surfaceTerms(slopes[base + i].aspect, slopes[base + i].tilt, &ca[i], &sa[i], &ct[i], &st[i]);
        const cell_part cells = {n, ca, sa, ct, st, sums};

        part_horizons hp = {};
        if (horizons != nullptr) {
            // Direction-major, so that a sample reads two rows of the part.
            for (int i = 0; i < n; i++)
                for (int k = 0; k < directions; k++)
                    angles[static_cast<size_t>(k) * n + i] =
                        horizons->angles[static_cast<size_t>(base + i) * directions + k];
            std::fill(hidden.begin(), hidden.end(), 0);
            hp = {below.data(), weight.data(), angles.data(), directions, hidden.data()};
        }

        for (int d = 0; d < b->days; d++) {
            if (cancelled(control)) return SWEEP_CANCELLED;
            if (d == first_day) std::copy(hidden.begin(), hidden.end(), hidden_before.begin());
            std::fill(sums, sums + n, 0.0f);
            addCellSamples(b, b->day_first[static_cast<size_t>(d)], b->day_first[static_cast<size_t>(d) + 1], &cells,
                           horizons == nullptr ? nullptr : &hp, path);
            float *day = daily.data() + static_cast<size_t>(d) * n;
            for (int i = 0; i < n; i++) day[i] = static_cast<float>(static_cast<double>(sums[i]) * 1e-6);
            if (d == last_day) std::copy(hidden.begin(), hidden.end(), hidden_season.begin());
        }
        formSeasons(b, n, daily.data(), elevation + base, hidden_before.data(),
                    horizons == nullptr ? nullptr : hidden_season.data(), step, target,
                    group == nullptr ? nullptr : group + base, running, out.data() + base);
    }
    // A cancel that came after the last day still means no results.
    if (cancelled(control)) return SWEEP_CANCELLED;
    std::copy(out.begin(), out.end(), results);
    return 0;
}

}  // namespace

// Which code path of the cell loop this processor runs.
cell_path cellPathRun(cell_path wanted) {
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool avx512 = hasAvx512();
    switch (wanted) {
        case CELL_PATH_BEST:
            return avx512 ? CELL_PATH_AVX512 : avx2 ? CELL_PATH_AVX2 : CELL_PATH_BASELINE;
        case CELL_PATH_AVX2:
            return avx2 ? CELL_PATH_AVX2 : CELL_PATH_BASELINE;
        case CELL_PATH_AVX512:
            return avx512 ? CELL_PATH_AVX512 : CELL_PATH_BASELINE;
        default:
            return CELL_PATH_BASELINE;
    }
}

int seasonCellsOn(const sun_block *block, int count, const float *elevation, const slope *slopes,
                  const cell_horizons *horizons, cell_season *results, sweep_control *control, cell_path path,
                  const double *target, const std::int32_t *group, group_running *running) {
    if (block == nullptr || count < 0 || (count > 0 && (elevation == nullptr || slopes == nullptr || results == nullptr)))
        return SWEEP_BAD_ARGUMENTS;
    if (horizons != nullptr && (horizons->directions < 1 || (count > 0 && horizons->angles == nullptr)))
        return SWEEP_BAD_ARGUMENTS;
    const int code = checkCells(count, elevation, slopes);
    if (code != 0) return code;
    try {
        return compute(block, count, elevation, slopes, horizons, results, control, cellPathRun(path), target, group,
                       running);
    } catch (const std::bad_alloc &) {
        return SWEEP_NO_MEMORY;
    }
}

// On the fastest path this processor has.
int seasonCells(const sun_block *block, int count, const float *elevation, const slope *slopes,
                const cell_horizons *horizons, cell_season *results, sweep_control *control) {
    return seasonCellsOn(block, count, elevation, slopes, horizons, results, control, CELL_PATH_BEST);
}

int seasonCellsToTarget(const sun_block *block, int count, const float *elevation, const slope *slopes,
                        const cell_horizons *horizons, double target, cell_season *results, sweep_control *control,
                        const std::int32_t *group, group_running *running) {
    return seasonCellsOn(block, count, elevation, slopes, horizons, results, control, CELL_PATH_BEST, &target, group,
                         running);
}
