// The figures the map window reads off a map: areas summed row by row in
// double (so a million cells add up without drift), ranges, positions and a
// cell's months.
#include "terrain/mapFigures.h"

#include "model/model.h"
#include "model/seasonRanking.h"
#include "terrain/internals.h"

#include <algorithm>
#include <cmath>
#include <vector>

threshold_area thresholdArea(const float *values, int cols, int rows, const double *row_area, float threshold) {
    threshold_area a{0.0, 0.0};
    for (int r = 0; r < rows; r++) {
        long valid = 0, above = 0;
        const float *v = values + static_cast<long>(r) * cols;
        for (int c = 0; c < cols; c++) {
            if (v[c] == kMapNodata) continue;
            valid++;
            if (v[c] >= threshold) above++;
        }
        a.total_ha += valid * row_area[r] / 10000.0;
        a.at_least_ha += above * row_area[r] / 10000.0;
    }
    return a;
}

// Equal classes across the map's range, so the histogram's bars line up with
// the legend's scale.
void areaClasses(const float *values, int cols, int rows, const double *row_area, float low, float high,
                 int classes, double *hectares) {
    for (int k = 0; k < classes; k++) hectares[k] = 0.0;
    if (classes <= 0) return;
    const double width = (static_cast<double>(high) - low) / classes;
    for (int r = 0; r < rows; r++) {
        const float *v = values + static_cast<long>(r) * cols;
        for (int c = 0; c < cols; c++) {
            if (v[c] == kMapNodata) continue;
            double d = width > 0.0 ? std::floor((v[c] - static_cast<double>(low)) / width) : 0.0;
            int k = d < 0.0 ? 0 : d >= classes ? classes - 1 : static_cast<int>(d);
            hectares[k] += row_area[r] / 10000.0;
        }
    }
}

