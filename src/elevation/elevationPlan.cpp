// The sources' facts, their tile names, the settings from the environment and
// the grid an area is fetched onto: everything decided before the network.
#include "elevation/elevation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ogr_srs_api.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const elevation_source kSources[] = {
    {ELEVATION_COPERNICUS, "copernicus", "Copernicus DEM GLO-30", "the whole earth's land",
     "1\u2033 (about 30 m; coarser in longitude above 50\u00b0 latitude)", 30.0, true,
     "a surface model: tree tops and roofs, about 10 m above the ground in forest", "EGM2008", "free",
     "produced using Copernicus WorldDEM-30 \u00a9 DLR e.V. 2010-2014 and \u00a9 Airbus Defence and Space GmbH "
     "2014-2018 provided under COPERNICUS by the European Union and ESA; all rights reserved",
     "VERANTA_COPERNICUS_URL", "https://copernicus-dem-30m.s3.amazonaws.com"},
    {ELEVATION_3DEP, "3dep", "USGS 3DEP 1/3 arc-second", "the United States",
     "1/3\u2033 (about 10 m), 1\u00b0 tiles with 6-cell overlap", 10.0, false, "bare earth", "NAVD88",
     "public domain", "U.S. Geological Survey, 3D Elevation Program", "VERANTA_3DEP_URL",
     "https://prd-tnm.s3.amazonaws.com/StagedProducts/Elevation/13/TIFF/current"},
};

// More cells than this are refused: at 4 bytes a cell the GeoTIFF would pass
// 160 MB before compression, far beyond a parcel and its shading distance.
const double kMaxCells = 40e6;

// Room around the grid's extent so that the interpolation at its border
// finds its neighbours: a few cells of the coarsest spacing (6″ near the poles).
const double kPadDegrees = 0.003;

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

std::string variable(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string withoutTrailingSlashes(std::string url) {
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    return url;
}

std::string homeFolder() {
    std::string home = variable("HOME");
    if (!home.empty()) return home;
    struct passwd *pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "/tmp";
}

// "N45" / "S01" and "W124" / "E000": the corner's sign decides, zero is north or east.
std::string hemisphere(int degrees, char positive, char negative, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%0*d", degrees >= 0 ? positive : negative, digits, std::abs(degrees));
    return text;
}

// The longitude/latitude box of a box in another CRS (or the reverse),
// following its edges. False when PROJ cannot transform it.
bool transformBox(OGRSpatialReferenceH from, OGRSpatialReferenceH to, double *x0, double *y0, double *x1, double *y1) {
    OGRCoordinateTransformationH t = OCTNewCoordinateTransformation(from, to);
    if (t == nullptr) return false;
    double a, b, c, d;
    bool ok = OCTTransformBounds(t, *x0, *y0, *x1, *y1, &a, &b, &c, &d, 21) != 0;
    OCTDestroyCoordinateTransformation(t);
    if (!ok || !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !std::isfinite(d)) return false;
    *x0 = a;
    *y0 = b;
    *x1 = c;
    *y1 = d;
    return true;
}

OGRSpatialReferenceH srsOf(int epsg) {
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
    if (OSRImportFromEPSG(srs, epsg) != OGRERR_NONE) {
        OSRDestroySpatialReference(srs);
        return nullptr;
    }
    return srs;
}

}  // namespace

const elevation_source *elevationSource(elevation_source_id id) {
    for (const elevation_source &s : kSources)
        if (s.id == id) return &s;
    return nullptr;
}

const elevation_source *elevationSourceByKey(const std::string &key) {
    for (const elevation_source &s : kSources)
        if (key == s.key) return &s;
    return nullptr;
}

std::string elevationLicenceLine(const elevation_source *source) {
    if (source == nullptr) return "";
    std::string line = std::string(source->name) + ": " + source->licence + "; " + source->heights + ", " +
                       source->vertical_datum + ".";
    if (source->surface_model) line += " A surface model raises wooded land.";
    return line;
}

elevation_settings elevationSettingsFromEnvironment() {
    elevation_settings s;
    s.copernicus_url = variable("VERANTA_COPERNICUS_URL");
    if (s.copernicus_url.empty()) s.copernicus_url = elevationSource(ELEVATION_COPERNICUS)->default_url;
    s.copernicus_url = withoutTrailingSlashes(s.copernicus_url);
    s.threedep_url = variable("VERANTA_3DEP_URL");
    if (s.threedep_url.empty()) s.threedep_url = elevationSource(ELEVATION_3DEP)->default_url;
    s.threedep_url = withoutTrailingSlashes(s.threedep_url);
    s.cache_dir = variable("VERANTA_CACHE_DIR");
    if (s.cache_dir.empty()) {
        // The XDG rules ignore a relative XDG_CACHE_HOME.
        std::string xdg = variable("XDG_CACHE_HOME");
        std::string base = !xdg.empty() && xdg[0] == '/' ? xdg : homeFolder() + "/.cache";
        s.cache_dir = base + "/veranta/elevation";
    }
    s.cache_dir = withoutTrailingSlashes(s.cache_dir);
    return s;
}

