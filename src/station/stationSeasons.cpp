// Degree days of the measured days, season by season.
#include "station/stationSeasons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const char *gddRuleName(gdd_rule rule) {
    return rule == GDD_NO_CAP ? "base 10 °C, no cap (Winkler)" : "base 10 °C, daily maximum capped at 30 °C";
}

const char *gddRuleAscii(gdd_rule rule) {
    return rule == GDD_NO_CAP ? "base 10 degC, no cap (Winkler)" : "base 10 degC, daily maximum capped at 30 degC";
}

double dayDegreeDays(double tmax, double tmin, gdd_rule rule) {
    if (std::isnan(tmax) || std::isnan(tmin)) return std::nan("");
    const double high = rule == GDD_CAPPED && tmax > 30.0 ? 30.0 : tmax;
    const double dd = (high + tmin) / 2.0 - 10.0;
    return dd > 0.0 ? dd : 0.0;
}

bool checkStationSeason(const station_season &s, std::string *why) {
    if (s.start_month < 1 || s.start_month > 12 || s.stop_month < 1 || s.stop_month > 12) {
        *why = "the season's months must be 1 to 12";
        return false;
    }
    if (s.stop_month <= s.start_month) {
        *why = "the season must end in a later month than it starts";
        return false;
    }
    // A leap year's lengths: 29 February is a season's day in the years that have it.
    if (s.start_day < 1 || s.start_day > daysInMonth(2000, s.start_month)) {
        *why = "the season's first day does not exist in its month";
        return false;
    }
    if (s.stop_day < 1 || s.stop_day > daysInMonth(2000, s.stop_month)) {
        *why = "the season's last day does not exist in its month";
        return false;
    }
    return true;
}

void seasonDays(const station_season &s, int year, int *start_day, int *stop_day) {
    *start_day = std::min(s.start_day, daysInMonth(year, s.start_month));
    *stop_day = std::min(s.stop_day, daysInMonth(year, s.stop_month));
}

namespace {

year_figures measureYear(const station_record &record, const station_season &s, gdd_rule rule, double target, int year) {
    year_figures y;
    y.year = year;
    int first = 0, last = 0;
    seasonDays(s, year, &first, &last);
    const long origin = dayNumber(record.days.front().year, record.days.front().month, record.days.front().day);
    const long count = static_cast<long>(record.days.size());
    double total = 0.0;
    for (int m = s.start_month; m <= s.stop_month; m++) {
        month_figures mf{m, 0, 0, false, 0.0};
        const int from = m == s.start_month ? first : 1;
        const int to = m == s.stop_month ? last : daysInMonth(year, m);
        for (int d = from; d <= to; d++) {
            const long i = dayNumber(year, m, d) - origin;
            const double dd = i >= 0 && i < count ? dayDegreeDays(record.days[i].tmax, record.days[i].tmin, rule)
                                                  : std::nan("");
            mf.days++;
            if (std::isnan(dd)) {
                mf.missing++;
            } else {
                mf.gdd += dd;
                total += dd;
            }
            y.running.push_back(total);
            if (y.reached < 0 && target > 0.0 && total >= target) {
                y.reached = static_cast<int>(y.running.size()) - 1;
                y.reached_month = m;
                y.reached_day = d;
                y.missing_to_reached = y.missing + mf.missing;
            }
        }
        mf.complete = mf.missing <= kMostMissingDays;
        y.days += mf.days;
        y.missing += mf.missing;
        y.gdd += mf.gdd;
        y.months.push_back(mf);
    }
    y.complete = true;
    for (const month_figures &mf : y.months) y.complete = y.complete && mf.complete;
    return y;
}

}  // namespace

station_figures measureSeasons(const station_record &record, const station_season &s, gdd_rule rule, double target) {
    station_figures f;
    f.rule = rule;
    f.season = s;
    f.target = target > 0.0 ? target : 0.0;
    if (record.days.empty()) return f;
    const station_day &a = record.days.front(), &b = record.days.back();
    const long first = dayNumber(a.year, a.month, a.day), last = dayNumber(b.year, b.month, b.day);
    for (int year = a.year; year <= b.year; year++) {
        int from = 0, to = 0;
        seasonDays(s, year, &from, &to);
        if (dayNumber(year, s.stop_month, to) < first || dayNumber(year, s.start_month, from) > last) continue;
        f.years.push_back(measureYear(record, s, rule, f.target, year));
    }
    double sum = 0.0;
    for (const year_figures &y : f.years) {
        if (!y.complete) continue;
        if (f.complete_years == 0 || y.gdd < f.lowest) {
            f.lowest = y.gdd;
            f.lowest_year = y.year;
        }
        if (f.complete_years == 0 || y.gdd > f.highest) {
            f.highest = y.gdd;
            f.highest_year = y.year;
        }
        f.complete_years++;
        sum += y.gdd;
        if (y.reached >= 0) f.reached_years++;
    }
    if (f.complete_years > 0) f.mean = sum / f.complete_years;
    return f;
}

std::string acrossYearsText(const station_figures &f) {
    char text[512];
    if (f.complete_years == 0) {
        std::snprintf(text, sizeof text,
                      "No complete season in the file (a month with more than %d days missing is incomplete).",
                      kMostMissingDays);
        return text;
    }
    std::snprintf(text, sizeof text,
                  "Over %d complete %s: mean season %.0f degree days, lowest %.0f (%d), highest %.0f (%d); %s.",
                  f.complete_years, f.complete_years == 1 ? "year" : "years", f.mean, f.lowest, f.lowest_year,
                  f.highest, f.highest_year, gddRuleName(f.rule));
    std::string out = text;
    if (f.target > 0.0) {
        std::snprintf(text, sizeof text, " In %d of %d complete years the season reached %g degree days.",
                      f.reached_years, f.complete_years, f.target);
        out += text;
    }
    return out;
}