// The window's threshold starts at the land's median: half the land reaches it.
float medianValue(const float *values, long count) {
    std::vector<float> v;
    v.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; i++)
        if (values[i] != kMapNodata) v.push_back(values[i]);
    if (v.empty()) return kMapNodata;
    auto mid = v.begin() + static_cast<long>((v.size() - 1) / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// For the colour scale.
value_range valueRange(const float *values, long count) {
    value_range r{0.0f, 0.0f};
    bool any = false;
    for (long i = 0; i < count; i++) {
        const float x = values[i];
        if (x == kMapNodata) continue;
        r.low = any ? std::min(r.low, x) : x;
        r.high = any ? std::max(r.high, x) : x;
        any = true;
    }
    return r;
}

double outsideShare(const land_map &map) {
    return map.cells_with_data > 0 ? static_cast<double>(map.cells_outside) / map.cells_with_data : 0.0;
}

bool cellPosition(const land_map &map, int col, int row, double *latitude, double *longitude) {
    if (col < 0 || row < 0 || col >= map.grid.width || row >= map.grid.height || map.latitude.empty()) return false;
    const long i = static_cast<long>(row) * map.grid.width + col;
    *latitude = map.latitude[static_cast<size_t>(i)];
    *longitude = map.longitude[static_cast<size_t>(i)];
    return true;
}

// The cell whose centre lies nearest the point, if the point lies within
// that cell: within half the spacing of the neighbouring centres each way.
// A projected grid is not aligned with latitude and longitude, so the
// spacing is measured on the grid itself around the cell found.
bool cellOf(const land_map &map, double latitude, double longitude, int *col, int *row) {
    const int cols = map.grid.width;
    const int rows = map.grid.height;
    if (map.latitude.empty() || cols < 2 || rows < 2) return false;
    const double k = std::cos(latitude * 3.14159265358979323846 / 180.0);
    long best = -1;
    double bestD = 0.0;
    for (long i = 0; i < map.grid.cells(); i++) {
        double dy = map.latitude[static_cast<size_t>(i)] - latitude,
               dx = (map.longitude[static_cast<size_t>(i)] - longitude) * k;
        double d = dx * dx + dy * dy;
        if (best < 0 || d < bestD) {
            best = i;
            bestD = d;
        }
    }
    int c = static_cast<int>(best % cols), r = static_cast<int>(best / cols);
    auto at = [&](int cc, int rr, double *y, double *x) {
        size_t j = static_cast<size_t>(rr) * static_cast<size_t>(cols) + static_cast<size_t>(cc);
        *y = map.latitude[j];
        *x = map.longitude[j] * k;
    };
    double y0, x0, y1, x1, y2, x2;
    at(c, r, &y0, &x0);
    at(c == cols - 1 ? c - 1 : c + 1, r, &y1, &x1);
    at(c, r == rows - 1 ? r - 1 : r + 1, &y2, &x2);
    // The point in the grid's own axes, in cells from the centre found.
    double ax = x1 - x0, ay = y1 - y0, bx = x2 - x0, by = y2 - y0;
    double det = ax * by - ay * bx;
    if (det == 0.0) return false;
    double px = longitude * k - x0, py = latitude - y0;
    double u = (px * by - py * bx) / det, v = (ax * py - ay * px) / det;
    if (std::fabs(u) > 0.5 || std::fabs(v) > 0.5) return false;
    *col = c;
    *row = r;
    return true;
}


// The map keeps each month's irradiation as the season takes it; a first or
// last month taken only in part gets its degree days from the whole month,
// which the map keeps beside it, so the backwards flag is judged by that.
bool cellMonths(const land_map &map, long cell, const gdd_falls *falls, cell_months *months) {
    *months = cell_months{};
    if (!map.hasData(cell) || map.whole_edge_months.empty() || map.latitude.empty()) return false;
    const size_t i = static_cast<size_t>(cell);
    const size_t cells = static_cast<size_t>(map.grid.cells());
    const season_range &season = map.options.season;
    slope_season s{};
    for (int k = 0; k < 12; k++) {
        const float *irradiation = map.band(map_quantity::irradiation, k + 1);
        const float *degree_days = map.band(map_quantity::degree_days, k + 1);
        s.month_irradiation[k] = irradiation != nullptr ? irradiation[i] : 0.0f;
        s.month_degree_days[k] = degree_days != nullptr ? degree_days[i] : 0.0f;
        s.month_whole_irradiation[k] = s.month_irradiation[k];
    }
    s.month_whole_irradiation[season.start_month - 1] = map.whole_edge_months[i];
    s.month_whole_irradiation[season.stop_month - 1] = map.whole_edge_months[cells + i];
    s.season_irradiation = map.band(map_quantity::irradiation)[i];
    s.season_degree_days = map.band(map_quantity::degree_days)[i];
    // The zone's formula is the one the cell's sun block takes.
    float block_latitude, block_longitude;
    blockPoint(map.latitude[i], map.longitude[i], &block_latitude, &block_longitude);
    bool falling[12];
    seasonFallingMonths(falls, &s, gddZone(block_latitude), falling);

    months->count = seasonMonths(&season, months->month, months->first, months->last);
    for (int k = 0; k < months->count; k++) {
        const int m = months->month[k] - 1;
        months->irradiation[k] = s.month_irradiation[m];
        months->degree_days[k] = s.month_degree_days[m];
        months->falling[k] = falling[m];
    }
    months->total_irradiation = s.season_irradiation;
    months->total_degree_days = s.season_degree_days;
    return true;
}

int cellTargetDay(const land_map &map, long cell) {
    const float *day = map.band(map_quantity::target_day);
    if (day == nullptr || !map.hasData(cell)) return -1;
    return static_cast<int>(day[cell]);
}

void mapWinklerHectares(const land_map &map, const std::int32_t *cell_block, std::int32_t block,
                        double hectares[WINKLER_REGIONS]) {
    const float *gdd = map.band(map_quantity::degree_days);
    if (gdd == nullptr || map.grid.row_area.size() != static_cast<size_t>(map.grid.height)) {
        for (int k = 0; k < WINKLER_REGIONS; k++) hectares[k] = 0.0;
        return;
    }
    winklerHectares(gdd, map.grid.width, map.grid.height, map.grid.row_area.data(), kMapNodata, cell_block, block,
                    hectares);
}
