// What the map window reads off a computed map, free of the toolkit so that
// unit tests reach it: where the pointer is on the grid, how many hectares
// reach a threshold, the land's area by class and by Winkler region, a band's
// range, where a cell lies and which cell holds a point, a cell's months and
// the day it reaches a target. A value of
// kMapNodata is no data and counts nowhere. Nothing here keeps state.
#ifndef VERANTA_TERRAIN_MAPFIGURES_H
#define VERANTA_TERRAIN_MAPFIGURES_H

#include "model/gddFalls.h"
#include "model/winklerRegions.h"
#include "terrain/landMap.h"

#include <cstdint>

// How a grid of cells lies on the screen: cell (0, 0)'s top-left corner at
// (x, y) and scale pixels per cell, the same across and down.
struct map_frame {
    double x, y;
    double scale;
};

// The whole grid centred in a width × height area, as large as fits.
map_frame mapFit(int cols, int rows, double width, double height);
// The frame zoomed by factor about the point (px, py), which stays over
// the same spot of the land.
map_frame mapZoom(const map_frame *frame, double factor, double px, double py);
// The cell under the point (px, py): true with *col, *row set when the point
// lies on the grid, false otherwise.
bool mapCellAt(const map_frame *frame, int cols, int rows, double px, double py, int *col, int *row);

// The land's area in hectares, and the part of it whose value is at least
// threshold; row_area[r] is the area of one cell of row r in m² (cells of a
// geographic grid shrink towards the pole).
struct threshold_area {
    double total_ha;
    double at_least_ha;
};
threshold_area thresholdArea(const float *values, int cols, int rows, const double *row_area, float threshold);

// The classes the window's histogram and area table share the land into.
constexpr int kAreaClasses = 12;

// The area in hectares of each of classes equal classes from low to high
// (a value at high falls in the last class; values outside are clamped).
void areaClasses(const float *values, int cols, int rows, const double *row_area, float low, float high,
                 int classes, double *hectares);

// The point of the 0.05 degree grid whose sun a cell shares: its latitude
// chooses the cell's degree-day zone. Cells within 0.075 degrees of a pole
// share the one point at 89.9 degrees (north or south), longitude 0.
void blockPoint(double latitude, double longitude, float *block_latitude, float *block_longitude);

// The median of the values with data (the lower middle one of an even
// count), or kMapNodata when there are none.
float medianValue(const float *values, long count);

// The lowest and highest of the values with data; both 0 when there are none.
struct value_range {
    float low, high;
};
value_range valueRange(const float *values, long count);

// The share, 0 to 1, of the cells with an elevation that lie outside the
// region the degree days are calibrated for.
double outsideShare(const land_map &map);

// Where a cell's centre lies (WGS 84, east positive); false outside the grid
// or for a map without positions.
bool cellPosition(const land_map &map, int col, int row, double *latitude, double *longitude);
// The cell containing a point of the earth (WGS 84, east positive), false
// when it lies outside the map (or the map has no positions).
bool cellOf(const land_map &map, double latitude, double longitude, int *col, int *row);

// One cell's months as the month table shows them: the season's months in
// order with their days in the season, irradiation (MJ/m2) and degree days,
// each marked where the degree-day formula runs backwards (judged by the
// whole month the degree days come from, in the zone of the cell's sun
// block), and the season's totals. The map needs its whole edge months and
// positions.
struct cell_months {
    int count;                 // months of the season, in order
    int month[12];             // 1 = January
    int first[12], last[12];   // days of the month in the season
    float irradiation[12];     // MJ/m2, clear-sky direct beam
    float degree_days[12];     // degree days, °C above a base of 10 °C
    bool falling[12];          // in a range where the formula runs backwards
    float total_irradiation, total_degree_days;
};
// False, with *months empty, for a cell without data.
bool cellMonths(const land_map &map, long cell, const gdd_falls *falls, cell_months *months);

// The day of the season's year (1 = 1 January) on which the cell's degree
// days reach the map's target (options.target), 0 where the season ends
// first; -1 for a cell without data or a map without a target.
int cellTargetDay(const land_map &map, long cell);

// The land's hectares of each Winkler region (winklerRegions.h) by its season
// degree days: every cell with data, or with cell_block not null (a value
// per cell of the grid) those whose cell_block is block. Whatever the
// season: whether a region may be named is winklerSeason's to say.
void mapWinklerHectares(const land_map &map, const std::int32_t *cell_block, std::int32_t block,
                        double hectares[WINKLER_REGIONS]);

#endif
