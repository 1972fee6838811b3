// Writes the made-up example land that the map of the land offers to try: a
// hillside of 180 × 140 cells at 10 m in WGS 84 / UTM zone 10N, centred at
// 44.55 N, 123.35 W inside the region the degree days are fitted for, rising
// from about 110 m in the south to 500 m at a ridge in the north, never
// steeper than the calibrated 30 degrees, with a gully, a knoll and a pond
// left without data. Not a real place: the shape
// is a few smooth functions, so the file is the same on every build.
//
//   veranta_make_example_land OUTPUT.tif
#include "files/safeWrite.h"

#include <cmath>
#include <cpl_error.h>
#include <cstdio>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <string>
#include <vector>

namespace {

const int kCols = 180, kRows = 140;
const double kCell = 10.0;
const float kNodata = -9999.0f;

float elevation(int col, int row) {
    const double pi = 3.14159265358979323846;
    double x = (col + 0.5) / kCols, y = (row + 0.5) / kRows, t = 1.0 - y;
    double e = 115.0 + 360.0 * (0.5 - 0.5 * std::cos(pi * std::pow(t, 1.15)));
    e -= 70.0 * t * std::exp(-std::pow((x - 0.62) / 0.11, 2.0));
    e += 55.0 * std::exp(-((x - 0.22) * (x - 0.22) + (y - 0.70) * (y - 0.70)) / 0.014);
    e += 24.0 * t * t * std::sin(3.0 * pi * x);
    e = e < 100.0 ? 100.0 : e > 600.0 ? 600.0 : e;
    double px = (x - 0.84) / 0.055, py = (y - 0.86) / 0.045;
    if (px * px + py * py < 1.0) return kNodata;
    return static_cast<float>(std::round(e * 100.0) / 100.0);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: veranta_make_example_land OUTPUT.tif\n");
        return 2;
    }
    GDALAllRegister();
    OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr), geo = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(utm, 32610);
    OSRImportFromEPSG(geo, 4326);
    OSRSetAxisMappingStrategy(geo, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(utm, OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH toUtm = OCTNewCoordinateTransformation(geo, utm);
    double x = -123.35, y = 44.55;
    if (toUtm == nullptr || !OCTTransform(toUtm, 1, &x, &y, nullptr)) {
        std::fprintf(stderr, "veranta_make_example_land: no transformation to UTM\n");
        return 1;
    }
    // Corner on whole metres, so the grid is exactly the same on every build.
    double west = std::round(x - kCols * kCell / 2.0), north = std::round(y + kRows * kCell / 2.0);

    safe_write out;
    std::string error;
    if (!beginSafeWrite(argv[1], &out, &error)) {
        std::fprintf(stderr, "veranta_make_example_land: %s\n", error.c_str());
        return 1;
    }
    GDALDriverH gtiff = GDALGetDriverByName("GTiff");
    const char *options[] = {"COMPRESS=DEFLATE", "PREDICTOR=3", nullptr};
    GDALDatasetH ds = GDALCreate(gtiff, out.temp_path.c_str(), kCols, kRows, 1, GDT_Float32,
                                 const_cast<char **>(options));
    bool ok = ds != nullptr;
    if (ok) {
        double transform[6] = {west, kCell, 0.0, north, 0.0, -kCell};
        GDALSetGeoTransform(ds, transform);
        GDALSetSpatialRef(ds, utm);
        GDALSetMetadataItem(ds, "TIFFTAG_IMAGEDESCRIPTION",
                            "A made-up example land for veranta: a synthetic hillside, not a real place", nullptr);
        GDALRasterBandH band = GDALGetRasterBand(ds, 1);
        GDALSetRasterNoDataValue(band, kNodata);
        GDALSetDescription(band, "elevation (m), made-up example");
        std::vector<float> cells(static_cast<size_t>(kCols) * kRows);
        for (int r = 0; r < kRows; r++)
            for (int c = 0; c < kCols; c++) cells[static_cast<size_t>(r) * kCols + c] = elevation(c, r);
        ok = GDALRasterIO(band, GF_Write, 0, 0, kCols, kRows, cells.data(), kCols, kRows, GDT_Float32, 0, 0) == CE_None;
        GDALFlushCache(ds);
        ok = ok && CPLGetLastErrorType() < CE_Failure;
        GDALClose(ds);
    }
    if (!ok) {
        abandonSafeWrite(&out);
        std::fprintf(stderr, "veranta_make_example_land: the file could not be written\n");
        return 1;
    }
    if (!commitSafeWrite(&out, &error)) {
        std::fprintf(stderr, "veranta_make_example_land: %s\n", error.c_str());
        return 1;
    }
    OCTDestroyCoordinateTransformation(toUtm);
    OSRDestroySpatialReference(utm);
    OSRDestroySpatialReference(geo);
    return 0;
}
