// How a map run splits the raster: parts of at most kMapPart x kMapPart
// cells, computed one after the other, each on every thread.
#ifndef VERANTA_TERRAIN_MAPPARTS_H
#define VERANTA_TERRAIN_MAPPARTS_H

// A part's horizons (32 directions) and bands stay near 200 MB; a 1000 x
// 1000 raster is one part.
constexpr int kMapPart = 1024;
// Suns kept at most between parts (beyond those the last part used).
constexpr unsigned kMapKeptSuns = 64;

#endif
