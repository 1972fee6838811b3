// A DEM checked before any work: every file it reads is a regular file
// (GDAL's list of the dataset's files, a VRT's sources and the sources of
// the VRTs among them, and whatever lies beside each under its name), so
// that no FIFO or device is ever read and no output lands on one of them;
// and its elevations are ones land has.
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
#include <dirent.h>
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

// The entries of a folder that are neither regular files nor folders
// (FIFOs, devices, sockets, links to them), read once per folder.
struct odd_entries {
    std::vector<std::pair<std::string, std::vector<std::string>>> folders;

    const std::vector<std::string> &of(const std::string &folder) {
        for (const auto &f : folders)
            if (f.first == folder) return f.second;
        std::vector<std::string> odd;
        if (DIR *d = opendir(folder.c_str())) {
            while (const dirent *e = readdir(d)) {
                if (e->d_type == DT_REG || e->d_type == DT_DIR) continue;
                struct stat st;
                const std::string at = folder + "/" + e->d_name;
                if (stat(at.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) continue;
                if (lstat(at.c_str(), &st) == 0) odd.push_back(e->d_name);   // a dangling link is not read
            }
            closedir(d);
        }
        folders.push_back({folder, odd});
        return folders.back().second;
    }
};

// GDAL reads files beside a raster when it opens it or asks for more of it
// (NAME.ovr, NAME.aux.xml, NAME.msk, STEM.tfw, STEM.prj, ...), before any
// list of its files could be had: any such name beside path that is not a
// regular file is refused.
int besides(const std::string &path, odd_entries *odd, std::string *refusal) {
    if (path.compare(0, 4, "/vsi") == 0) return TERRAIN_OK;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    for (const std::string &e : odd->of(folder)) {
        if (e == name) continue;
        if (e.compare(0, name.size() + 1, name + ".") == 0 || e.compare(0, stem.size() + 1, stem + ".") == 0)
            return say(refusal, TERRAIN_UNREADABLE,
                       "it reads " + (slash == std::string::npos ? e : folder + "/" + e) +
                           " beside it, which is not a regular file");
    }
    return TERRAIN_OK;
}

int follow(GDALDatasetH ds, int depth, std::vector<std::string> *files, odd_entries *odd, std::string *refusal) {
    char **list = GDALGetFileList(ds);
    std::vector<std::string> found;
    for (char **f = list; f != nullptr && *f != nullptr; f++) found.push_back(*f);
    CSLDestroy(list);
    for (const std::string &path : found) {
        if (std::find(files->begin(), files->end(), path) != files->end()) continue;
        std::string why;
        if (!regular(path, &why)) return say(refusal, TERRAIN_UNREADABLE, "it reads " + path + ", " + why);
        const int beside = besides(path, odd, refusal);
        if (beside != TERRAIN_OK) return beside;
        files->push_back(path);
        if (!isVrt(path) || path == GDALGetDescription(ds)) continue;
        if (depth >= 16) return say(refusal, TERRAIN_UNREADABLE, "its VRTs are nested too deep");
        GDALDatasetH inner = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
        if (inner == nullptr) continue;   // said when its pixels are read
        const int code = follow(inner, depth + 1, files, odd, refusal);
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
    odd_entries odd;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const int code = follow(static_cast<GDALDatasetH>(dem->dataset), 0, files, &odd, refusal);
    CPLPopErrorHandler();
    return code;
}

int demNeighbours(const std::string &path, std::string *refusal) {
    odd_entries odd;
    return besides(path, &odd, refusal);
}

int runWindow(const dem_source *dem, const map_options *options, const map_extent *extent, map_window *window,
              std::string *refusal) {
    const int code = extentWindow(dem, extent, window, refusal);
    if (code != TERRAIN_OK || !options->shade) return code;
    // As a part reads its surroundings: the distance in cells of the middle
    // row's size, two more for the horizon lines' samples.
    double w = 0.0;
    double h = 0.0;
    cellSize(dem, dem->height / 2, &w, &h);
    const long hx = static_cast<long>(std::min(1.0e6, std::ceil(options->distance / w))) + 2;
    const long hy = static_cast<long>(std::min(1.0e6, std::ceil(options->distance / h))) + 2;
    const long x0 = std::max(0L, window->x0 - hx);
    const long y0 = std::max(0L, window->y0 - hy);
    const long x1 = std::min<long>(dem->width, window->x0 + static_cast<long>(window->width) + hx);
    const long y1 = std::min<long>(dem->height, window->y0 + static_cast<long>(window->height) + hy);
    *window = {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
    return TERRAIN_OK;
}

int checkElevations(const dem_source *dem, const map_window *window, const std::atomic<bool> *cancel,
                    elevation_check *check, std::string *refusal) {
    *check = elevation_check{};
    const map_window all = window != nullptr ? *window : map_window{0, 0, dem->width, dem->height};
    if (all.x0 < 0 || all.y0 < 0 || all.width < 1 || all.height < 1 || all.x0 > dem->width - all.width ||
        all.y0 > dem->height - all.height)
        return say(refusal, TERRAIN_BAD_OPTION, "the part lies outside the raster");
    const GDALRasterBandH band = static_cast<GDALRasterBandH>(dem->band);
    // Rows in the band's own blocks, at most some 16 MB at once.
    int block_w = 0;
    int block_h = 0;
    GDALGetBlockSize(band, &block_w, &block_h);
    const int rows = std::max(1, std::min(std::max(1, block_h), static_cast<int>(2000000 / all.width)));
    std::vector<double> v(static_cast<size_t>(all.width) * static_cast<size_t>(rows));
    bool any = false;
    gdal_failure gdal;
    for (int y = all.y0; y < all.y0 + all.height; y += rows) {
        if (cancel != nullptr && cancel->load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        const int h = std::min(rows, all.y0 + all.height - y);
        if (GDALRasterIO(band, GF_Read, all.x0, y, all.width, h, v.data(), all.width, h, GDT_Float64, 0, 0) != CE_None)
            return say(refusal, TERRAIN_FAILED, "its elevations cannot be read" + gdal.said());
        for (size_t i = 0; i < static_cast<size_t>(all.width) * static_cast<size_t>(h); i++) {
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
