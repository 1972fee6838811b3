// The map's metadata, then the files closed and renamed into place: the
// horizons first, so that a map never stands without the horizons asked for.
#include "terrain/mapWriter.h"

#include <cpl_error.h>
#include <cstdio>
#include <gdal.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// Closes a filled raster; false when GDAL failed to finish it.
bool finish(void **ds) {
    CPLErrorReset();
    GDALClose(static_cast<GDALDatasetH>(*ds));
    *ds = nullptr;
    return CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
}

}  // namespace

int commitMapWriter(map_writer *writer, long cells, long cells_outside, std::string *refusal) {
    const map_options &o = writer->options;
    const season_range &s = o.season;
    GDALDatasetH map = static_cast<GDALDatasetH>(writer->map_ds);
    char text[64];
    GDALSetMetadataItem(map, "YEAR", std::to_string(s.year).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%d/%d to %d/%d", s.start_day, s.start_month, s.stop_day, s.stop_month);
    GDALSetMetadataItem(map, "SEASON", text, nullptr);
    GDALSetMetadataItem(map, "SHADING", o.shade ? "terrain" : "none", nullptr);
    GDALSetMetadataItem(map, "DIRECTIONS", std::to_string(o.directions).c_str(), nullptr);
    std::snprintf(text, sizeof text, "%g", o.distance);
    GDALSetMetadataItem(map, "DISTANCE_METRES", text, nullptr);
    std::snprintf(text, sizeof text, "%.1f%%", cells == 0 ? 0.0 : 100.0 * static_cast<double>(cells_outside) / cells);
    GDALSetMetadataItem(map, "OUTSIDE_CALIBRATED_REGION", text, nullptr);

    std::string error;
    if (!finish(&writer->map_ds)) return say(refusal, TERRAIN_FAILED, writer->output + ": the map cannot be written");
    if (writer->horizons_ds != nullptr && !finish(&writer->horizons_ds))
        return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": the horizons cannot be written");
    if (writer->horizons_begun) {
        writer->horizons_begun = false;
        if (!commitSafeWrite(&writer->horizons, &error))
            return say(refusal, TERRAIN_FAILED, writer->horizons_path + ": " + error);
    }
    writer->map_begun = false;
    if (!commitSafeWrite(&writer->map, &error)) return say(refusal, TERRAIN_FAILED, writer->output + ": " + error);
    return TERRAIN_OK;
}
