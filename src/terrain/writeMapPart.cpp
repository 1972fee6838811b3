// A part of the map into the files begun, straight from wherever the tile
// holds it: GDAL reads the window through the tile's strides, no copy.
#include "terrain/mapWriter.h"

#include <gdal.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

CPLErr put(void *ds, const map_tile *tile, const std::vector<float> &values, int bands, int x, int y, int w, int h,
           int x0, int y0) {
    const GSpacing pixel = sizeof(float);
    const GSpacing line = pixel * tile->width;
    const GSpacing band = line * tile->height;
    const size_t first = static_cast<size_t>(y - tile->y0) * static_cast<size_t>(tile->width) +
                         static_cast<size_t>(x - tile->x0);
    return GDALDatasetRasterIOEx(static_cast<GDALDatasetH>(ds), GF_Write, x - x0, y - y0, w, h,
                                 const_cast<float *>(values.data() + first), w, h, GDT_Float32, bands, nullptr, pixel,
                                 line, band, nullptr);
}

}  // namespace

int writeMapPart(map_writer *writer, const map_tile *tile, int x, int y, int w, int h, std::string *refusal) {
    const size_t cells = static_cast<size_t>(tile->width) * static_cast<size_t>(tile->height);
    const int directions = writer->options.directions;
    if (x < tile->x0 || y < tile->y0 || w < 1 || h < 1 || x + w > tile->x0 + tile->width ||
        y + h > tile->y0 + tile->height || tile->bands != writer->bands ||
        tile->values.size() != static_cast<size_t>(writer->bands) * cells ||
        (writer->horizons_ds != nullptr &&
         (tile->directions != directions || tile->horizons.size() != static_cast<size_t>(directions) * cells)))
        return say(refusal, TERRAIN_FAILED, writer->output + ": the map does not fit the file");
    if (put(writer->map_ds, tile, tile->values, writer->bands, x, y, w, h, writer->x0, writer->y0) != CE_None)
        return say(refusal, TERRAIN_FAILED, writer->output + ": the map cannot be written");
    if (writer->horizons_ds != nullptr &&
        put(writer->horizons_ds, tile, tile->horizons, directions, x, y, w, h, writer->x0, writer->y0) != CE_None)
        return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": the horizons cannot be written");
    return TERRAIN_OK;
}
