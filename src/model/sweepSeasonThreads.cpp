// The season of the season window for many slopes at once: every day of the
// season's months is integrated once for all slopes (the sun placed once per
// sample), the days shared out over threads; each slope's months and totals
// are then formed from its daily values exactly as the window forms them,
// and, when asked, the day its degree days reach a target.
#include "model/sweepSeason.h"

#include "model/degreeDayTarget.h"
#include "model/gddFalls.h"
#include "model/integration.h"
#include "model/runOnThreads.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

struct sweep_day {
    int day;
    int month;
};

// Daily values held at once: bounds the memory of a very long slope list,
// which is then swept in parts.
const long kMaxDailyValues = 1L << 22;

// The window's test of a run: finite inputs that the engine takes at noon of
// the first day, for the site and then for every slope.
int checkSite(const site_location *site, const season_range *season, const slope *slopes, int count) {
    if (!std::isfinite(site->latitude) || !std::isfinite(site->longitude) || !std::isfinite(site->elevation))
        return SWEEP_BAD_SITE;
    day_conditions c = siteConditions(site->latitude, site->longitude, 180.0f, 0.0f);
    solar_record record{};
    fillRecord(&record, &c, season->start_day, season->start_month, season->year);
    if (S_solpos(&record) != 0) return SWEEP_BAD_SITE;
    for (int i = 0; i < count; i++) {
        if (!std::isfinite(slopes[i].aspect) || !std::isfinite(slopes[i].tilt)) return SWEEP_BAD_SLOPE;
        c.aspect = slopes[i].aspect;
        c.tilt = slopes[i].tilt;
        fillRecord(&record, &c, season->start_day, season->start_month, season->year);
        if (S_solpos(&record) != 0) return SWEEP_BAD_SLOPE;
    }
    return 0;
}

bool cancelled(const sweep_control *control) {
    return control != nullptr && control->cancel.load(std::memory_order_relaxed);
}

// Integrates every day for the surfaces into daily (day-major, count values a
// day), on up to threads threads taking days in turn. Each day's values are
// the same whichever thread takes it. False when cancelled or refused.
bool integrateDays(const day_conditions *c, int year, const std::vector<sweep_day> &days, const surface_set *surfaces,
                   float *daily, int threads, sweep_control *control) {
    const int ndays = static_cast<int>(days.size());
    const int count = surfaces->count;
    threads = std::max(1, std::min(threads, ndays));
    std::vector<std::vector<float>> work(static_cast<size_t>(threads), std::vector<float>(static_cast<size_t>(count)));
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};

    auto worker = [&](float *scratch) {
        for (;;) {
            if (cancelled(control) || failed.load(std::memory_order_relaxed)) return;
            const int k = next.fetch_add(1);
            if (k >= ndays) return;
            float *out = daily + static_cast<long>(k) * count;
            if (dayIrradiation(c, days[static_cast<size_t>(k)].day, days[static_cast<size_t>(k)].month, year, surfaces,
                               out, scratch) != 0)
                failed.store(true);
            if (control != nullptr) control->days_done.fetch_add(1);
        }
    };

    // Each thread its own scratch; fewer threads share the days among them.
    std::atomic<int> slot{0};
    runOnThreads(threads, [&] { worker(work[static_cast<size_t>(slot.fetch_add(1))].data()); });
    return !failed.load() && !cancelled(control);
}

// target_days null: no target.
int sweep(const site_location *site, const season_range *season, const slope *slopes, int count,
          slope_season *results, double target, int *target_days, sweep_control *control, int threads,
          const int lengths[12]) {
    std::vector<sweep_day> days;
    for (int m = season->start_month; m <= season->stop_month; m++)
        for (int d = 1; d <= lengths[m - 1]; d++) days.push_back({d, m});
    const long ndays = static_cast<long>(days.size());

    const int part = static_cast<int>(std::max(1L, std::min(static_cast<long>(count), kMaxDailyValues / ndays)));
    const int parts = count == 0 ? 0 : (count - 1) / part + 1;
    if (control != nullptr) control->days_total.store(static_cast<int>(ndays) * parts);

    const day_conditions c = siteConditions(site->latitude, site->longitude, 180.0f, 0.0f);
    const int zone = gddZone(site->latitude);

    std::vector<slope_season> swept(static_cast<size_t>(count));
    std::vector<int> days_reached(target_days == nullptr ? 0 : static_cast<size_t>(count));
    std::vector<float> terms(4 * static_cast<size_t>(part));
    std::vector<float> daily(static_cast<size_t>(ndays) * static_cast<size_t>(part));
    for (int base = 0; base < count; base += part) {
        const int n = std::min(part, count - base);
        float *ca = terms.data();
        float *sa = ca + n;
        float *ct = sa + n;
        float *st = ct + n;
        for (int i = 0; i < n; i++)
            S_surfaceTerms(slopes[base + i].aspect, slopes[base + i].tilt, &ca[i], &sa[i], &ct[i], &st[i]);
        const surface_set surfaces = {n, ca, sa, ct, st};
        if (!integrateDays(&c, season->year, days, &surfaces, daily.data(), threads, control))
            return cancelled(control) ? SWEEP_CANCELLED : SWEEP_BAD_SITE;

        for (int i = 0; i < n; i++) {
            seasonFromDays(season, lengths, zone, site->elevation, daily.data() + i, n,
                           &swept[static_cast<size_t>(base + i)]);
        }
        if (target_days != nullptr) {
            const std::vector<float> elevation(static_cast<size_t>(n), site->elevation);
            targetDaysFromDays(season, lengths, zone, elevation.data(), daily.data(), n, target,
                               days_reached.data() + base);
        }
    }
    // A cancel that came after the last day still means no results.
    if (cancelled(control)) return SWEEP_CANCELLED;
    std::copy(swept.begin(), swept.end(), results);
    if (target_days != nullptr) std::copy(days_reached.begin(), days_reached.end(), target_days);
    return 0;
}

int checkedSweep(const site_location *site, const season_range *season, const slope *slopes, int count,
                 slope_season *results, double target, int *target_days, sweep_control *control, int threads) {
    if (site == nullptr || season == nullptr || count < 0 || (count > 0 && (slopes == nullptr || results == nullptr)))
        return SWEEP_BAD_ARGUMENTS;
    int lengths[12];
    int code = sweepSeasonCheck(season, lengths);
    if (code == 0) code = checkSite(site, season, slopes, count);
    if (code != 0) return code;
    try {
        return sweep(site, season, slopes, count, results, target, target_days, control, threads, lengths);
    } catch (const std::bad_alloc &) {
        return SWEEP_NO_MEMORY;
    }
}

}  // namespace

int sweepSeasonThreads(const site_location *site, const season_range *season, const slope *slopes, int count,
                       slope_season *results, sweep_control *control, int threads) {
    return checkedSweep(site, season, slopes, count, results, 0.0, nullptr, control, threads);
}

int sweepSeasonToTarget(const site_location *site, const season_range *season, const slope *slopes, int count,
                        double target, slope_season *results, int *target_days, sweep_control *control,
                        int threads) {
    if (count > 0 && target_days == nullptr) return SWEEP_BAD_ARGUMENTS;
    return checkedSweep(site, season, slopes, count, results, target, target_days, control, threads);
}
