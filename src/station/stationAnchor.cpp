// A station's offsets for anchoring a map: its seasons measured by the capped
// rule, set beside the estimate at its site, and each month's difference of
// the means taken, refused where a month has no complete year to take it from.
#include "station/stationAnchor.h"

#include <cmath>
#include <cstdlib>

namespace {

const char *const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

int say(std::string *why, int outcome, const std::string &text) {
    if (why != nullptr) *why = text;
    return outcome;
}

}  // namespace

bool parseSiteText(const std::string &text, site_location *site) {
    double v[3];
    const char *p = text.c_str();
    for (int i = 0; i < 3; i++) {
        char *end = nullptr;
        v[i] = std::strtod(p, &end);
        if (end == p || !std::isfinite(v[i]) || *end != (i < 2 ? ',' : '\0')) return false;
        p = end + 1;
    }
    if (v[0] < -90.0 || v[0] > 90.0 || v[1] < -180.0 || v[1] > 180.0) return false;
    *site = {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
    return true;
}

int anchorFromRecord(const station_record &record, const std::string &station, const station_season &season,
                     const site_location *site, station_anchor *out, std::string *why, std::atomic<bool> *cancel) {
    *out = station_anchor{};
    std::string bad;
    if (!checkStationSeason(season, &bad)) return say(why, ANCHOR_BAD_SEASON, bad);
    site_location at{};
    if (site != nullptr) {
        at = *site;
    } else if (record.site_known) {
        at = {static_cast<float>(record.latitude), static_cast<float>(record.longitude),
              static_cast<float>(record.elevation)};
    } else {
        return say(why, ANCHOR_NO_SITE, "the file does not say where the station is");
    }
    // The estimate's formulas were fitted with the capped rule: its offsets
    // must be measured by it too.
    const station_figures figures = measureSeasons(record, season, GDD_CAPPED, 0.0);
    station_comparison comparison;
    const int status = compareWithEstimate(figures, at, &comparison, cancel);
    if (status == SWEEP_CANCELLED) return say(why, ANCHOR_CANCELLED, "cancelled");
    if (status != 0) return say(why, ANCHOR_SITE_REFUSED, "the model cannot compute the station's site");
    for (const comparison_row &row : comparison.rows) {
        if (row.month == 0) continue;
        if (row.years == 0)
            return say(why, ANCHOR_INCOMPLETE_MONTH,
                       std::string("the file has no complete ") + kMonthNames[row.month - 1] +
                           " of the season (every year's has more than 3 days missing, or none is recorded)");
        out->offsets[row.month - 1] = row.difference;
        out->years[row.month - 1] = row.years;
    }
    out->station = station;
    out->site = at;
    out->region_note = comparison.region_note;
    return ANCHOR_OK;
}

int anchorFromFile(const std::string &path, temperature_unit unsaid, const station_season &season,
                   const site_location *site, station_anchor *out, std::string *why, std::atomic<bool> *cancel) {
    *out = station_anchor{};
    station_record record;
    std::string refusal;
    const int read = readStationFile(path, unsaid, &record, &refusal);
    if (read == STATION_READ_NEEDS_UNIT) return say(why, ANCHOR_NEEDS_UNIT, refusal);
    if (read != STATION_READ_OK) return say(why, ANCHOR_UNREADABLE, refusal);
    const size_t slash = path.find_last_of('/');
    return anchorFromRecord(record, slash == std::string::npos ? path : path.substr(slash + 1), season, site, out, why,
                            cancel);
}
