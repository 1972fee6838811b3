// Latitude and longitude of cell centres through GDAL/PROJ, longitude east
// positive (traditional GIS order on both sides of the transformation).
#include "terrain/terrain.h"

#include <cpl_error.h>
#include <ogr_srs_api.h>
#include <vector>

int cellLatLon(const dem_source *dem, int x0, int y0, int w, int h, double *latitude, double *longitude,
               std::string *refusal) {
    OGRSpatialReferenceH source = OSRNewSpatialReference(nullptr);
    OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
    OGRCoordinateTransformationH transform = nullptr;
    const char *wkt = dem->crs_wkt.c_str();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    if (OSRImportFromWkt(source, const_cast<char **>(&wkt)) == OGRERR_NONE && OSRImportFromEPSG(wgs84, 4326) == OGRERR_NONE) {
        OSRSetAxisMappingStrategy(source, OAMS_TRADITIONAL_GIS_ORDER);
        OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
        transform = OCTNewCoordinateTransformation(source, wgs84);
    }
    bool ok = transform != nullptr;
    const double *t = dem->transform;
    std::vector<int> success(static_cast<size_t>(w));
    for (int r = 0; ok && r < h; r++) {
        double *x = longitude + static_cast<size_t>(r) * w;
        double *y = latitude + static_cast<size_t>(r) * w;
        for (int c = 0; c < w; c++) {
            x[c] = t[0] + (x0 + c + 0.5) * t[1];
            y[c] = t[3] + (y0 + r + 0.5) * t[5];
        }
        ok = OCTTransformEx(transform, w, x, y, nullptr, success.data()) != 0;
        for (int c = 0; ok && c < w; c++) ok = success[static_cast<size_t>(c)] != 0;
    }
    CPLPopErrorHandler();
    if (transform != nullptr) OCTDestroyCoordinateTransformation(transform);
    OSRDestroySpatialReference(source);
    OSRDestroySpatialReference(wgs84);
    if (!ok && refusal != nullptr) *refusal = "its cells cannot be placed in latitude and longitude";
    return ok ? TERRAIN_OK : TERRAIN_FAILED;
}
