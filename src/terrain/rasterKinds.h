// The file name endings of the rasters GDAL can read here, for a file
// chooser's filter: whatever drivers this GDAL was built with.
#ifndef VERANTA_TERRAIN_RASTERKINDS_H
#define VERANTA_TERRAIN_RASTERKINDS_H

#include <string>
#include <vector>

std::vector<std::string> rasterEndings(void);

#endif
