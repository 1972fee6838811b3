// The window's texts of a map, each worded as the window has always shown
// it. Only cells with an elevation have degree days; where the file has
// cells without data the answer says so, since the land's size shown on
// opening counts them too.
#include "terrain/mapTexts.h"

#include "model/calibratedRegion.h"
#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "terrain/mapFigures.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// printf into a string (in the process's locale, as the window's own
// formatting always was).
std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char *pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(&text[0], text.size() + 1, pattern, again);
    va_end(again);
    return text;
}

const char *c(const std::string &s) { return s.c_str(); }

}  // namespace

// std::to_chars writes as printf does in the "C" locale, whatever the
// desktop's.
std::string decimalString(double value, int decimals) {
    char buffer[400];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, r.ec == std::errc() ? r.ptr : buffer);
    // "-0.00" for a tiny negative difference reads as a loss that is not there.
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string aspectString(float aspect) {
    static const char *const names[8] = {"north", "north-east", "east", "south-east",
                                         "south", "south-west", "west", "north-west"};
    const std::string degrees = decimalString(aspect, std::fmod(aspect, 1.0f) == 0.0f ? 0 : 1);
    const double eighth = aspect / 45.0;
    if (aspect >= 0.0f && aspect < 360.0f && eighth == std::floor(eighth))
        return format("%s° (%s)", c(degrees), names[static_cast<int>(eighth)]);
    return degrees + "°";
}

namespace {

// A parcel's run: only the cells of its blocks count, whatever else its
// extent holds.
std::string parcelAnswer(const land_map &map, const float *blocks, float threshold) {
    const land_grid &g = map.grid;
    const float *gdd = map.band(map_quantity::degree_days);
    double parcel = 0.0, with_data = 0.0, at_least = 0.0;
    for (int r = 0; r < g.height; r++)
        for (int col = 0; col < g.width; col++) {
            const size_t i = static_cast<size_t>(r) * static_cast<size_t>(g.width) + static_cast<size_t>(col);
            if (!(blocks[i] > 0.0f)) continue;
            const double area = g.row_area[static_cast<size_t>(r)];
            parcel += area;
            if (gdd[i] == kMapNodata) continue;
            with_data += area;
            if (gdd[i] >= threshold) at_least += area;
        }
    auto ha = [](double m2) { return decimalString(m2 / 1e4, m2 < 1e5 ? 2 : 1); };
    std::string text = format("%s ha of your %s ha parcel (%s %%) get at least %s degree days over this season",
                              c(ha(at_least)), c(ha(parcel)),
                              c(decimalString(parcel > 0 ? 100.0 * at_least / parcel : 0.0, 1)),
                              c(decimalString(threshold, 0)));
    if (map.options.anchor.anchored()) text += " (anchored to station " + map.options.anchor.station + ")";
    if (parcel > with_data)
        text = format("%s; %s ha of the parcel have no elevation data and are not counted", c(text),
                      c(ha(parcel - with_data)));
    return text + ". Only the parcel's cells count: a cell counts when its centre lies inside a block.";
}

}  // namespace

std::string answerText(const land_map &map, float threshold) {
    const land_grid &g = map.grid;
    const float *gdd = map.band(map_quantity::degree_days);
    const float *blocks = map.band(map_quantity::block_number);
    if (blocks != nullptr) return parcelAnswer(map, blocks, threshold);
    const threshold_area a = thresholdArea(gdd, g.width, g.height, g.row_area.data(), threshold);
    std::string text = format("%s ha of %s ha (%s %%) get at least %s degree days over this season",
                              c(decimalString(a.at_least_ha, a.at_least_ha < 10 ? 2 : 1)),
                              c(decimalString(a.total_ha, a.total_ha < 10 ? 2 : 1)),
                              c(decimalString(a.total_ha > 0 ? 100.0 * a.at_least_ha / a.total_ha : 0.0, 1)),
                              c(decimalString(threshold, 0)));
    if (map.options.anchor.anchored()) text += " (anchored to station " + map.options.anchor.station + ")";
    double without = 0.0;
    for (int r = 0; r < g.height; r++)
        for (int col = 0; col < g.width; col++)
            if (gdd[static_cast<long>(r) * g.width + col] == kMapNodata) without += g.row_area[static_cast<size_t>(r)];
    if (without > 0.0)
        text = format("%s; the land's other %s ha have no elevation data and are not counted.", c(text),
                      c(decimalString(without / 1e4, without < 1e5 ? 2 : 1)));
    return text;
}

