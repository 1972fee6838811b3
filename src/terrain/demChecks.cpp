// A DEM checked before any work: every file it reads is a regular file
// (GDAL's list of the dataset's files, a VRT's sources and the sources of
// the VRTs among them), so that no FIFO or device is ever read and no
// output lands on one of them; and its elevations are ones land has.
#include "terrain/internals.h"

#include "model/readRegularFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cpl_conv.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gdal.h>
#include <sys/stat.h>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// Whether a regular file holds a VRT, by its first bytes (GDAL goes by the
// content too, whatever the name).
bool isVrt(const std::string &path) {
    char *head = nullptr;
    size_t length = 0;
    bool more = false;
    if (readRegularFile(path.c_str(), 256, &head, &length, &more) != 0) return false;
    const char *c = head;
    while (*c != '\0' && std::isspace(static_cast<unsigned char>(*c))) c++;
    const bool vrt = std::strncmp(c, "<VRTDataset", 11) == 0;
    std::free(head);
    return vrt;
}

// A file GDAL would read: a regular file, looked at without opening it.
// Paths of GDAL's virtual file systems (/vsizip/, /vsicurl/, ...) through
// GDAL's own look.
bool regular(const std::string &path, std::string *why) {
    if (path.compare(0, 5, "/vsi") == 0) {
        VSIStatBufL st;
        if (VSIStatExL(path.c_str(), &st, VSI_STAT_EXISTS_FLAG | VSI_STAT_NATURE_FLAG) != 0) {
            *why = "which cannot be found";
            return false;
        }
        if (!VSI_ISREG(st.st_mode)) *why = "which is not a regular file";
        return VSI_ISREG(st.st_mode);
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *why = std::string("which cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(st.st_mode)) *why = "which is not a regular file";
    return S_ISREG(st.st_mode);
}

int follow(GDALDatasetH ds, int depth, std::vector<std::string> *files, std::string *refusal) {
    char **list = GDALGetFileList(ds);
    std::vector<std::string> found;
    for (char **f = list; f != nullptr && *f != nullptr; f++) found.push_back(*f);
    CSLDestroy(list);
    for (const std::string &path : found) {
        if (std::find(files->begin(), files->end(), path) != files->end()) continue;
        std::string why;
        if (!regular(path, &why)) return say(refusal, TERRAIN_UNREADABLE, "it reads " + path + ", " + why);
        files->push_back(path);
        if (!isVrt(path) || path == GDALGetDescription(ds)) continue;
        if (depth >= 16) return say(refusal, TERRAIN_UNREADABLE, "its VRTs are nested too deep");
        GDALDatasetH inner = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
        if (inner == nullptr) continue;   // said when its pixels are read
        const int code = follow(inner, depth + 1, files, refusal);
        GDALClose(inner);
        if (code != TERRAIN_OK) return code;
    }
    return TERRAIN_OK;
}

std::string count(long n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int demFiles(const dem_source *dem, std::vector<std::string> *files, std::string *refusal) {
    files->clear();
    if (dem->dataset == nullptr) return say(refusal, TERRAIN_UNREADABLE, "it is not open");
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const int code = follow(static_cast<GDALDatasetH>(dem->dataset), 0, files, refusal);
    CPLPopErrorHandler();
    return code;
}

int checkElevations(const dem_source *dem, const std::atomic<bool> *cancel, elevation_check *check,
                    std::string *refusal) {
    *check = elevation_check{};
    const GDALRasterBandH band = static_cast<GDALRasterBandH>(dem->band);
    // Rows in the band's own blocks, at most some 16 MB at once.
    int block_w = 0;
    int block_h = 0;
    GDALGetBlockSize(band, &block_w, &block_h);
    const int rows = std::max(1, std::min(std::max(1, block_h), static_cast<int>(2000000 / dem->width)));
    std::vector<double> v(static_cast<size_t>(dem->width) * static_cast<size_t>(rows));
    bool any = false;
    gdal_failure gdal;
    for (int y = 0; y < dem->height; y += rows) {
        if (cancel != nullptr && cancel->load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        const int h = std::min(rows, dem->height - y);
        if (GDALRasterIO(band, GF_Read, 0, y, dem->width, h, v.data(), dem->width, h, GDT_Float64, 0, 0) != CE_None)
            return say(refusal, TERRAIN_FAILED, "its elevations cannot be read" + gdal.said());
        for (size_t i = 0; i < static_cast<size_t>(dem->width) * static_cast<size_t>(h); i++) {
            const double raw = v[i];
            if (std::isnan(raw) || (dem->has_nodata && raw == dem->nodata)) continue;
            if (std::isinf(raw)) {
                check->infinite++;
                continue;
            }
            const double z = raw * dem->vertical_metres;
            if (!(z >= kLowestLand && z <= kHighestLand)) {
                if (check->implausible++ == 0) check->example = z;
                continue;
            }
            check->cells_with_data++;
            check->lowest = any ? std::min(check->lowest, z) : z;
            check->highest = any ? std::max(check->highest, z) : z;
            any = true;
        }
    }
    if (check->implausible > 0) {
        char example[40];
        std::snprintf(example, sizeof example, "%g", check->example);
        return say(refusal, TERRAIN_IMPLAUSIBLE,
                   count(check->implausible, "cell has an elevation", "cells have elevations") +
                       " no land has (below -500 m or above 9000 m), such as " + example + " m");
    }
    if (check->cells_with_data == 0)
        return say(refusal, TERRAIN_IMPLAUSIBLE,
                   check->infinite > 0 ? "every cell of the DEM is nodata or infinite" : "every cell of the DEM is nodata");
    return TERRAIN_OK;
}
