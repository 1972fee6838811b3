// The estimate beside the measurement, and the CSV of both.
#include "station/stationEstimate.h"

#include "model/calibratedRegion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

// The sweep's season for a measured season in a calendar year.
season_range rangeIn(const station_season &s, int year) {
    season_range r{year, s.start_day, s.start_month, s.stop_day, s.stop_month};
    seasonDays(s, year, &r.start_day, &r.stop_day);
    return r;
}

// A figure with one decimal, a point whatever the locale, never "-0.0".
std::string fixed(double v, int decimals = 1) {
    if (!std::isfinite(v)) return "";
    const double scale = decimals == 1 ? 10.0 : 10000.0;
    double r = std::round(v * scale) / scale;
    if (r == 0.0) r = 0.0;
    char buffer[64];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, r, std::chars_format::fixed, decimals);
    return std::string(buffer, res.ptr);
}

std::string quoted(const std::string &text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

double toRadians(double degrees) { return degrees * 3.14159265358979323846 / 180.0; }

// Great-circle distance in km on a sphere of the earth's mean radius.
double distanceKm(double lat1, double lon1, double lat2, double lon2) {
    const double a = std::sin(toRadians(lat2 - lat1) / 2.0), b = std::sin(toRadians(lon2 - lon1) / 2.0);
    const double h = a * a + std::cos(toRadians(lat1)) * std::cos(toRadians(lat2)) * b * b;
    return 2.0 * 6371.0 * std::asin(std::min(1.0, std::sqrt(h)));
}

}  // namespace

bool monthComplete(const year_figures &year, int month) {
    if (month == 0) return year.complete;
    for (const month_figures &m : year.months)
        if (m.month == month) return m.complete;
    return false;
}

double estimateOf(const estimate_year &year, int month) {
    return month == 0 ? year.season.season_degree_days : year.season.month_degree_days[month - 1];
}

static double measuredOf(const year_figures &year, int month) {
    if (month == 0) return year.gdd;
    for (const month_figures &m : year.months)
        if (m.month == month) return m.gdd;
    return 0.0;
}

int compareWithEstimate(const station_figures &figures, const site_location &site, station_comparison *out,
                        std::atomic<bool> *cancel) {
    station_comparison c;
    c.site = site;
    const slope flat = {180.0f, 0.0f};
    std::map<int, slope_season> byCalendar;
    for (const year_figures &y : figures.years) {
        if (cancel != nullptr && cancel->load()) return SWEEP_CANCELLED;
        estimate_year e;
        e.year = y.year;
        e.calendar_year = std::min(2050, std::max(2000, y.year));
        c.clamped = c.clamped || e.calendar_year != y.year;
        auto known = byCalendar.find(e.calendar_year);
        if (known == byCalendar.end()) {
            const season_range range = rangeIn(figures.season, e.calendar_year);
            slope_season result;
            const int status = sweepSeason(&site, &range, &flat, 1, &result);
            if (status != 0) return status;
            known = byCalendar.emplace(e.calendar_year, result).first;
        }
        e.season = known->second;
        c.years.push_back(e);
    }
    std::vector<int> months;
    for (int m = figures.season.start_month; m <= figures.season.stop_month; m++) months.push_back(m);
    months.push_back(0);
    for (int m : months) {
        comparison_row row{m, 0};
        for (size_t i = 0; i < figures.years.size(); i++) {
            if (!monthComplete(figures.years[i], m)) continue;
            row.years++;
            row.measured += measuredOf(figures.years[i], m);
            row.estimate += estimateOf(c.years[i], m);
        }
        if (row.years > 0) {
            row.measured /= row.years;
            row.estimate /= row.years;
        }
        row.difference = row.measured - row.estimate;
        row.percent = row.estimate != 0.0 ? 100.0 * row.difference / row.estimate : std::nan("");
        c.rows.push_back(row);
    }
    c.region_note = regionDistanceText(site);
    *out = std::move(c);
    return 0;
}

