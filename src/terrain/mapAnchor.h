// A map anchored to a weather station: each month of the season gets the
// station's offset (its measured mean minus the estimate at its site, in
// degC degree days; the station core gives them, station/stationAnchor.h)
// added to every cell's degree days, never below 0, and the season's degree
// days are formed again from the anchored months as the cells form them. The
// map keeps the terrain's differences from the formula and takes its level
// from the station. No GTK, no global state.
//
// Two ways in: options whose anchor names a station make computeMap and
// writeMap anchor each part as it is computed; or a map computed unanchored
// (as the window keeps it) is anchored afterwards with anchorLandMap, on a
// copy when the unanchored map is to be kept too. Either way the map's
// options carry the anchor, so its degree-day bands, metadata and texts say so.
#ifndef VERANTA_TERRAIN_MAPANCHOR_H
#define VERANTA_TERRAIN_MAPANCHOR_H

#include "terrain/landMap.h"

#include <string>

// An offset's size beyond which it is no season's difference: the largest
// degree-day target.
constexpr double kMaxAnchorOffset = kMaxTarget;

// Whether anchor can anchor a map of season: a station named, a site on the
// earth, a finite offset of at most kMaxAnchorOffset for each month of the
// season (the rest are not read). False with *why, one sentence.
bool checkMapAnchor(const map_anchor &anchor, const season_range &season, std::string *why);

// Anchors a computed map that is not anchored yet: TERRAIN_OK, or
// TERRAIN_BAD_OPTION with *refusal (one sentence) and the map untouched for
// an anchor checkMapAnchor refuses, a map already anchored, a map with a
// target's day band (that day is the estimate's own, not the anchored
// months') or a map without values.
int anchorLandMap(land_map *map, const map_anchor &anchor, std::string *refusal);

// The metadata's wording: the site as "44.57,-123.27,70" (latitude degrees
// north, longitude degrees east, elevation metres), and the offsets of the
// season's months as "4=-12.5,5=3.25,…" (month number = degC degree days),
// each number the shortest decimal that reads back as the same.
std::string anchorSiteText(const map_anchor &anchor);
std::string anchorOffsetsText(const map_anchor &anchor, const season_range &season);

#endif
