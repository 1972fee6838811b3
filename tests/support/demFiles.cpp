#include "demFiles.h"

#include <cpl_conv.h>
#include <cstring>
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>

namespace {

void placeOnGrid(GDALDatasetH ds, const char *crs, double cell, double x0, double y0) {
    double t[6] = {x0, cell, 0.0, y0, 0.0, -cell};
    GDALSetGeoTransform(ds, t);
    if (crs != nullptr) {
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRSetFromUserInput(srs, crs);
        GDALSetSpatialRef(ds, srs);
        OSRDestroySpatialReference(srs);
    }
}

}  // namespace

bool writeDemFile(const std::string &path, int w, int h, const std::vector<float> &z, const char *crs, double cell,
                  double x0, double y0, int bands, const char *unit) {
    GDALAllRegister();
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), w, h, bands, GDT_Float32, nullptr);
    if (ds == nullptr) return false;
    placeOnGrid(ds, crs, cell, x0, y0);
    bool ok = true;
    for (int b = 1; b <= bands; b++) {
        GDALRasterBandH band = GDALGetRasterBand(ds, b);
        GDALSetRasterNoDataValue(band, -9999.0);
        if (unit != nullptr) GDALSetRasterUnitType(band, unit);
        ok = ok && GDALRasterIO(band, GF_Write, 0, 0, w, h, const_cast<float *>(z.data()), w, h, GDT_Float32, 0, 0) ==
                       CE_None;
    }
    GDALClose(ds);
    return ok;
}

bool writeCogFile(const std::string &path, int w, int h, const std::vector<float> &z, const char *crs, double cell,
                  double x0, double y0, const char *const *options) {
    GDALAllRegister();
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", w, h, 1, GDT_Float32, nullptr);
    if (mem == nullptr) return false;
    placeOnGrid(mem, crs, cell, x0, y0);
    const bool written = GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Write, 0, 0, w, h, const_cast<float *>(z.data()), w,
                                      h, GDT_Float32, 0, 0) == CE_None;
    GDALDatasetH cog = written ? GDALCreateCopy(GDALGetDriverByName("COG"), path.c_str(), mem, FALSE,
                                                const_cast<char **>(options), nullptr, nullptr)
                               : nullptr;
    if (cog != nullptr) GDALClose(cog);
    GDALClose(mem);
    return cog != nullptr;
}

std::string mapFileText(const std::string &path) {
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (ds == nullptr) return "";
    char *info = GDALInfo(ds, nullptr);
    std::string s(std::strstr(info, "Size is"));
    CPLFree(info);
    const int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds), n = GDALGetRasterCount(ds);
    std::vector<float> v(static_cast<size_t>(w) * h * n);
    const bool read =
        GDALDatasetRasterIO(ds, GF_Read, 0, 0, w, h, v.data(), w, h, GDT_Float32, n, nullptr, 0, 0, 0) == CE_None;
    GDALClose(ds);
    if (!read) return "";
    return s.append(reinterpret_cast<const char *>(v.data()), v.size() * sizeof(float));
}
