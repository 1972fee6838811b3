// The GeoTIFF is written from the map the window holds, by the terrain core's
// own writer, the one veranta-map uses: the file is exactly what the
// command-line tool writes for the same land and settings, bands, metadata
// and all, through the safe writer, and nothing is computed again. The
// window's bands go back into the core's layout first: each band of the
// season's months, NaN back to the nodata value.
#include "landmap/landmap.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

void putBand(map_tile *tile, int band, const float *from) {
    const size_t cells = static_cast<size_t>(tile->width) * static_cast<size_t>(tile->height);
    float *to = tile->values.data() + static_cast<size_t>(band) * cells;
    std::transform(from, from + cells, to, [](float x) { return std::isnan(x) ? kMapNodata : x; });
}

}  // namespace

bool lm_ExportGeoTiff(const lm_map *map, const char *path, map_control *control, GError **error) {
    std::string refusal;
    int status = TERRAIN_OK;
    try {
        map_tile tile;
        tile.width = map->cols;
        tile.height = map->rows;
        tile.bands = mapBandCount(&map->options.season);
        tile.cells = map->cells_with_data;
        tile.cells_outside = map->cells_outside;
        const size_t cells = static_cast<size_t>(map->cells());
        tile.values.resize(static_cast<size_t>(tile.bands) * cells);
        putBand(&tile, 0, map->degree_days.data());
        putBand(&tile, 1, map->irradiation.data());
        putBand(&tile, 2, map->tilt.data());
        putBand(&tile, 3, map->aspect.data());
        putBand(&tile, 4, map->shadow.data());
        const season_range &s = map->options.season;
        for (int month = s.start_month, b = kMapFixedBands; month <= s.stop_month; month++) {
            putBand(&tile, b++, map->month_irradiation.data() + static_cast<size_t>(month - 1) * cells);
            putBand(&tile, b++, map->month_degree_days.data() + static_cast<size_t>(month - 1) * cells);
        }
        status = writeMapTile(&map->grid, &map->options, &tile, path, "", control, &refusal);
    } catch (const std::bad_alloc &) {
        status = TERRAIN_FAILED;
        refusal = "there is not enough memory for it";
    }
    if (status != TERRAIN_OK)
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED,
                            status == TERRAIN_CANCELLED ? "cancelled" : refusal.c_str());
    return status == TERRAIN_OK;
}