// Everything known about the cell under the pointer.
std::string spotText(const land_map *map, int col, int row) {
    if (map == nullptr || col < 0) return "Point at the map to read a spot; click it for its months.";
    const long i = static_cast<long>(row) * map->grid.width + col;
    double lat = 0, lon = 0;
    const bool placed = cellPosition(*map, col, row, &lat, &lon);
    const std::string where = placed ? format("%.5f° %s, %.5f° %s", std::fabs(lat), lat >= 0 ? "N" : "S",
                                              std::fabs(lon), lon >= 0 ? "E" : "W")
                                     : "position unknown";
    if (!map->hasData(i))
        return format("cell %d, %d   %s\nno data in the elevation model here", col, row, c(where));
    const size_t j = static_cast<size_t>(i);
    const std::string elevation =
        map->elevation.empty() ? "unknown" : decimalString(map->elevation[j], 1) + " m";
    const float aspect = map->band(map_quantity::aspect)[j];
    return format("%s degree days, %s MJ/m²   (cell %d, %d: %s)\n"
                  "elevation %s, tilt %s°, aspect %s, %s minutes of the season in terrain shadow",
                  c(decimalString(map->band(map_quantity::degree_days)[j], 1)),
                  c(decimalString(map->band(map_quantity::irradiation)[j], 1)), col, row, c(where),
                  c(elevation), c(decimalString(map->band(map_quantity::tilt)[j], 1)),
                  aspect < 0 ? "flat" : c(aspectString(aspect)),
                  c(decimalString(map->band(map_quantity::shadow_minutes)[j], 0)));
}

std::string outsideText(const land_map &map) {
    const double share = outsideShare(map);
    if (!(share > 0.0)) return "";
    return format("%s %% of this land lies outside the region the degree days are calibrated for "
                  "(%s): its degree days are not calibrated there.",
                  c(decimalString(100.0 * share, share < 0.01 ? 2 : 1)), calibratedRegionText());
}

std::string mapCaption(const land_map &map, const std::string &land_name) {
    const map_options &o = map.options;
    const season_range &s = o.season;
    const std::string shading = o.shade ? format("shaded by terrain (%d directions, %g m)", o.directions, o.distance)
                                        : "without terrain shading";
    const std::string anchored =
        o.anchor.anchored() ? "; degree days anchored to station " + o.anchor.station : std::string();
    return format("%s; %d %s to %d %s %d; %s%s", c(land_name), s.start_day, month_names[s.start_month - 1],
                  s.stop_day, month_names[s.stop_month - 1], s.year, c(shading), c(anchored));
}

