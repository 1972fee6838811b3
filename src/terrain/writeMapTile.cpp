// A map already computed, written by the same writer and in the same parts as
// writeMap would compute and write them: the window exports what it shows
// without computing the land again.
#include "terrain/mapParts.h"
#include "terrain/mapWriter.h"

#include <algorithm>
#include <cpl_error.h>
#include <new>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

int run(const map_grid *grid, const map_options *options, const map_tile *map, const std::string &output,
        const std::string &horizons_path, map_control *control, map_writer *writer, std::string *refusal) {
    int code = beginMapWriter(writer, grid, options, map->x0, map->y0, map->width, map->height, output, horizons_path,
                              refusal);
    if (code != TERRAIN_OK) return code;
    for (int y = map->y0; y < map->y0 + map->height; y += kMapPart) {
        for (int x = map->x0; x < map->x0 + map->width; x += kMapPart) {
            if (control != nullptr && control->cancel.load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
            const int w = std::min(kMapPart, map->x0 + map->width - x);
            const int h = std::min(kMapPart, map->y0 + map->height - y);
            code = writeMapPart(writer, map, x, y, w, h, refusal);
            if (code != TERRAIN_OK) return code;
            if (control != nullptr) control->cells_done.fetch_add(static_cast<long>(w) * h);
        }
    }
    // A cancel while the parts went in leaves no file; once GDAL closes the
    // file (compressing what its cache holds) the write runs to its end.
    if (control != nullptr && control->cancel.load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
    return commitMapWriter(writer, map->cells, map->cells_outside, refusal);
}

}  // namespace

int writeMapTile(const map_grid *grid, const map_options *options, const map_tile *map, const std::string &output,
                 const std::string &horizons_path, map_control *control, std::string *refusal) {
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    if (map->width < 1 || map->height < 1 || map->x0 < 0 || map->y0 < 0)
        return say(refusal, TERRAIN_FAILED, output + ": there is no map to write");
    if (control != nullptr) control->cells_total.store(static_cast<long>(map->width) * map->height);
    map_writer writer;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    try {
        code = run(grid, options, map, output, horizons_path, control, &writer, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    CPLPopErrorHandler();
    abandonMapWriter(&writer);
    return code;
}
