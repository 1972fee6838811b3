// The Winkler regions as Jones et al. (2010) extended them, their season and
// what is said beside them.
#include "model/winklerRegions.h"

#include "model/model.h"

#include <cmath>

namespace {

// Jones, G. V., Duff, A. A., Hall, A. and Myers, J. W. (2010), Am. J. Enol.
// Vitic. 61:313-326, their Celsius classes (the original Fahrenheit regions
// converted, with Ia and the two open ends added).
const winkler_class kClasses[WINKLER_REGIONS] = {
    {"too cool", -HUGE_VAL, 850.0}, {"Ia", 850.0, 1111.0},  {"Ib", 1111.0, 1389.0},
    {"II", 1389.0, 1667.0},         {"III", 1667.0, 1944.0}, {"IV", 1944.0, 2222.0},
    {"V", 2222.0, 2700.0},          {"too hot", 2700.0, HUGE_VAL},
};

}  // namespace

const winkler_class *winklerClass(int region) {
    return region >= 0 && region < WINKLER_REGIONS ? &kClasses[region] : nullptr;
}

int winklerRegion(double degree_days) {
    if (std::isnan(degree_days)) return -1;
    int region = WINKLER_TOO_COOL;
    while (region + 1 < WINKLER_REGIONS && degree_days >= kClasses[region + 1].low) region++;
    return region;
}

double winklerBound(int k) { return k >= 0 && k < kWinklerBounds ? kClasses[k + 1].low : NAN; }

std::string winklerBoundsText(int region) {
    const winkler_class *c = winklerClass(region);
    if (c == nullptr) return "";
    // The bounds are whole numbers of degree days.
    const std::string low = std::to_string(static_cast<long>(c->low == -HUGE_VAL ? 0.0 : c->low));
    const std::string high = std::to_string(static_cast<long>(c->high == HUGE_VAL ? 0.0 : c->high));
    if (region == WINKLER_TOO_COOL) return "below " + high;
    if (region == WINKLER_TOO_HOT) return low + " and above";
    return low + " to " + high;
}

bool winklerSeason(const season_range &season) {
    return season.start_day == 1 && season.start_month == 4 && season.stop_day == 31 && season.stop_month == 10;
}

const char *winklerSourceText(void) {
    return "Winkler regions as extended by Jones et al. (2010, Am. J. Enol. Vitic. 61:313–326): Celsius degree "
           "days above 10 °C from 1 April to 31 October; a bound belongs to the warmer region.";
}

const char *winklerNoteText(void) {
    return "The index sums uncapped daily mean temperatures above 10 °C; veranta's degree days come from "
           "formulas fitted to records with daily maxima capped at 30 °C, which gives somewhat fewer on hot days, "
           "so a site near a region's edge may belong to the next warmer one.";
}

std::string winklerOffSeasonText(const season_range &season) {
    auto day = [](int d, int m) {
        return std::to_string(d) + " " + (m >= 1 && m <= 12 ? month_names[m - 1] : "?");
    };
    return "Winkler regions are defined on the degree days of 1 April to 31 October; this season runs from " +
           day(season.start_day, season.start_month) + " to " + day(season.stop_day, season.stop_month) +
           ", so no region is named.";
}

void winklerHectares(const float *degree_days, int cols, int rows, const double *row_area, float nodata,
                     const std::int32_t *cell_block, std::int32_t block, double hectares[WINKLER_REGIONS]) {
    for (int k = 0; k < WINKLER_REGIONS; k++) hectares[k] = 0.0;
    long count[WINKLER_REGIONS];
    for (int r = 0; r < rows; r++) {
        for (long &n : count) n = 0;
        const long first = static_cast<long>(r) * cols;
        for (long i = first; i < first + cols; i++) {
            if (cell_block != nullptr && cell_block[i] != block) continue;
            const float v = degree_days[i];
            if (v == nodata) continue;
            const int region = winklerRegion(v);
            if (region >= 0) count[region]++;
        }
        for (int k = 0; k < WINKLER_REGIONS; k++) hectares[k] += count[k] * row_area[r] / 10000.0;
    }
}
