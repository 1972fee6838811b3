// What is decided before the network: tile names at the equator, the prime
// meridian and in every hemisphere, tile addresses, the UTM zone, the grid
// and its cache name, refused areas, and the settings from the environment.
#include "elevation/elevation.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> names(elevation_source_id s, double w, double so, double e, double n) {
    std::vector<std::string> out;
    for (const elevation_tile &t : elevationTiles(s, "http://m", w, so, e, n)) out.push_back(t.name);
    return out;
}

TEST(elevation_tiles, NamedBySouthWestForCopernicusAndNorthWestFor3dep) {
    const elevation_source_id C = ELEVATION_COPERNICUS, U = ELEVATION_3DEP;
    struct row {
        elevation_source_id source;
        double w, s, e, n;
        std::vector<std::string> expected;
    } rows[] = {
        {C, -123.6, 45.4, -123.5, 45.5, {"Copernicus_DSM_COG_10_N45_00_W124_00_DEM"}},
        {C, 0.2, -0.6, 0.4, -0.4, {"Copernicus_DSM_COG_10_S01_00_E000_00_DEM"}},
        {C, -0.4, 0.4, -0.2, 0.6, {"Copernicus_DSM_COG_10_N00_00_W001_00_DEM"}},
        {C, 18.3, -34.0, 18.5, -33.8, {"Copernicus_DSM_COG_10_S34_00_E018_00_DEM"}},
        {C, -124.0, 45.0, -123.0, 46.0, {"Copernicus_DSM_COG_10_N45_00_W124_00_DEM"}},
        {C, -123.1, 44.9, -122.9, 45.1,
         {"Copernicus_DSM_COG_10_N45_00_W124_00_DEM", "Copernicus_DSM_COG_10_N45_00_W123_00_DEM",
          "Copernicus_DSM_COG_10_N44_00_W124_00_DEM", "Copernicus_DSM_COG_10_N44_00_W123_00_DEM"}},
        {U, -123.6, 45.4, -123.5, 45.5, {"USGS_13_n46w124"}},
        {U, -124.0, 45.0, -123.0, 46.0, {"USGS_13_n46w124"}},
        {U, -170.8, -14.4, -170.6, -14.2, {"USGS_13_s14w171"}},
        {U, 144.6, 13.3, 144.8, 13.5, {"USGS_13_n14e144"}},
        {U, 0.2, -0.6, 0.4, -0.4, {"USGS_13_n00e000"}},
        {U, -0.4, -0.6, -0.2, -0.4, {"USGS_13_n00w001"}},
    };
    for (const row &r : rows)
        EXPECT_EQ(names(r.source, r.w, r.s, r.e, r.n), r.expected) << r.w << " " << r.s << " " << r.e << " " << r.n;
}

TEST(elevation_tiles, AddressesFollowEachServicesLayout) {
    struct row {
        elevation_source_id source;
        const char *base, *expected;
    } rows[] = {
        {ELEVATION_COPERNICUS, "http://mirror/dem/",
         "http://mirror/dem/Copernicus_DSM_COG_10_N45_00_W124_00_DEM/Copernicus_DSM_COG_10_N45_00_W124_00_DEM.tif"},
        {ELEVATION_3DEP, "http://mirror/13", "http://mirror/13/n46w124/USGS_13_n46w124.tif"},
    };
    for (const row &r : rows)
        EXPECT_EQ(elevationTiles(r.source, r.base, -123.6, 45.4, -123.5, 45.5).at(0).url, r.expected);
}

elevation_settings testSettings() {
    elevation_settings s;
    s.copernicus_url = "http://c";
    s.threedep_url = "http://u";
    s.cache_dir = "/cache";
    return s;
}

TEST(elevation_plan, UtmZoneOfTheCentreNorthOrSouth) {
    struct row {
        double lon, lat;
        int epsg;
    } rows[] = {{-123.5, 45.5, 32610}, {18.4, -33.9, 32734}, {0.5, 10.0, 32631}, {-0.5, 10.0, 32630},
                {-179.9, 50.0, 32601}, {179.9, 50.0, 32660}, {3.0, 0.001, 32631}, {3.0, -0.001, 32731}};
    for (const row &r : rows) {
        elevation_plan p;
        std::string refusal;
        ASSERT_EQ(planElevation({r.lon, r.lat, r.lon, r.lat, 100.0}, ELEVATION_COPERNICUS, testSettings(), &p, &refusal),
                  ELEVATION_OK)
            << refusal;
        EXPECT_EQ(p.epsg, r.epsg) << r.lon << " " << r.lat;
    }
}

TEST(elevation_plan, CentreAndMarginGiveWholeCellsAroundIt) {
    elevation_plan p;
    std::string refusal;
    ASSERT_EQ(planElevation({-123.5, 45.5, -123.5, 45.5, 1000.0}, ELEVATION_3DEP, testSettings(), &p, &refusal),
              ELEVATION_OK);
    EXPECT_EQ(std::fmod(p.x0, 10.0), 0.0);
    EXPECT_EQ(std::fmod(p.y0, 10.0), 0.0);
    EXPECT_GE(p.width * 10.0, 2000.0);
    EXPECT_LE(p.width * 10.0, 2020.0);
    EXPECT_GE(p.height * 10.0, 2000.0);
    EXPECT_LE(p.height * 10.0, 2020.0);
}