std::vector<elevation_tile> elevationTiles(elevation_source_id source, const std::string &base_url, double west,
                                           double south, double east, double north) {
    std::vector<elevation_tile> tiles;
    if (source != ELEVATION_COPERNICUS && source != ELEVATION_3DEP) return tiles;
    // Squares whose inside meets the box; a box on a tile's edge needs no neighbour.
    int lat0 = static_cast<int>(std::floor(south));
    int lat1 = std::max(lat0, static_cast<int>(std::ceil(north)) - 1);
    int lon0 = static_cast<int>(std::floor(west));
    int lon1 = std::max(lon0, static_cast<int>(std::ceil(east)) - 1);
    lat0 = std::max(lat0, -90);
    lat1 = std::min(lat1, 89);
    lon0 = std::max(lon0, -180);
    lon1 = std::min(lon1, 179);
    std::string base = withoutTrailingSlashes(base_url);
    for (int lat = lat1; lat >= lat0; lat--) {
        for (int lon = lon0; lon <= lon1; lon++) {
            elevation_tile t;
            t.south = lat;
            t.west = lon;
            if (source == ELEVATION_COPERNICUS) {
                t.name = "Copernicus_DSM_COG_10_" + hemisphere(lat, 'N', 'S', 2) + "_00_" +
                         hemisphere(lon, 'E', 'W', 3) + "_00_DEM";
                t.url = base + "/" + t.name + "/" + t.name + ".tif";
            } else {
                std::string corner = hemisphere(lat + 1, 'n', 's', 2) + hemisphere(lon, 'e', 'w', 3);
                t.name = "USGS_13_" + corner;
                t.url = base + "/" + corner + "/" + t.name + ".tif";
            }
            tiles.push_back(t);
        }
    }
    return tiles;
}

int planElevation(const elevation_area &area, elevation_source_id source, const elevation_settings &settings,
                  elevation_plan *plan, std::string *refusal) {
    *plan = elevation_plan();
    plan->source = elevationSource(source);
    if (plan->source == nullptr) return say(refusal, ELEVATION_BAD_AREA, "No elevation source was chosen.");
    const elevation_area &a = area;
    if (!std::isfinite(a.west) || !std::isfinite(a.east) || !std::isfinite(a.south) || !std::isfinite(a.north) ||
        !std::isfinite(a.margin_metres) || a.margin_metres < 0.0 || a.south > a.north || a.south < -90.0 ||
        a.north > 90.0 || a.west < -180.0 || a.east > 180.0)
        return say(refusal, ELEVATION_BAD_AREA, "The area is not a box of latitudes and longitudes.");
    if (a.west > a.east)
        return say(refusal, ELEVATION_BAD_AREA, "The area crosses the 180th meridian, which this fetch cannot do.");

    // The UTM zone of the centre, on the regular 6° zones (the Norway and
    // Svalbard exceptions of the military grid are not used).
    double lon = 0.5 * (a.west + a.east);
    double lat = 0.5 * (a.south + a.north);
    int zone = std::min(60, std::max(1, static_cast<int>(std::floor((lon + 180.0) / 6.0)) + 1));
    plan->epsg = (lat >= 0.0 ? 32600 : 32700) + zone;
    plan->resolution = plan->source->resolution_metres;

    OGRSpatialReferenceH wgs84 = srsOf(4326);
    OGRSpatialReferenceH utm = srsOf(plan->epsg);
    double x0 = a.west, y0 = a.south, x1 = a.east, y1 = a.north;
    bool ok = wgs84 != nullptr && utm != nullptr && transformBox(wgs84, utm, &x0, &y0, &x1, &y1);
    // The grid: the area plus the margin, widened to whole cells on a lattice
    // of the resolution, so the same area always gives the same cells.
    const double r = plan->resolution;
    if (ok) {
        x0 = std::floor((x0 - a.margin_metres) / r) * r;
        y0 = std::floor((y0 - a.margin_metres) / r) * r;
        x1 = std::max(x0 + r, std::ceil((x1 + a.margin_metres) / r) * r);
        y1 = std::max(y0 + r, std::ceil((y1 + a.margin_metres) / r) * r);
        plan->x0 = x0;
        plan->y0 = y1;
        double w = std::round((x1 - x0) / r), h = std::round((y1 - y0) / r);
        if (w * h > kMaxCells) {
            OSRDestroySpatialReference(wgs84);
            OSRDestroySpatialReference(utm);
            char text[240];
            std::snprintf(text, sizeof text,
                          "The area is too large to fetch at once: %.1f by %.1f km at %g m is more than %.0f million "
                          "cells; choose a smaller area or a shorter shading distance.",
                          (x1 - x0) / 1000.0, (y1 - y0) / 1000.0, r, kMaxCells / 1e6);
            return say(refusal, ELEVATION_BAD_AREA, text);
        }
        plan->width = static_cast<int>(w);
        plan->height = static_cast<int>(h);
        ok = transformBox(utm, wgs84, &x0, &y0, &x1, &y1);
    }
    OSRDestroySpatialReference(wgs84);
    OSRDestroySpatialReference(utm);
    if (!ok) return say(refusal, ELEVATION_BAD_AREA, "The area cannot be placed on a UTM grid.");
    // UTM is defined from 80° S to 84° N.
    if (y0 < -80.0 || y1 > 84.0)
        return say(refusal, ELEVATION_BAD_AREA,
                   "The area with its margin reaches beyond 80\u00b0 S or 84\u00b0 N, where UTM grids end.");
    plan->west = std::max(-180.0, x0 - kPadDegrees);
    plan->south = std::max(-90.0, y0 - kPadDegrees);
    plan->east = std::min(180.0, x1 + kPadDegrees);
    plan->north = std::min(90.0, y1 + kPadDegrees);
    const std::string &base = source == ELEVATION_COPERNICUS ? settings.copernicus_url : settings.threedep_url;
    plan->tiles = elevationTiles(source, base, plan->west, plan->south, plan->east, plan->north);

    char name[160];
    std::snprintf(name, sizeof name, "/%s-epsg%d-x%.0f-y%.0f-%dx%d-%gm.tif", plan->source->key, plan->epsg, plan->x0,
                  plan->y0, plan->width, plan->height, r);
    plan->cache_path = settings.cache_dir + name;
    return ELEVATION_OK;
}