namespace {

// A field as RFC 4180 wants it: quoted when it holds a comma, a quote or a
// line end, its quotes doubled.
std::string csvField(const std::string &text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

const char *const kSeasonHeader =
    "year,season first day,season last day,terrain shading (1 yes),shading directions,shading distance (m)";

// The season's and the shading's columns of every row, in kSeasonHeader's order.
std::string seasonFields(const land_map &map) {
    const map_options &o = map.options;
    const season_range &s = o.season;
    const std::string shading =
        o.shade ? format("1,%d,%s", o.directions, c(decimalString(o.distance, o.distance == std::round(o.distance) ? 0 : 2)))
                : "0,,";
    return format("%d,%04d-%02d-%02d,%04d-%02d-%02d,%s", s.year, s.year, s.start_month, s.start_day, s.year,
                  s.stop_month, s.stop_day, c(shading));
}

}  // namespace

// The histogram's classes, so the table and the picture agree.
std::string areaTableCsv(const land_map &map, float threshold, const std::string &dem_name) {
    const land_grid &g = map.grid;
    const float *gdd = map.band(map_quantity::degree_days);
    const value_range range = valueRange(gdd, g.cells());
    double hectares[kAreaClasses];
    areaClasses(gdd, g.width, g.height, g.row_area.data(), range.low, range.high, kAreaClasses, hectares);
    const threshold_area a = thresholdArea(gdd, g.width, g.height, g.row_area.data(), threshold);
    std::string out = std::string("dem file,") + kSeasonHeader +
                      ",threshold (degC degree days),degree days from (degC above 10 degC),"
                      "degree days to (degC above 10 degC),area (ha),share of the land with elevation data (%),"
                      "at least the threshold\r\n";
    const std::string run = csvField(dem_name) + "," + seasonFields(map) + "," +
                            decimalString(threshold, std::round(threshold) == threshold ? 0 : 2);
    const double span = static_cast<double>(range.high) - range.low;
    for (int k = 0; k < kAreaClasses; k++) {
        const double from = range.low + span * k / kAreaClasses, to = range.low + span * (k + 1) / kAreaClasses;
        out += format("%s,%s,%s,%s,%s,%s\r\n", c(run), c(decimalString(from, 2)), c(decimalString(to, 2)),
                      c(decimalString(hectares[k], 4)),
                      c(decimalString(a.total_ha > 0 ? 100.0 * hectares[k] / a.total_ha : 0.0, 3)),
                      from >= threshold ? "yes" : to > threshold ? "partly" : "no");
    }
    return out;
}

bool cellMonthsCsv(const land_map &map, int col, int row, const gdd_falls *falls, const std::string &dem_name,
                   std::string *csv) {
    cell_months months;
    if (col < 0 || row < 0 || col >= map.grid.width ||
        !cellMonths(map, static_cast<long>(row) * map.grid.width + col, falls, &months))
        return false;
    double lat = 0.0, lon = 0.0;
    cellPosition(map, col, row, &lat, &lon);
    const size_t cell = static_cast<size_t>(row) * static_cast<size_t>(map.grid.width) + static_cast<size_t>(col);
    const std::string elevation = cell < map.elevation.size() && map.elevation[cell] != kMapNodata
                                      ? decimalString(map.elevation[cell], 1)
                                      : "";
    // The cell, then the run: what every row starts with.
    const std::string head = format("%s,%d,%d,%s,%s,%s,%s", c(csvField(dem_name)), col, row,
                                    c(decimalString(lat, 6)), c(decimalString(lon, 6)), c(elevation),
                                    c(seasonFields(map)));
    std::string out = std::string("dem file,column (from 0),row (from 0),\"latitude (WGS 84, degrees, north positive)\","
                                  "\"longitude (WGS 84, degrees, east positive)\",elevation (m),") +
                      kSeasonHeader +
                      ",month,first day,last day,\"irradiation (MJ/m2, clear-sky direct beam)\","
                      "degree days (degC above 10 degC),fewer degree days for more sun (1 yes)\r\n";
    for (int k = 0; k < months.count; k++)
        out += format("%s,%s,%d,%d,%s,%s,%d\r\n", c(head), month_names[months.month[k] - 1], months.first[k],
                      months.last[k], c(decimalString(months.irradiation[k], 2)),
                      c(decimalString(months.degree_days[k], 2)), months.falling[k] ? 1 : 0);
    out += format("%s,season,,,%s,%s,\r\n", c(head), c(decimalString(months.total_irradiation, 2)),
                  c(decimalString(months.total_degree_days, 2)));
    *csv = out;
    return true;
}

std::string cellTargetText(const land_map &map, int col, int row) {
    if (col < 0 || row < 0 || col >= map.grid.width || row >= map.grid.height) return "";
    const int day = cellTargetDay(map, static_cast<long>(row) * map.grid.width + col);
    return day < 0 ? "" : targetDateText(map.options.season.year, day);
}