TEST(elevation_plan, CacheNameTellsSourceAndGrid) {
    const elevation_area a = {-123.51, 45.49, -123.49, 45.51, 500.0};
    elevation_area wider = a;
    wider.margin_metres = 600.0;
    std::string refusal;
    elevation_plan p1, p2, p3, p4;
    planElevation(a, ELEVATION_COPERNICUS, testSettings(), &p1, &refusal);
    planElevation(a, ELEVATION_COPERNICUS, testSettings(), &p2, &refusal);
    planElevation(wider, ELEVATION_COPERNICUS, testSettings(), &p3, &refusal);
    planElevation(a, ELEVATION_3DEP, testSettings(), &p4, &refusal);
    EXPECT_EQ(p1.cache_path, p2.cache_path);
    EXPECT_NE(p1.cache_path, p3.cache_path);
    EXPECT_NE(p1.cache_path, p4.cache_path);
    EXPECT_EQ(p1.cache_path.rfind("/cache/copernicus-epsg32610-", 0), 0u) << p1.cache_path;
}

TEST(elevation_plan, RefusesWhatIsNoAreaOrTooLarge) {
    struct row {
        elevation_area area;
        const char *says;
    } rows[] = {
        {{-123.5, 45.6, -123.4, 45.5, 0.0}, "not a box"},
        {{NAN, 45.5, -123.4, 45.6, 0.0}, "not a box"},
        {{-123.5, 45.5, -123.4, 45.6, -1.0}, "not a box"},
        {{179.5, 45.5, -179.5, 45.6, 0.0}, "180th meridian"},
        {{10.0, 84.5, 10.1, 84.6, 0.0}, "84\u00b0 N"},
        {{10.0, -80.2, 10.1, -80.1, 0.0}, "80\u00b0 S"},
        {{-123.5, 45.5, -123.4, 45.6, 200000.0}, "too large"},
    };
    for (const row &r : rows) {
        elevation_plan p;
        std::string refusal;
        EXPECT_EQ(planElevation(r.area, ELEVATION_COPERNICUS, testSettings(), &p, &refusal), ELEVATION_BAD_AREA) << r.says;
        EXPECT_NE(refusal.find(r.says), std::string::npos) << refusal;
    }
}

void setOrUnset(const char *name, const char *value) {
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

TEST(elevation_settings, FromTheEnvironmentWithTheProvidersAsDefaults) {
    struct row {
        const char *cache, *xdg, *home, *copernicus, *threedep;
        const char *want_cache, *want_copernicus, *want_threedep;
    } rows[] = {
        {"/c/", "/x", "/h", nullptr, nullptr, "/c", "https://copernicus-dem-30m.s3.amazonaws.com",
         "https://prd-tnm.s3.amazonaws.com/StagedProducts/Elevation/13/TIFF/current"},
        {nullptr, "/x", "/h", "http://m/c/", "http://m/u", "/x/veranta/elevation", "http://m/c", "http://m/u"},
        {nullptr, "relative", "/h", "", "", "/h/.cache/veranta/elevation", "https://copernicus-dem-30m.s3.amazonaws.com",
         "https://prd-tnm.s3.amazonaws.com/StagedProducts/Elevation/13/TIFF/current"},
        {"", "", "/h", nullptr, nullptr, "/h/.cache/veranta/elevation", "https://copernicus-dem-30m.s3.amazonaws.com",
         "https://prd-tnm.s3.amazonaws.com/StagedProducts/Elevation/13/TIFF/current"},
    };
    for (const row &r : rows) {
        setOrUnset("VERANTA_CACHE_DIR", r.cache);
        setOrUnset("XDG_CACHE_HOME", r.xdg);
        setOrUnset("HOME", r.home);
        setOrUnset("VERANTA_COPERNICUS_URL", r.copernicus);
        setOrUnset("VERANTA_3DEP_URL", r.threedep);
        elevation_settings s = elevationSettingsFromEnvironment();
        EXPECT_EQ(s.cache_dir, r.want_cache);
        EXPECT_EQ(s.copernicus_url, r.want_copernicus);
        EXPECT_EQ(s.threedep_url, r.want_threedep);
    }
}

TEST(elevation_sources, KeysResolutionsAndTheSurfaceModelWarning) {
    EXPECT_EQ(elevationSourceByKey("copernicus")->resolution_metres, 30.0);
    EXPECT_EQ(elevationSourceByKey("3dep")->resolution_metres, 10.0);
    EXPECT_EQ(elevationSourceByKey("choose"), nullptr);
    EXPECT_NE(elevationLicenceLine(elevationSource(ELEVATION_COPERNICUS)).find("raises wooded land"), std::string::npos);
    EXPECT_EQ(elevationLicenceLine(elevationSource(ELEVATION_3DEP)).find("raises wooded land"), std::string::npos);
}

}  // namespace
