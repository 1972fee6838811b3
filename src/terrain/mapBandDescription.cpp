// What each band of a map holds, as GIS programs show it.
#include "terrain/terrain.h"

namespace {

const char *const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

}  // namespace

std::string mapBandDescription(const season_range *season, int band) {
    switch (band) {
        case 0: return "season degree days";
        case 1: return "season irradiation (MJ/m2)";
        case 2: return "tilt (degrees)";
        case 3: return "aspect (degrees clockwise from north, -1 flat)";
        case 4: return "minutes of the season in terrain shadow";
        default: break;
    }
    const int month = season->start_month + (band - kMapFixedBands) / 2;
    const std::string name = month >= 1 && month <= 12 ? kMonths[month - 1] : "?";
    return (band - kMapFixedBands) % 2 == 0 ? name + " irradiation (MJ/m2)" : name + " degree days";
}
