// A write given up leaves nothing behind: open rasters closed, temporary
// files removed, the targets as they were.
#include "terrain/mapWriter.h"

#include <gdal.h>

void abandonMapWriter(map_writer *writer) {
    if (writer->map_ds != nullptr) GDALClose(static_cast<GDALDatasetH>(writer->map_ds));
    if (writer->horizons_ds != nullptr) GDALClose(static_cast<GDALDatasetH>(writer->horizons_ds));
    writer->map_ds = writer->horizons_ds = nullptr;
    if (writer->map_begun) abandonSafeWrite(&writer->map);
    if (writer->horizons_begun) abandonSafeWrite(&writer->horizons);
    writer->map_begun = writer->horizons_begun = false;
}
