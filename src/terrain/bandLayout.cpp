// The band layout of a map: which quantity and month each band holds, with
// the description GIS programs show and its unit; and reading a map's bands
// through it.
#include "terrain/internals.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

const char *const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

const char kIrradiationUnit[] = "MJ/m2";
const char kDegreeDayUnit[] = "degC degree days";

// The optional bands' fixed order; -1 for a season's band.
int optionalRank(map_quantity quantity) {
    switch (quantity) {
        case map_quantity::block_number: return 0;
        case map_quantity::target_day: return 1;
        default: return -1;
    }
}

// A degree-day band's description: what (the season, a month's name), its
// unit and what the figure is; anchored, to which station.
std::string degreeDayDescription(const std::string &what, const std::string &station) {
    return what + " degree days (degC above 10 degC, estimated average season" +
           (station.empty() ? std::string() : ", anchored to station " + station) + ")";
}

}  // namespace

band_layout::band_layout(const season_range &season) {
    bands_ = {
        {map_quantity::degree_days, 0, degreeDayDescription("season", ""), kDegreeDayUnit},
        {map_quantity::irradiation, 0, "season irradiation (MJ/m2, clear-sky direct beam)", kIrradiationUnit},
        {map_quantity::tilt, 0, "tilt (degrees)", "degree"},
        {map_quantity::aspect, 0, "aspect (degrees clockwise from north, -1 flat)", "degree"},
        {map_quantity::shadow_minutes, 0, "minutes of the season in terrain shadow", "minute"},
    };
    for (int month = season.start_month; month <= season.stop_month; month++) {
        if (month < 1 || month > 12) continue;
        const std::string name = kMonths[month - 1];
        bands_.push_back({map_quantity::irradiation, month, name + " irradiation (MJ/m2, clear-sky direct beam)",
                          kIrradiationUnit});
        bands_.push_back({map_quantity::degree_days, month, degreeDayDescription(name, ""), kDegreeDayUnit});
    }
}

int band_layout::find(map_quantity quantity, int month) const {
    for (size_t b = 0; b < bands_.size(); b++)
        if (bands_[b].quantity == quantity && bands_[b].month == month) return static_cast<int>(b);
    return -1;
}

band_layout::band_layout(const map_options &options) : band_layout(options.season) {
    if (options.target > 0.0) addOptional(targetDayBand(options.target));
    if (options.anchor.anchored()) anchorTo(options.anchor.station);
}

void band_layout::anchorTo(const std::string &station) {
    for (map_band &b : bands_)
        if (b.quantity == map_quantity::degree_days)
            b.description = degreeDayDescription(b.month == 0 ? "season" : kMonths[b.month - 1], station);
}

int band_layout::append(const map_band &band) {
    bands_.push_back(band);
    return count() - 1;
}

int band_layout::addOptional(const map_band &band) {
    const int rank = optionalRank(band.quantity);
    if (rank < 0 || find(band.quantity, band.month) >= 0) return -1;
    // Before the first optional band that comes later in the order.
    const auto at = std::find_if(bands_.begin(), bands_.end(),
                                 [&](const map_band &b) { return optionalRank(b.quantity) > rank; });
    const auto placed = bands_.insert(at, band);
    return static_cast<int>(placed - bands_.begin());
}

std::string targetText(double target) {
    char text[64];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, target);
    return std::string(text, r.ec == std::errc() ? r.ptr : text);
}

map_band targetDayBand(double target) {
    return {map_quantity::target_day, 0,
            "day of the year the season reaches " + targetText(target) +
                " degree days (degC above 10 degC), 0 where not reached",
            "day of year"};
}

const float *land_map::band(map_quantity quantity, int month) const {
    const int b = layout.find(quantity, month);
    return b < 0 || values.empty() ? nullptr : band(b);
}

// Every cell with an elevation has its season's degree days.
bool land_map::hasData(long cell) const {
    const float *v = band(map_quantity::degree_days);
    return v != nullptr && cell >= 0 && cell < grid.cells() && v[cell] != kMapNodata;
}

std::string horizonBandDescription(int directions, int k) {
    char text[80];
    std::snprintf(text, sizeof text, "horizon angle (degrees) towards %.4g degrees from north",
                  360.0 * k / directions);
    return text;
}
