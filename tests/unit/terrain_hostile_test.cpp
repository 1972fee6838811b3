// The terrain core on land far from where it was made: each day on the
// clock of the land's own zone, shading that reads only its own horizons
// wherever the sun stands, longitudes written past 180, the poles, and
// rasters stored south-up or east-left.
#include "terrain/internals.h"
#include "terrain/mapFigures.h"
#include "terrain/sunCache.h"
#include "demFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-hostile-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

std::uint32_t bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// The map of a DEM file, every band; the code of the run.
int mapOf(const std::string &path, const map_options &options, land_map *map, std::string *refusal) {
    dem_source dem;
    int code = openDem(path, 0, &dem, refusal);
    if (code != TERRAIN_OK) return code;
    code = computeMap(&dem, &options, nullptr, nullptr, nullptr, map, refusal);
    closeDem(&dem);
    return code;
}

// The first band whose bits differ between two maps, -1 when none.
int firstDifferentBand(const land_map &a, const land_map &b) {
    if (a.values.size() != b.values.size()) return -2;
    const size_t cells = static_cast<size_t>(a.grid.cells());
    for (size_t i = 0; i < a.values.size(); i++)
        if (bits(a.values[i]) != bits(b.values[i])) return static_cast<int>(i / cells);
    return -1;
}

// A flat geographic DEM of n x n cells of size degrees, its upper left
// corner at (west, north).
std::string flatDem(const std::string &path, int n, double size, double west, double north) {
    EXPECT_TRUE(writeDemFile(path, n, n, std::vector<float>(static_cast<size_t>(n) * n, 120.0f), "EPSG:4326", size,
                             west, north))
        << path;
    return path;
}

}  // namespace

// June on flat ground at 45 degrees north, each site's days on its own
// clock: within 0.5 % of the Pacific figure wherever the land lies.
TEST(TerrainClock, FlatJuneIsTheSameAtEveryLongitude) {
    temp_dir dir;
    map_options options;
    options.season = {2024, 1, 6, 30, 6};
    options.shade = false;
    float pacific = 0.0f;
    for (double west : {-123.0, -84.0, 4.0, 139.0}) {
        land_map map;
        std::string refusal;
        const std::string path = flatDem(dir.path + "/flat" + std::to_string(static_cast<int>(west)) + ".tif", 3,
                                         0.001, west, 45.0015);
        ASSERT_EQ(mapOf(path, options, &map, &refusal), TERRAIN_OK) << west << ": " << refusal;
        const float june = map.band(map_quantity::irradiation)[4];
        if (west == -123.0) pacific = june;
        EXPECT_NEAR(june / pacific, 1.0f, 0.005f) << "longitude " << west << ": " << june << " MJ/m2 against " << pacific;
    }
    EXPECT_GT(pacific, 700.0f);
}

// Flat land has no horizon above it: shaded, every band is the unshaded
// one to the bit, where the sun stands due north at times (south of the
// tropics, in the tropics in June, the midnight sun) and on the antimeridian.
TEST(TerrainHostile, ShadedFlatLandIsUnshadedToTheBit) {
    temp_dir dir;
    const struct {
        const char *what;
        double west, north;
    } lands[] = {
        {"35 degrees south", 149.1, -34.99},
        {"the tropics", -60.0, 10.0},
        {"on the antimeridian", 179.998, -17.0},
        {"70 degrees north", 23.7, 70.01},
    };
    for (const auto &l : lands) {
        const std::string path = flatDem(dir.path + "/flat.tif", 6, 0.0008, l.west, l.north);
        map_options options;
        options.season = {2024, 1, 6, 31, 7};
        options.directions = 16;
        options.distance = 1000.0;
        land_map open;
        land_map shaded;
        std::string refusal;
        options.shade = false;
        ASSERT_EQ(mapOf(path, options, &open, &refusal), TERRAIN_OK) << l.what << ": " << refusal;
        options.shade = true;
        ASSERT_EQ(mapOf(path, options, &shaded, &refusal), TERRAIN_OK) << l.what << ": " << refusal;
        EXPECT_EQ(firstDifferentBand(open, shaded), -1) << l.what;
        EXPECT_GT(open.band(map_quantity::irradiation)[0], 100.0f) << l.what;
    }
}

// Longitudes written from 0 to 360 are those of -180 to 180: the same land
// gets the same map, whichever way its longitudes are written.
TEST(TerrainHostile, LongitudesPast180AreTheSameLandWest) {
    temp_dir dir;
    map_options options;
    options.season = {2024, 1, 6, 30, 6};
    options.shade = false;
    land_map east;
    land_map west;
    std::string refusal;
    ASSERT_EQ(mapOf(flatDem(dir.path + "/east.tif", 4, 0.02, 200.0, 20.04), options, &east, &refusal), TERRAIN_OK)
        << refusal;
    ASSERT_EQ(mapOf(flatDem(dir.path + "/west.tif", 4, 0.02, -160.0, 20.04), options, &west, &refusal), TERRAIN_OK)
        << refusal;
    EXPECT_EQ(firstDifferentBand(east, west), -1);
}

