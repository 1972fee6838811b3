// The day a season's running degree days reach a target, and that day said
// as a date.
#include "model/degreeDayTarget.h"

#include "model/integration.h"
#include "model/model.h"

#include <algorithm>
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
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    std::vector<float> whole(n);
    std::vector<float> month_degree_days(n);
    std::vector<float> running(n, 0.0f);
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
        }
        before += length;
        k += static_cast<size_t>(length);
    }
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
