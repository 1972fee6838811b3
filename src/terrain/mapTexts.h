// The texts the map window shows and exports of a computed map, free of the
// toolkit so that unit tests reach them: the answer in hectares, the readout
// of a cell, the note on the calibrated region, the caption of a saved map,
// the CSV of the area table and of a cell's months (RFC 4180, CRLF), and the
// date a cell reaches the target.
// Numbers keep a decimal point whatever the desktop's language.
#ifndef VERANTA_TERRAIN_MAPTEXTS_H
#define VERANTA_TERRAIN_MAPTEXTS_H

#include "model/gddFalls.h"
#include "terrain/landMap.h"

#include <string>

// value with decimals digits after a decimal point, in any locale; never
// "-0.00" for a tiny negative value.
std::string decimalString(double value, int decimals);
// "180° (south)", "165°": an aspect as the windows name it.
std::string aspectString(float aspect);

// "X ha of Y ha (Z %) get at least T degree days over this season", with
// "(anchored to station NAME)" for an anchored map, and how much of the land
// has no elevation data and is not counted, if any. A parcel's map (one with
// a block band): "X ha of your Y ha parcel (Z %) …", its cells only.
std::string answerText(const land_map &map, float threshold);

// The readout of the cell under the pointer on two lines, or the hint when
// map is null or col < 0. Cells are numbered as GDAL numbers the map's
// pixels and lines, from 0 (gdallocationinfo finds the same cell in the
// exported GeoTIFF). The map needs its elevations and positions.
std::string spotText(const land_map *map, int col, int row);

// The banner over a map partly or wholly outside the region the degree days
// are calibrated for; empty when every cell lies inside.
std::string outsideText(const land_map &map);

// The caption of a saved map: the land's name as the window shows it, the
// season and the shading, and the station an anchored map's degree days are
// anchored to.
std::string mapCaption(const land_map &map, const std::string &land_name);

// The CSVs below carry the run in columns, so that each row stands alone:
// the DEM's file name (dem_name, as the window shows it), the year, the
// season's first and last day (ISO dates) and the shading (1 or 0, its
// directions and distance in metres, empty without shading).

// The area table: the histogram's kAreaClasses classes with their hectares,
// their share of the land, and whether they reach the threshold (whose
// value is a column too).
std::string areaTableCsv(const land_map &map, float threshold, const std::string &dem_name);

// The months of the cell (col, row, from 0 as GDAL numbers them) as the
// table shows them, the season last, with the cell's position and
// elevation; each month says, 1 or 0, whether its degree days come from
// where the formula gives fewer degree days for more sun. False, with
// nothing in *csv, for a cell without data.
bool cellMonthsCsv(const land_map &map, int col, int row, const gdd_falls *falls, const std::string &dem_name,
                   std::string *csv);

// The date the cell (col, row) reaches the map's target: "14 August", or
// "not reached in this season"; empty for a cell without data or a map
// without a target.
std::string cellTargetText(const land_map &map, int col, int row);

#endif
