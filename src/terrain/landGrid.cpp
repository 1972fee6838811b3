// Where the cells of a DEM lie: their size in metres, the grid of a window
// of them, their centres' latitude and longitude, and the sun block each
// shares.
#include "terrain/internals.h"

#include <algorithm>
#include <cmath>
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <vector>

// For a DEM in degrees the WGS 84 ellipsoid's radii of curvature at the
// row's latitude turn degrees into metres.
void cellSize(const dem_source *dem, int row, double *width, double *height) {
    if (!dem->geographic) {
        *width = std::fabs(dem->transform[1]) * dem->linear_metres;
        *height = std::fabs(dem->transform[5]) * dem->linear_metres;
        return;
    }
    const double a = 6378137.0;
    const double f = 1.0 / 298.257223563;
    const double e2 = f * (2.0 - f);
    const double radian = 3.14159265358979323846 / 180.0;
    const double phi = (dem->transform[3] + (row + 0.5) * dem->transform[5]) * radian;
    const double s = std::sin(phi);
    const double w = 1.0 - e2 * s * s;
    const double prime_vertical = a / std::sqrt(w);
    const double meridian = a * (1.0 - e2) / (w * std::sqrt(w));
    *width = std::fabs(dem->transform[1]) * radian * prime_vertical * std::cos(phi);
    *height = std::fabs(dem->transform[5]) * radian * meridian;
}

land_grid gridOfWindow(const dem_source *dem, const map_window &window) {
    land_grid g;
    g.width = window.width;
    g.height = window.height;
    g.x0 = window.x0;
    g.y0 = window.y0;
    const double *t = dem->transform;
    const double transform[6] = {t[0] + window.x0 * t[1], t[1], 0.0, t[3] + window.y0 * t[5], 0.0, t[5]};
    std::copy_n(transform, 6, g.transform);
    g.crs_wkt = dem->crs_wkt;
    const size_t slash = dem->path.rfind('/');
    g.raster_file = slash == std::string::npos ? dem->path : dem->path.substr(slash + 1);
    g.raster_band = dem->band != nullptr ? GDALGetBandNumber(static_cast<GDALRasterBandH>(dem->band)) : 0;
    g.raster_width = dem->width;
    g.raster_height = dem->height;
    std::copy_n(dem->transform, 6, g.raster_transform);
    if (dem->dataset != nullptr) {
        const GDALDatasetH ds = static_cast<GDALDatasetH>(dem->dataset);
        const char *source = GDALGetMetadataItem(ds, "ELEVATION_SOURCE", nullptr);
        const char *attribution = GDALGetMetadataItem(ds, "ELEVATION_ATTRIBUTION", nullptr);
        g.elevation_source = source != nullptr ? source : "";
        g.elevation_attribution = attribution != nullptr ? attribution : "";
    }
    g.row_area.resize(static_cast<size_t>(window.height));
    for (int r = 0; r < window.height; r++) {
        double width = 0.0;
        double height = 0.0;
        cellSize(dem, window.y0 + r, &width, &height);
        g.row_area[static_cast<size_t>(r)] = width * height;
        if (r == window.height / 2) g.cell_width = width;
    }
    return g;
}

// Through GDAL/PROJ, longitude east positive (traditional GIS order on both
// sides of the transformation).
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
        // Longitudes written from 0 to 360 (a geographic DEM east of 180)
        // come through as they are: those past 180 are the same land west.
        for (int c = 0; ok && c < w; c++)
            if (std::fabs(x[c]) > 180.0) x[c] = std::remainder(x[c], 360.0);
    }
    CPLPopErrorHandler();
    if (transform != nullptr) OCTDestroyCoordinateTransformation(transform);
    OSRDestroySpatialReference(source);
    OSRDestroySpatialReference(wgs84);
    if (!ok && refusal != nullptr) *refusal = "its cells cannot be placed in latitude and longitude";
    return ok ? TERRAIN_OK : TERRAIN_FAILED;
}

// The cell's centre rounded to the 0.05 degree grid, in double, then
// narrowed. The blocks depend on the cell alone, never on how the raster is
// split, so tiles meet without seams. The engine takes the rows at 89.95 and
// 90 degrees for the pole itself, where it gives the sun no azimuth (always
// 180) and every longitude would be a block of its own: their cells share
// one sun on the last row where the sun goes round, at longitude 0.
void blockPoint(double latitude, double longitude, float *block_latitude, float *block_longitude) {
    const double row = std::round(latitude * 20.0);
    if (std::fabs(row) > 1798.0) {
        *block_latitude = static_cast<float>(std::copysign(1798.0, row) / 20.0);
        *block_longitude = 0.0f;
        return;
    }
    *block_latitude = static_cast<float>(row / 20.0);
    *block_longitude = static_cast<float>(std::round(longitude * 20.0) / 20.0);
}