// Cells near a pole: those whose 0.05 degree row the engine takes for the
// pole itself (it gives no sun an azimuth there) share one sun, placed on
// the last row where it does; every figure is finite and flat ground gets
// that sun's own figures.
TEST(TerrainHostile, CellsNearAPoleShareOneSaneSun) {
    const struct {
        double latitude, longitude;
        float block_latitude, block_longitude;
    } points[] = {
        {89.9999, 123.4, 89.9f, 0.0f},   {89.976, -170.0, 89.9f, 0.0f}, {89.93, 45.0, 89.9f, 0.0f},
        {89.924, 45.0, 89.9f, 45.0f},    {-89.99, 10.0, -89.9f, 0.0f},  {-89.92, 10.02, -89.9f, 10.0f},
        {44.133, -123.214, 44.15f, -123.2f},
    };
    for (const auto &p : points) {
        float la = 0.0f;
        float lo = 0.0f;
        blockPoint(p.latitude, p.longitude, &la, &lo);
        EXPECT_EQ(bits(la), bits(p.block_latitude)) << p.latitude << ", " << p.longitude;
        EXPECT_EQ(bits(lo), bits(p.block_longitude)) << p.latitude << ", " << p.longitude;
    }

    // A slope on polar stereographic land around the north pole in June.
    temp_dir dir;
    const int n = 16;
    std::vector<float> z(static_cast<size_t>(n) * n);
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) z[static_cast<size_t>(r * n + c)] = static_cast<float>(50.0 + 4.0 * c + (r == 7 ? 0 : 1));
    const std::string path = dir.path + "/pole.tif";
    ASSERT_TRUE(writeDemFile(path, n, n, z, "EPSG:3413", 20.0, -160.0, 160.0));
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(path, 0, &dem, &refusal), TERRAIN_OK) << refusal;
    map_options options;
    options.season = {2024, 1, 6, 30, 6};
    options.directions = 8;
    options.distance = 200.0;
    sun_cache *cache = newSunCache(&options.season);
    land_map map;
    newLandMap(&dem, &options, {0, 0, n, n}, nullptr, &map);
    ASSERT_EQ(computeMapPart(&dem, {0, 0, n, n}, cache, nullptr, &map, &refusal), TERRAIN_OK) << refusal;
    EXPECT_EQ(cache->entries.size(), 1u);
    freeSunCache(cache);
    closeDem(&dem);
    const site_location site = {89.9f, 0.0f, 50.0f};
    const slope flat = {180.0f, 0.0f};
    slope_season open;
    ASSERT_EQ(sweepSeason(&site, &options.season, &flat, 1, &open), 0);
    for (size_t i = 0; i < map.values.size(); i++) ASSERT_TRUE(std::isfinite(map.values[i])) << i;
    const float *irradiation = map.band(map_quantity::irradiation);
    for (long i = 0; i < map.grid.cells(); i++) {
        EXPECT_GT(irradiation[i], 0.5f * open.season_irradiation) << "cell " << i;
        EXPECT_LT(irradiation[i], 1.5f * open.season_irradiation) << "cell " << i;
    }
}

namespace {

// A Float32 GeoTIFF in UTM 10 N with the geotransform as given.
void writeStored(const std::string &path, int w, int h, const std::vector<float> &z, const double transform[6]) {
    GDALAllRegister();   // the test may run alone, before anything else has opened a raster
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), w, h, 1, GDT_Float32, nullptr);
    ASSERT_NE(ds, nullptr) << path;
    GDALSetGeoTransform(ds, const_cast<double *>(transform));
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, 32610);
    GDALSetSpatialRef(ds, srs);
    OSRDestroySpatialReference(srs);
    GDALSetRasterNoDataValue(GDALGetRasterBand(ds, 1), -9999.0);
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, w, h, const_cast<float *>(z.data()), w, h,
                           GDT_Float32, 0, 0),
              CE_None);
    GDALClose(ds);
}

}  // namespace

// One hill stored north-up, south-up (rows running north), east-left
// (columns running west) and both: every band of the map and its grid are
// the north-up file's, to the bit, shading and nodata included.
TEST(TerrainHostile, TheSameLandStoredFourWaysGivesTheSameMap) {
    temp_dir dir;
    const int w = 23;
    const int h = 17;
    const double cell = 30.0, west = 497000.0, north = 4880000.0;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            z[static_cast<size_t>(r * w + c)] = static_cast<float>(
                300.0 + 120.0 * std::exp(-((c - 15) * (c - 15) + (r - 5) * (r - 5)) / 18.0) + 2.0 * c - 1.5 * r);
    z[static_cast<size_t>(3 * w + 4)] = -9999.0f;
    const struct {
        const char *what;
        bool rows, columns;
    } stored[] = {{"north-up", false, false}, {"south-up", true, false}, {"east-left", false, true}, {"both", true, true}};
    map_options options;
    options.season = {2024, 1, 5, 31, 7};
    options.directions = 16;
    options.distance = 600.0;
    land_map first;
    for (const auto &s : stored) {
        std::vector<float> v(z.size());
        for (int r = 0; r < h; r++)
            for (int c = 0; c < w; c++)
                v[static_cast<size_t>(r * w + c)] =
                    z[static_cast<size_t>((s.rows ? h - 1 - r : r) * w + (s.columns ? w - 1 - c : c))];
        const double t[6] = {s.columns ? west + w * cell : west, s.columns ? -cell : cell, 0.0,
                             s.rows ? north - h * cell : north, 0.0, s.rows ? cell : -cell};
        const std::string path = dir.path + "/" + s.what + ".tif";
        writeStored(path, w, h, v, t);
        land_map map;
        std::string refusal;
        ASSERT_EQ(mapOf(path, options, &map, &refusal), TERRAIN_OK) << s.what << ": " << refusal;
        if (first.values.empty()) {
            first = map;
            EXPECT_EQ(first.values[static_cast<size_t>(3 * w + 4)], kMapNodata);
            continue;
        }
        EXPECT_EQ(firstDifferentBand(first, map), -1) << s.what;
        for (int k = 0; k < 6; k++) EXPECT_EQ(map.grid.transform[k], first.grid.transform[k]) << s.what << " " << k;
    }
}
