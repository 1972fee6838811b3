// A map anchored to a weather station's offsets: the months moved, the
// season formed again from them in month order, in single precision, as
// seasonFromDays forms it from the cells' months, so that an anchored
// season is exactly the sum a reader of the month bands gets.
#include "terrain/mapAnchor.h"

#include "terrain/internals.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// The shortest decimal that reads back as the same number, in any locale.
template <typename T> std::string shortest(T value) {
    char text[64];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ec == std::errc() ? r.ptr : text);
}

// A site's figure: the model takes it in single precision, so a figure that
// is a float is said as that float ("44.6341", not its 17 digits).
std::string siteFigure(double value) {
    const float single = static_cast<float>(value);
    return static_cast<double>(single) == value ? shortest(single) : shortest(value);
}

}  // namespace

bool checkMapAnchor(const map_anchor &anchor, const season_range &season, std::string *why) {
    auto refuse = [&](const std::string &text) {
        if (why != nullptr) *why = text;
        return false;
    };
    if (!anchor.anchored()) return refuse("the map is anchored to no station");
    if (!(std::fabs(anchor.latitude) <= 90.0) || !(std::fabs(anchor.longitude) <= 180.0) ||
        !std::isfinite(anchor.elevation))
        return refuse("the station's site must be a latitude from -90 to 90, a longitude from -180 to 180 and an "
                      "elevation in metres");
    for (int m = std::max(1, season.start_month); m <= std::min(12, season.stop_month); m++) {
        const double offset = anchor.offsets[m - 1];
        if (!(std::fabs(offset) <= kMaxAnchorOffset))
            return refuse("the station's offset for month " + std::to_string(m) +
                          " must be a number of degree days from -10000 to 10000");
    }
    return true;
}

void anchorCells(land_map *map, const map_window &cells) {
    const map_anchor &anchor = map->options.anchor;
    if (!anchor.anchored() || map->values.empty()) return;
    const season_range &season = map->options.season;
    const land_grid &g = map->grid;
    auto degreeDays = [&](int month) -> float * {
        const int b = map->layout.find(map_quantity::degree_days, month);
        return b < 0 ? nullptr : map->values.data() + static_cast<size_t>(b) * static_cast<size_t>(g.cells());
    };
    float *season_gdd = degreeDays(0);
    if (season_gdd == nullptr) return;
    float *months[12] = {};
    for (int m = season.start_month; m <= season.stop_month; m++) months[m - 1] = degreeDays(m);
    for (int y = cells.y0; y < cells.y0 + cells.height; y++) {
        const long row = static_cast<long>(y - g.y0) * g.width;
        for (int x = cells.x0; x < cells.x0 + cells.width; x++) {
            const long i = row + (x - g.x0);
            if (season_gdd[i] == kMapNodata) continue;
            float total = 0.0f;
            for (int m = season.start_month; m <= season.stop_month; m++) {
                float *month = months[m - 1];
                if (month == nullptr) continue;
                month[i] = static_cast<float>(std::max(0.0, static_cast<double>(month[i]) + anchor.offsets[m - 1]));
                total = total + month[i];
            }
            season_gdd[i] = total;
        }
    }
}

int anchorLandMap(land_map *map, const map_anchor &anchor, std::string *refusal) {
    std::string why;
    auto refuse = [&](const std::string &text) {
        if (refusal != nullptr) *refusal = text;
        return static_cast<int>(TERRAIN_BAD_OPTION);
    };
    if (map->values.empty() || map->grid.cells() <= 0) return refuse("there is no map to anchor");
    if (map->options.anchor.anchored())
        return refuse("the map is anchored to station " + map->options.anchor.station + " already");
    if (map->layout.find(map_quantity::target_day) >= 0)
        return refuse("a map with a target's day cannot be anchored: that day comes from the estimate's own days");
    if (!checkMapAnchor(anchor, map->options.season, &why)) return refuse(why);
    map->options.anchor = anchor;
    map->layout.anchorTo(anchor.station);
    const land_grid &g = map->grid;
    anchorCells(map, map_window{g.x0, g.y0, g.width, g.height});
    return TERRAIN_OK;
}

std::string anchorSiteText(const map_anchor &anchor) {
    return siteFigure(anchor.latitude) + "," + siteFigure(anchor.longitude) + "," + siteFigure(anchor.elevation);
}

std::string anchorOffsetsText(const map_anchor &anchor, const season_range &season) {
    std::string text;
    for (int m = std::max(1, season.start_month); m <= std::min(12, season.stop_month); m++)
        text += (text.empty() ? "" : ",") + std::to_string(m) + "=" + shortest(anchor.offsets[m - 1]);
    return text;
}