std::string regionDistanceText(const site_location &site) {
    const calibrated_region &r = kCalibratedRegion;
    const double lat = site.latitude, lon = site.longitude, elev = site.elevation;
    if (cellInCalibratedRegion(lat, lon, elev, 0.0)) return "";
    const double nearLat = std::min(r.latitude_high, std::max(r.latitude_low, lat));
    const double nearLon = std::min(r.longitude_high, std::max(r.longitude_low, lon));
    const double km = distanceKm(lat, lon, nearLat, nearLon);
    const bool far = lat != nearLat || lon != nearLon;
    const bool above = elev > r.elevation_high, below = elev < r.elevation_low;
    const double metres = above ? elev - r.elevation_high : r.elevation_low - elev;
    char text[512];
    if (far && (above || below)) {
        std::snprintf(text, sizeof text,
                      "The station lies about %.0f km outside the region the degree-day formulas were fitted for, and "
                      "%.0f m %s its %s elevation",
                      km, metres, above ? "above" : "below", above ? "highest" : "lowest");
    } else if (far) {
        std::snprintf(text, sizeof text, "The station lies about %.0f km outside the region the degree-day formulas "
                                         "were fitted for", km);
    } else {
        std::snprintf(text, sizeof text, "The station lies %.0f m %s the %s elevation of the region the degree-day "
                                         "formulas were fitted for", metres, above ? "above" : "below",
                      above ? "highest" : "lowest");
    }
    return std::string(text) + " (" + calibratedRegionText() +
           "): the estimate there stretches formulas fitted elsewhere, and the difference says by how much.";
}

std::string stationCsv(const station_record &record, const station_figures &figures,
                       const station_comparison *comparison) {
    std::string out =
        "year,month,days,missing_days,complete,gdd_measured,gdd_estimate,difference,difference_percent,rule,"
        "station,latitude_deg,longitude_deg,elevation_m,estimate_year,target_gdd,season_first_day,"
        "season_last_day\n";
    std::string site = ",,,";
    if (comparison != nullptr)
        site = "," + fixed(comparison->site.latitude, 4) + "," + fixed(comparison->site.longitude, 4) + "," +
               fixed(comparison->site.elevation, 1);
    const std::string rule = quoted(gddRuleAscii(figures.rule));
    const std::string station = quoted(record.station);
    for (size_t i = 0; i < figures.years.size(); i++) {
        const year_figures &y = figures.years[i];
        const estimate_year *e = comparison != nullptr ? &comparison->years[i] : nullptr;
        // The season of this year, so that each row stands alone.
        int first = 0, last = 0;
        seasonDays(figures.season, y.year, &first, &last);
        char seasonText[40];
        std::snprintf(seasonText, sizeof seasonText, ",%04d-%02d-%02d,%04d-%02d-%02d", y.year, figures.season.start_month, first,
                      y.year, figures.season.stop_month, last);
        const std::string tail = "," + rule + "," + station + site + "," +
                                 (e != nullptr ? std::to_string(e->calendar_year) : std::string()) + ",";
        auto line = [&](const std::string &month, int days, int missing, bool complete, double measured, int m) {
            std::string estimate, difference, percent;
            if (e != nullptr) {
                const double est = estimateOf(*e, m);
                estimate = fixed(est);
                if (complete) {
                    difference = fixed(measured - est);
                    if (est != 0.0) percent = fixed(100.0 * (measured - est) / est);
                }
            }
            out += std::to_string(y.year) + "," + month + "," + std::to_string(days) + "," + std::to_string(missing) +
                   "," + (complete ? "1" : "0") + "," + fixed(measured) + "," + estimate + "," + difference + "," +
                   percent + tail + seasonText + "\n";
        };
        for (const month_figures &m : y.months) line(std::to_string(m.month), m.days, m.missing, m.complete, m.gdd, m.month);
        line("season", y.days, y.missing, y.complete, y.gdd, 0);
        if (figures.target > 0.0) {
            std::string date;
            int days = y.days, missing = y.missing;
            if (y.reached >= 0) {
                char iso[16];
                std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", y.year, y.reached_month, y.reached_day);
                date = iso;
                days = y.reached + 1;
                missing = y.missing_to_reached;
            }
            out += std::to_string(y.year) + ",target," + std::to_string(days) + "," + std::to_string(missing) + "," +
                   (y.complete ? "1" : "0") + "," + date + ",,," + "," + rule + "," + station + site + ",," +
                   fixed(figures.target) + seasonText + "\n";
        }
    }
    return out;
}
