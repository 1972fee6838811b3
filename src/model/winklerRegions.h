// The Winkler regions: a season's Celsius degree days above 10 °C from
// 1 April to 31 October read as a climate class for grapes, with the classes
// of Jones et al. (2010). What every window, report and file that names a
// region calls: the classes and their bounds, which season they are shown
// for, the sentences said beside them, and hectares per region. No GTK and
// no shared state.
#ifndef VERANTA_MODEL_WINKLERREGIONS_H
#define VERANTA_MODEL_WINKLERREGIONS_H

#include "model/sweepSeason.h"

#include <cstdint>
#include <string>

// Coolest first; the order is the one legends and file columns use.
enum winkler_region {
    WINKLER_TOO_COOL,
    WINKLER_IA,
    WINKLER_IB,
    WINKLER_II,
    WINKLER_III,
    WINKLER_IV,
    WINKLER_V,
    WINKLER_TOO_HOT,
    WINKLER_REGIONS
};

// A class holds the degree days in [low, high): a bound belongs to the
// warmer class it begins, so 1111 is Ib, 2700 too hot, and "at least the
// bound" (the map's threshold) covers exactly that class and the warmer
// ones. low is -HUGE_VAL for too cool, high HUGE_VAL for too hot.
struct winkler_class {
    const char *name;   // "too cool", "Ia", "Ib", "II", "III", "IV", "V", "too hot"
    double low;         // degC degree days above 10 degC, 1 April to 31 October
    double high;
};

// The class of a region (WINKLER_TOO_COOL .. WINKLER_TOO_HOT); null for
// any other number.
const winkler_class *winklerClass(int region);

// The region of a season's degree days; -1 for a value that is not a number.
int winklerRegion(double degree_days);

// The seven bounds between the classes, 850 to 2700 degree days, coolest
// first: the threshold presets of a map.
constexpr int kWinklerBounds = WINKLER_REGIONS - 1;
double winklerBound(int k);

// "below 850", "850 to 1111", …, "2700 and above": a class's bounds as a
// legend or a table says them, in degree days.
std::string winklerBoundsText(int region);

// Whether a season is the one the regions are defined on: 1 April to
// 31 October, of any year. Only then is a region named.
bool winklerSeason(const season_range &season);

// Where the classes come from, one sentence, said wherever they are shown.
const char *winklerSourceText(void);
// How veranta's degree days differ from the index's, one sentence, said
// beside every region named.
const char *winklerNoteText(void);
// Why no region is named for another season: names the season given.
std::string winklerOffSeasonText(const season_range &season);

// Hectares of each region over the cells of a cols x rows grid of season
// degree days (row by row; row_area[r] is the area of one cell of row r in
// m²): every cell, or with cell_block not null only those whose cell_block
// is block (a block of a parcel). A value equal to nodata or not a number
// counts nowhere. Summed row by row in double.
void winklerHectares(const float *degree_days, int cols, int rows, const double *row_area, float nodata,
                     const std::int32_t *cell_block, std::int32_t block, double hectares[WINKLER_REGIONS]);

#endif
