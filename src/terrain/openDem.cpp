// Opening a DEM: one band of any raster GDAL reads, with a coordinate
// reference system and a north-up grid, its elevations' unit and nodata.
#include "terrain/terrain.h"

#include "model/readRegularFile.h"

#include <cctype>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cstdlib>
#include <cstring>
#include <gdal.h>
#include <ogr_srs_api.h>

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
