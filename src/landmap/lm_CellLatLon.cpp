// Positions come from the terrain core's transformation, made once per map.
#include "landmap/landmap.h"

bool lm_CellLatLon(const lm_map *map, int col, int row, double *latitude, double *longitude) {
    if (col < 0 || row < 0 || col >= map->cols || row >= map->rows || map->latitude.empty()) return false;
    long i = static_cast<long>(row) * map->cols + col;
    *latitude = map->latitude[i];
    *longitude = map->longitude[i];
    return true;
}
