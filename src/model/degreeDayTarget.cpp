// The day a season's running degree days reach a target, and that day said
// as a date.
#include "model/degreeDayTarget.h"

#include "model/integration.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

float dayDegreeDays(float day_irradiation, float month_irradiation, float month_degree_days) {
    // The one-day calculator's test and grouping: a month with next to no
    // sun shares out nothing rather than dividing by a tiny total.
    if (!(static_cast<double>(month_irradiation) > 0.01)) return 0.0f;
    return (day_irradiation / month_irradiation) * month_degree_days;
}

// Day by day across the surfaces, so that a day's values are read in one
// sweep; each surface's sums still run in its own day order.
void targetDaysFromDays(const season_range *season, const int lengths[12], int zone, const float *elevation,
                        const float *daily, int count, double target, int *days) {
    targetDaysFromDaysInGroups(season, lengths, zone, elevation, daily, count, target, days, nullptr, nullptr);
}

void targetDaysFromDaysInGroups(const season_range *season, const int lengths[12], int zone, const float *elevation,
                                const float *daily, int count, double target, int *days,
                                const std::int32_t *group, group_running *totals) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    std::vector<float> whole(n);
    std::vector<float> month_degree_days(n);
    std::vector<float> running(n, 0.0f);
    // The season's running totals, day-major, only when a group keeps them.
    std::vector<float> kept(totals != nullptr ? n * static_cast<size_t>(seasonDays(season)) : 0);
    size_t day_of_season = 0;
    std::fill(days, days + n, 0);
    int before = 0;  // days of the year before the month
    for (int m = 1; m < season->start_month; m++) before += lengths[m - 1];
    size_t k = 0;  // the month's first day
    for (int m = season->start_month; m <= season->stop_month; m++) {
        const int length = lengths[m - 1];
        const int first = m == season->start_month ? season->start_day : 1;
        const int last = m == season->stop_month ? season->stop_day : length;
        // The whole month in day order, as seasonMonth and the one-day
        // calculator sum it: the degree days of a month come from all of it.
        std::fill(whole.begin(), whole.end(), 0.0f);
        for (int d = 0; d < length; d++) {
            const float *v = daily + (k + static_cast<size_t>(d)) * n;
            for (size_t i = 0; i < n; i++) whole[i] = whole[i] + v[i];
        }
        for (size_t i = 0; i < n; i++) month_degree_days[i] = zoneGDD(zone, m, whole[i], elevation[i]);
        for (int d = first; d <= last; d++) {
            const float *v = daily + (k + static_cast<size_t>(d - 1)) * n;
            for (size_t i = 0; i < n; i++) {
                running[i] = running[i] + dayDegreeDays(v[i], whole[i], month_degree_days[i]);
                if (days[i] == 0 && static_cast<double>(running[i]) >= target) days[i] = before + d;
            }
            if (!kept.empty() && day_of_season * n < kept.size())
                std::copy(running.begin(), running.end(), kept.begin() + static_cast<long>(day_of_season * n));
            day_of_season++;
        }
        before += length;
        k += static_cast<size_t>(length);
    }
    if (totals != nullptr && group != nullptr) totals->add(group, kept.data(), count);
}

int seasonDays(const season_range *season) {
    int lengths[12];
    if (sweepSeasonCheck(season, lengths) != 0) return 0;
    int days = season->stop_day - season->start_day + 1;
    for (int m = season->start_month; m < season->stop_month; m++) days += lengths[m - 1];
    return days;
}

namespace {

// 2^64: a running total's fixed-point scale.
const double kFixed = 18446744073709551616.0;

}  // namespace

group_running::group_running(int groups, int days)
    : groups_(groups > 0 ? groups : 0),
      days_(days > 0 ? days : 0),
      sums_(static_cast<size_t>(groups_) * static_cast<size_t>(days_), 0),
      surfaces_(static_cast<size_t>(groups_), 0),
      broken_(static_cast<size_t>(groups_), 0) {}

void group_running::add(const std::int32_t *group, const float *running, int count) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    for (size_t i = 0; i < n; i++) {
        const std::int32_t g = group[i];
        if (g < 1 || g > groups_) continue;
        const size_t at = static_cast<size_t>(g - 1);
        surfaces_[at]++;
        __int128 *sum = sums_.data() + at * static_cast<size_t>(days_);
        for (size_t k = 0; k < static_cast<size_t>(days_); k++) {
            const double v = static_cast<double>(running[k * n + i]);
            // A float times a power of two is exact in double. A season's
            // total stays far below 2^20 degree days (366 days of 30); held
            // to it, the sum has room for 2^43 surfaces.
            if (!(std::fabs(v) < 1048576.0)) {
                broken_[at] = 1;
                continue;
            }
            sum[k] += static_cast<__int128>(v * kFixed);
        }
    }
}

void group_running::merge(const group_running &other, const std::int32_t *as) {
    if (other.days_ != days_) return;
    const size_t days = static_cast<size_t>(days_);
    for (int g = 1; g <= other.groups_; g++) {
        const std::int32_t to = as != nullptr ? as[g - 1] : g;
        if (to < 1 || to > groups_) continue;
        const size_t from = static_cast<size_t>(g - 1), at = static_cast<size_t>(to - 1);
        for (size_t k = 0; k < days; k++) sums_[at * days + k] += other.sums_[from * days + k];
        surfaces_[at] += other.surfaces_[from];
        broken_[at] = static_cast<unsigned char>(broken_[at] | other.broken_[from]);
    }
}

long group_running::surfaces(int group) const {
    return group < 1 || group > groups_ ? 0 : surfaces_[static_cast<size_t>(group - 1)];
}

double group_running::mean(int group, int k) const {
    const long n = surfaces(group);
    if (n == 0 || k < 0 || k >= days_ || broken_[static_cast<size_t>(group - 1)] != 0) return NAN;
    const __int128 sum = sums_[static_cast<size_t>(group - 1) * static_cast<size_t>(days_) + static_cast<size_t>(k)];
    return static_cast<double>(sum) / kFixed / static_cast<double>(n);
}

int group_running::reachDay(int group, double target, const season_range *season) const {
    int lengths[12];
    if (surfaces(group) == 0 || sweepSeasonCheck(season, lengths) != 0) return -1;
    if (broken_[static_cast<size_t>(group - 1)] != 0) return -1;
    int first = season->start_day;   // the season's first day, of the year
    for (int m = 1; m < season->start_month; m++) first += lengths[m - 1];
    for (int k = 0; k < days_; k++)
        if (mean(group, k) >= target) return first + k;
    return 0;
}

bool dateOfYearDay(int year, int day_of_year, int *day, int *month) {
    int lengths[12];
    monthLengths(year, lengths);
    int left = day_of_year;
    if (left < 1) return false;
    for (int m = 0; m < 12; m++) {
        if (left <= lengths[m]) {
            *day = left;
            *month = m + 1;
            return true;
        }
        left -= lengths[m];
    }
    return false;
}

std::string targetDateText(int year, int day_of_year) {
    if (day_of_year == 0) return "not reached in this season";
    int day = 0;
    int month = 0;
    if (!dateOfYearDay(year, day_of_year, &day, &month)) return "";
    return std::to_string(day) + " " + month_names[month - 1];
}

std::string targetIsoDate(int year, int day_of_year) {
    int day = 0;
    int month = 0;
    if (!dateOfYearDay(year, day_of_year, &day, &month)) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}
