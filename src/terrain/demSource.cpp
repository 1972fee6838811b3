// Reading a DEM: one band of any raster GDAL reads, with a coordinate
// reference system and an unrotated grid (presented north-up whichever way
// it is stored), its elevations' unit and nodata; what the window shows of it
// before any work; its elevations in metres, a window at a time.
#include "terrain/internals.h"

#include "model/readRegularFile.h"

#include <cctype>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cmath>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <sstream>
#include <vector>

namespace {

int refuse(dem_source *dem, std::string *refusal, int code, const std::string &text) {
    closeDem(dem);
    if (refusal != nullptr) *refusal = text;
    return code;
}

std::string lower(const char *text) {
    std::string s = text == nullptr ? "" : text;
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A grid stored south-up or east-left turned round: the geotransform of the
// same cells north-up, and which axes readDemWindow reverses.
void presentNorthUp(dem_source *dem) {
    double *t = dem->transform;
    if (t[5] > 0.0) {
        dem->flip_rows = true;
        t[3] = t[3] + dem->height * t[5];
        t[5] = -t[5];
    }
    if (t[1] < 0.0) {
        dem->flip_columns = true;
        t[0] = t[0] + dem->width * t[1];
        t[1] = -t[1];
    }
}

// Metres per unit of a band whose unit type names feet; 1 otherwise.
double unitMetres(const std::string &unit) {
    if (unit == "us survey foot" || unit == "us-ft" || unit == "ftus" || unit == "us_survey_foot" ||
        unit == "foot_us" || unit == "us survey feet")
        return 1200.0 / 3937.0;
    if (unit == "ft" || unit == "foot" || unit == "feet" || unit == "international foot") return 0.3048;
    return 1.0;
}

}  // namespace

int openDem(const std::string &path, int band, dem_source *dem, std::string *refusal) {
    *dem = dem_source{};
    dem->path = path;
    // GDAL would block on a FIFO or read a device: only a regular file goes on.
    char *probe = nullptr;
    std::size_t length = 0;
    bool more = false;
    const int code = readRegularFile(path.c_str(), 0, &probe, &length, &more);
    std::free(probe);
    if (code == kNotRegularFile) return refuse(dem, refusal, TERRAIN_UNREADABLE, "it is not a regular file");
    if (code != 0) return refuse(dem, refusal, TERRAIN_UNREADABLE, std::string("it cannot be read (") + std::strerror(code) + ")");

    // GDAL reads some files beside it as it opens it: they too.
    std::string beside;
    if (demNeighbours(path, &beside) != TERRAIN_OK) return refuse(dem, refusal, TERRAIN_UNREADABLE, beside);

    GDALAllRegister();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    // A GeoTIFF's vertical CRS, which says whether elevations are in feet.
    const std::string compound = CPLGetThreadLocalConfigOption("GTIFF_REPORT_COMPD_CS", "");
    CPLSetThreadLocalConfigOption("GTIFF_REPORT_COMPD_CS", "YES");
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    CPLSetThreadLocalConfigOption("GTIFF_REPORT_COMPD_CS", compound.empty() ? nullptr : compound.c_str());
    CPLPopErrorHandler();
    if (ds == nullptr) return refuse(dem, refusal, TERRAIN_UNREADABLE, "it is not a raster that can be read");
    dem->dataset = ds;
    // Before any pixel is read: every file behind it must be a regular file.
    std::vector<std::string> files;
    std::string why;
    if (demFiles(dem, &files, &why) != TERRAIN_OK) return refuse(dem, refusal, TERRAIN_UNREADABLE, why);
    dem->width = GDALGetRasterXSize(ds);
    dem->height = GDALGetRasterYSize(ds);
    const int bands = GDALGetRasterCount(ds);
    if (bands < 1 || dem->width < 1 || dem->height < 1)
        return refuse(dem, refusal, TERRAIN_UNREADABLE, "it holds no raster band");
    if (band == 0 && bands > 1)
        return refuse(dem, refusal, TERRAIN_CHOOSE_BAND,
                      "it has " + std::to_string(bands) + " bands and none was chosen");
    if (band < 0 || band > bands)
        return refuse(dem, refusal, TERRAIN_NO_SUCH_BAND,
                      "it has no band " + std::to_string(band) + " (it has " + std::to_string(bands) + ")");
    dem->band = GDALGetRasterBand(ds, band == 0 ? 1 : band);

    OGRSpatialReferenceH srs = GDALGetSpatialRef(ds);
    if (srs == nullptr)
        return refuse(dem, refusal, TERRAIN_NO_CRS, "it has no coordinate reference system");
    if (GDALGetGeoTransform(ds, dem->transform) != CE_None)
        return refuse(dem, refusal, TERRAIN_NOT_GRID, "it has no geotransform that places its cells");
    if (dem->transform[2] != 0.0 || dem->transform[4] != 0.0 || dem->transform[1] == 0.0 || dem->transform[5] == 0.0)
        return refuse(dem, refusal, TERRAIN_NOT_GRID, "its grid is rotated");
    presentNorthUp(dem);
    if (!OSRIsGeographic(srs) && !OSRIsProjected(srs))
        return refuse(dem, refusal, TERRAIN_NO_CRS, "its coordinate reference system is neither projected nor geographic");
    dem->geographic = OSRIsGeographic(srs) != 0;
    if (!dem->geographic) dem->linear_metres = OSRGetLinearUnits(srs, nullptr);
    const char *name = OSRGetName(srs);
    dem->crs_name = name != nullptr ? name : "unnamed";
    char *wkt = nullptr;
    const char *options[] = {"FORMAT=WKT2_2018", nullptr};
    if (OSRExportToWktEx(srs, &wkt, options) == OGRERR_NONE && wkt != nullptr) dem->crs_wkt = wkt;
    CPLFree(wkt);

    // Elevations in feet: the band's unit says so, or the vertical axis of a
    // compound CRS does.
    dem->vertical_metres = unitMetres(lower(GDALGetRasterUnitType(static_cast<GDALRasterBandH>(dem->band))));
    if (dem->vertical_metres == 1.0 && OSRIsCompound(srs)) {
        const double vertical = OSRGetTargetLinearUnits(srs, "VERT_CS", nullptr);
        if (vertical > 0.0) dem->vertical_metres = vertical;
    }
    int has = 0;
    dem->nodata = GDALGetRasterNoDataValue(static_cast<GDALRasterBandH>(dem->band), &has);
    dem->has_nodata = has != 0;
    return TERRAIN_OK;
}

void closeDem(dem_source *dem) {
    if (dem->dataset != nullptr) GDALClose(static_cast<GDALDatasetH>(dem->dataset));
    dem->dataset = nullptr;
    dem->band = nullptr;
}

// Its name, size in cells and hectares, cell size and coordinate reference
// system, from the header alone: the cells of a large raster take minutes to read.
int describeDem(const dem_source *dem, dem_description *description, std::string *refusal) {
    (void)refusal;
    dem_description d{};
    const size_t slash = dem->path.rfind('/');
    d.file_name = slash == std::string::npos ? dem->path : dem->path.substr(slash + 1);
    d.width = dem->width;
    d.height = dem->height;
    d.crs_name = dem->crs_name;
    cellSize(dem, dem->height / 2, &d.cell_width, &d.cell_height);
    double area = 0.0;
    for (int r = 0; r < dem->height; r++) {
        double w = 0.0;
        double h = 0.0;
        cellSize(dem, r, &w, &h);
        area += w * h * dem->width;
    }
    d.hectares = area / 10000.0;
    *description = d;
    return TERRAIN_OK;
}

// Read row by row up to the first cell with data, so a usual DEM costs one
// row and none is held whole.
int anyElevation(const dem_source *dem, bool *any, std::string *refusal) {
    *any = false;
    std::vector<float> row(static_cast<size_t>(dem->width));
    for (int r = 0; r < dem->height && !*any; r++) {
        const int code = readDemWindow(dem, 0, r, dem->width, 1, row.data(), refusal);
        if (code != TERRAIN_OK) return code;
        for (float v : row)
            if (!std::isnan(v)) {
                *any = true;
                break;
            }
    }
    return TERRAIN_OK;
}

// Read a row at a time so that nothing but the result is held; the window
// as presented north-up, its rows and columns taken from the file's
// reversed where the file is stored the other way round.
int readDemWindow(const dem_source *dem, int x0, int y0, int w, int h, float *metres, std::string *refusal) {
    std::vector<double> row(static_cast<size_t>(w));
    const GDALRasterBandH band = static_cast<GDALRasterBandH>(dem->band);
    const int file_x0 = dem->flip_columns ? dem->width - x0 - w : x0;
    for (int r = 0; r < h; r++) {
        const int file_row = dem->flip_rows ? dem->height - 1 - (y0 + r) : y0 + r;
        if (GDALRasterIO(band, GF_Read, file_x0, file_row, w, 1, row.data(), w, 1, GDT_Float64, 0, 0) != CE_None) {
            if (refusal != nullptr) *refusal = "its elevations cannot be read";
            return TERRAIN_FAILED;
        }
        if (dem->flip_columns) std::reverse(row.begin(), row.end());
        float *out = metres + static_cast<size_t>(r) * static_cast<size_t>(w);
        for (int c = 0; c < w; c++) {
            const double v = row[static_cast<size_t>(c)];
            const bool missing = !std::isfinite(v) || (dem->has_nodata && v == dem->nodata);
            out[c] = missing ? NAN : static_cast<float>(v * dem->vertical_metres);
        }
    }
    return TERRAIN_OK;
}

// Asked of GDAL's drivers, so a format added to GDAL appears without a change
// here.
std::vector<std::string> rasterEndings(void) {
    GDALAllRegister();
    std::vector<std::string> endings;
    for (int i = 0; i < GDALGetDriverCount(); i++) {
        GDALDriverH driver = GDALGetDriver(i);
        if (GDALGetMetadataItem(driver, GDAL_DCAP_RASTER, nullptr) == nullptr) continue;
        const char *list = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
        if (list == nullptr) continue;
        std::istringstream words(list);
        std::string e;
        while (words >> e)
            if (std::find(endings.begin(), endings.end(), e) == endings.end()) endings.push_back(e);
    }
    std::sort(endings.begin(), endings.end());
    return endings;
}
