// The GeoTIFF is written by the terrain core's own writer, the one
// veranta-map uses, from the same file and options as the map shown: the
// file is exactly what the command-line tool writes, bands, metadata and all,
// through the safe writer. It computes the land again tile by tile, so the
// window runs it on a worker.
#include "landmap/landmap.h"

bool lm_ExportGeoTiff(const lm_map *map, const char *path, map_control *control, GError **error) {
    dem_source dem;
    std::string refusal;
    int status = openDem(map->path, 0, &dem, &refusal);
    if (status == TERRAIN_OK) {
        map_extent whole;
        status = writeMap(&dem, &map->options, &whole, path, "", control, &refusal);
    }
    closeDem(&dem);
    if (status != TERRAIN_OK)
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED,
                            status == TERRAIN_CANCELLED ? "cancelled" : refusal.c_str());
    return status == TERRAIN_OK;
}
