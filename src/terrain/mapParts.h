// How a map run splits the raster: parts of at most kMapPart x kMapPart
// cells, computed one after the other, each on every thread.
#ifndef VERANTA_TERRAIN_MAPPARTS_H
#define VERANTA_TERRAIN_MAPPARTS_H

// A part's horizons (32 directions) and bands stay near 200 MB; a 1000 x
// 1000 raster is one part.
constexpr int kMapPart = 1024;
// Suns alive at once, those kept between parts included: a part's cells are
// computed block by block in batches of this many (a season's sun block is
// some 7 MB), so memory stays bounded whatever the cell size.
constexpr unsigned kMapSuns = 32;

#endif
