// Fetching against a real nginx on loopback that serves made-up COG tiles
// laid out under both services' names: inside a tile, across four, partly
// over sea, the cache without the server, 3DEP chosen or not, the share of
// bytes read, and every way the service can fail.
#include "elevation/elevation.h"
#include "loopbackServer.h"
#include "demFiles.h"

#include <arpa/inet.h>
#include <cmath>
#include <cpl_conv.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <gdal.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <ogr_srs_api.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int kCells = 1200;   // cells per degree of the made-up tiles (3″)

// The made-up land: a plane in longitude and latitude, which bilinear
// interpolation gives back exactly wherever it is sampled.
double plane(double lon, double lat) { return 200.0 + 400.0 * (lon + 123.0) + 250.0 * (lat - 45.0); }

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-elevation-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// A COG of the 1° square with south-west corner (south, west) and overlap
// cells beyond each edge, on one lattice of cells for all tiles, so that
// overlapping tiles agree to the bit.
void writeTile(const std::string &path, int south, int west, int overlap) {
    const int n = kCells + 2 * overlap;
    std::vector<float> z(static_cast<size_t>(n) * n);
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) {
            long c = (west + 180L) * kCells - overlap + i, r = (89L - south) * kCells - overlap + j;
            z[static_cast<size_t>(j) * n + i] =
                static_cast<float>(plane(-180.0 + (c + 0.5) / kCells, 90.0 - (r + 0.5) / kCells));
        }
    // Uncompressed: a plane would shrink to almost nothing, and the share of
    // bytes read would measure GDAL's first read of the header, not its windows.
    const char *const options[] = {"COMPRESS=NONE", "BLOCKSIZE=128", nullptr};
    EXPECT_TRUE(writeCogFile(path, n, n, z, "EPSG:4326", 1.0 / kCells, west - double(overlap) / kCells,
                             south + 1 + double(overlap) / kCells, options))
        << path;
}

std::string copernicusName(int south, int west) {
    char name[64];
    std::snprintf(name, sizeof name, "Copernicus_DSM_COG_10_N%02d_00_W%03d_00_DEM", south, -west);
    return name;
}

std::string threedepPath(int south, int west) {
    char path[64];
    std::snprintf(path, sizeof path, "n%02dw%03d/USGS_13_n%02dw%03d.tif", south + 1, -west, south + 1, -west);
    return path;
}

std::string metadata(const std::string &path, const char *key) {
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (ds == nullptr) return "(no file)";
    const char *v = GDALGetMetadataItem(ds, key, nullptr);
    std::string s = v != nullptr ? v : "(none)";
    GDALClose(ds);
    return s;
}

struct cell {
    double lon, lat;
    float z;
};

// Every cell of a fetched GeoTIFF with the longitude and latitude of its centre.
std::vector<cell> cellsOf(const std::string &path) {
    std::vector<cell> cells;
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (ds == nullptr) return cells;
    int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
    double t[6];
    GDALGetGeoTransform(ds, t);
    std::vector<float> z(static_cast<size_t>(w) * h);
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, w, h, z.data(), w, h, GDT_Float32, 0, 0), CE_None);
    OGRSpatialReferenceH utm = OSRClone(GDALGetSpatialRef(ds)), wgs84 = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(wgs84, 4326);
    OSRSetAxisMappingStrategy(utm, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH ct = OCTNewCoordinateTransformation(utm, wgs84);
    for (int j = 0; j < h; j++) {
        std::vector<double> x(w), y(w, t[3] + (j + 0.5) * t[5]);
        for (int i = 0; i < w; i++) x[i] = t[0] + (i + 0.5) * t[1];
        OCTTransform(ct, w, x.data(), y.data(), nullptr);
        for (int i = 0; i < w; i++) cells.push_back({x[i], y[i], z[static_cast<size_t>(j) * w + i]});
    }
    OCTDestroyCoordinateTransformation(ct);
    OSRDestroySpatialReference(utm);
    OSRDestroySpatialReference(wgs84);
    GDALClose(ds);
    return cells;
}

// The largest distance (m) of the cells with data from the plane; NaN when none has data.
double planeError(const std::vector<cell> &cells) {
    double worst = NAN;
    for (const cell &c : cells)
        if (c.z != -9999.0f) {
            double e = std::fabs(c.z - plane(c.lon, c.lat));
            worst = std::isnan(worst) ? e : std::max(worst, e);
        }
    return worst;
}

// The UTM box (west, south, east, north, metres) of an area's corners.
void utmBox(const elevation_area &a, int epsg, double box[4]) {
    OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr), utm = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(wgs84, 4326);
    OSRImportFromEPSG(utm, epsg);
    OSRSetAxisMappingStrategy(utm, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH ct = OCTNewCoordinateTransformation(wgs84, utm);
    double x[4] = {a.west, a.east, a.west, a.east}, y[4] = {a.south, a.south, a.north, a.north};
    OCTTransform(ct, 4, x, y, nullptr);
    box[0] = std::min(x[0], x[2]);
    box[1] = std::min(y[0], y[1]);
    box[2] = std::max(x[1], x[3]);
    box[3] = std::max(y[2], y[3]);
    OCTDestroyCoordinateTransformation(ct);
    OSRDestroySpatialReference(utm);
    OSRDestroySpatialReference(wgs84);
}

// The fetched file's grid warped by hand from the tiles on disk, as the
// fetch is documented to do: a VRT mosaic, GDAL's warper, bilinear.
std::vector<float> warpedByHand(const std::string &fetched, const std::vector<std::string> &tiles) {
    std::vector<GDALDatasetH> sources;
    for (const std::string &t : tiles) sources.push_back(GDALOpen(t.c_str(), GA_ReadOnly));
    const char *vrt_args[] = {"-resolution", "highest", "-r", "bilinear", "-vrtnodata", "-9999", nullptr};
    GDALBuildVRTOptions *vo = GDALBuildVRTOptionsNew(const_cast<char **>(vrt_args), nullptr);
    GDALDatasetH vrt = GDALBuildVRT("", static_cast<int>(sources.size()), sources.data(), nullptr, vo, nullptr);
    GDALBuildVRTOptionsFree(vo);
    GDALDatasetH f = GDALOpen(fetched.c_str(), GA_ReadOnly);
    int w = GDALGetRasterXSize(f), h = GDALGetRasterYSize(f);
    double t[6];
    GDALGetGeoTransform(f, t);
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", w, h, 1, GDT_Float32, nullptr);
    GDALSetGeoTransform(mem, t);
    GDALSetProjection(mem, GDALGetProjectionRef(f));
    GDALSetRasterNoDataValue(GDALGetRasterBand(mem, 1), -9999.0);
    const char *warp_args[] = {"-r", "bilinear", "-et", "0", "-wo", "INIT_DEST=NO_DATA", nullptr};
    GDALWarpAppOptions *wo = GDALWarpAppOptionsNew(const_cast<char **>(warp_args), nullptr);
    GDALWarp(nullptr, mem, 1, &vrt, wo, nullptr);
    GDALWarpAppOptionsFree(wo);
    std::vector<float> z(static_cast<size_t>(w) * h);
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Read, 0, 0, w, h, z.data(), w, h, GDT_Float32, 0, 0), CE_None);
    GDALClose(mem);
    GDALClose(f);
    GDALClose(vrt);
    for (GDALDatasetH s : sources) GDALClose(s);
    return z;
}

// A port that takes connections and never answers.
struct silent_listener {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    silent_listener() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        listen(fd, 8);
        getsockname(fd, reinterpret_cast<sockaddr *>(&a), &n);
        port = ntohs(a.sin_port);
    }
    ~silent_listener() { close(fd); }
};

class fetch_test : public ::testing::Test {
public:
    temp_dir dir;
    std::string www = dir.path + "/www";
    loopback_server server{dir.path + "/www", dir.path + "/server"};
    elevation_settings settings;
    std::vector<std::string> listed;

    void SetUp() override {
        GDALAllRegister();
        for (const char *sub : {"/www", "/www/copernicus", "/www/3dep", "/server"}) mkdir((dir.path + sub).c_str(), 0700);
        std::string error;
        ASSERT_TRUE(server.start(&error)) << error;
        // Never the real services: every test points both addresses here.
        setenv("VERANTA_COPERNICUS_URL", (server.url() + "/copernicus").c_str(), 1);
        setenv("VERANTA_3DEP_URL", (server.url() + "/3dep/").c_str(), 1);
        setenv("VERANTA_CACHE_DIR", (dir.path + "/cache").c_str(), 1);
        settings = elevationSettingsFromEnvironment();
    }
    void TearDown() override { CPLSetConfigOption("GDAL_HTTP_TIMEOUT", nullptr); }

    // Serves a Copernicus tile (and lists it on tileList.txt) or only lists it.
    std::string copernicus(int south, int west, bool served = true) {
        std::string name = copernicusName(south, west), folder = www + "/copernicus/" + name;
        listed.push_back(name);
        std::ofstream(www + "/copernicus/tileList.txt") << [&] {
            std::string s;
            for (const std::string &n : listed) s += n + "\n";
            return s;
        }();
        if (!served) return "";
        mkdir(folder.c_str(), 0700);
        writeTile(folder + "/" + name + ".tif", south, west, 0);
        return folder + "/" + name + ".tif";
    }
    std::string threedep(int south, int west) {
        std::string path = www + "/3dep/" + threedepPath(south, west);
        mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
        writeTile(path, south, west, 6);
        return path;
    }
    // Whatever the cache folder holds but the tile list.
    std::vector<std::string> cacheFiles() {
        std::vector<std::string> names;
        DIR *d = opendir((dir.path + "/cache").c_str());
        if (d == nullptr) return names;
        while (dirent *e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0 &&
                std::strcmp(e->d_name, "copernicus-tileList.txt") != 0)
                names.push_back(e->d_name);
        closedir(d);
        return names;
    }
};

// Boxes of longitude and latitude with a margin in metres.
const elevation_area kInsideTile = {-123.505, 45.495, -123.495, 45.505, 300.0};
const elevation_area kAcrossFour = {-123.01, 44.99, -122.99, 45.01, 500.0};
const elevation_area kSouthEast = {-123.06, 45.04, -123.04, 45.06, 200.0};

class fetch_each_source : public fetch_test, public ::testing::WithParamInterface<elevation_source_id> {};

TEST_P(fetch_each_source, InsideOneTileGivesThePlaneOnTheSourcesGrid) {
    bool cop = GetParam() == ELEVATION_COPERNICUS;
    if (cop) copernicus(45, -124); else threedep(45, -124);
    elevation_result r;
    std::string refusal;
    ASSERT_EQ(fetchElevation(kInsideTile, GetParam(), settings, nullptr, &r, &refusal), ELEVATION_OK) << refusal;
    EXPECT_EQ(r.epsg, 32610);
    EXPECT_EQ(r.resolution, cop ? 30.0 : 10.0);
    EXPECT_EQ(r.urls, std::vector<std::string>{server.url() + (cop ? "/copernicus/" + copernicusName(45, -124) + "/" +
                                                                         copernicusName(45, -124) + ".tif"
                                                                   : "/3dep/" + threedepPath(45, -124))});
    EXPECT_EQ(metadata(r.path, "ELEVATION_ATTRIBUTION"),
              cop ? "produced using Copernicus WorldDEM-30 \u00a9 DLR e.V. 2010-2014 and \u00a9 Airbus Defence and "
                    "Space GmbH 2014-2018 provided under COPERNICUS by the European Union and ESA; all rights reserved"
                  : "U.S. Geological Survey, 3D Elevation Program");
    EXPECT_EQ(metadata(r.path, "ELEVATION_LICENCE"), cop ? "free" : "public domain");

    // The grid holds the box and its margin, and not a cell more on any side.
    double box[4];
    utmBox(kInsideTile, r.epsg, box);
    GDALDatasetH ds = GDALOpen(r.path.c_str(), GA_ReadOnly);
    double t[6];
    GDALGetGeoTransform(ds, t);
    GDALClose(ds);
    double grid[4] = {t[0], t[3] + r.height * t[5], t[0] + r.width * t[1], t[3]};
    double m = kInsideTile.margin_metres;
    for (int k = 0; k < 4; k++) {
        double wanted = box[k] + (k < 2 ? -m : m), outward = k < 2 ? wanted - grid[k] : grid[k] - wanted;
        EXPECT_GE(outward, 0.0) << "side " << k;
        EXPECT_LT(outward, r.resolution) << "side " << k;
    }
    std::vector<cell> cells = cellsOf(r.path);
    EXPECT_LT(planeError(cells), 0.01);
}

TEST_P(fetch_each_source, AcrossFourTilesIsSeamlessAndEqualsWarpingTheTilesByHand) {
    bool cop = GetParam() == ELEVATION_COPERNICUS;
    std::vector<std::string> tiles;
    for (int south : {44, 45})
        for (int west : {-124, -123}) tiles.push_back(cop ? copernicus(south, west) : threedep(south, west));
    elevation_result r;
    elevation_progress progress;
    std::string refusal;
    ASSERT_EQ(fetchElevation(kAcrossFour, GetParam(), settings, &progress, &r, &refusal), ELEVATION_OK) << refusal;
    EXPECT_EQ(r.urls.size(), 4u);
    EXPECT_EQ(progress.tiles_opened.load(), 4);
    EXPECT_EQ(progress.fraction.load(), 1.0);
    std::vector<cell> cells = cellsOf(r.path);
    std::vector<float> hand = warpedByHand(r.path, tiles);
    ASSERT_EQ(hand.size(), cells.size());
    long differ = 0, nodata = 0;
    for (size_t k = 0; k < cells.size(); k++) {
        differ += std::memcmp(&hand[k], &cells[k].z, sizeof(float)) != 0;
        nodata += cells[k].z == -9999.0f;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(nodata, 0);
    EXPECT_LT(planeError(cells), 0.01);
}

INSTANTIATE_TEST_SUITE_P(sources, fetch_each_source, ::testing::Values(ELEVATION_COPERNICUS, ELEVATION_3DEP),
                         [](const auto &info) { return std::string(info.param == ELEVATION_3DEP ? "threedep" : "copernicus"); });

// Three land tiles round a corner and the fourth, south-west, over sea: it is
// in the middle of the mosaic, not beyond it, and must still read nodata.
TEST_F(fetch_test, PartlyOverSeaIsNodataWhereNoTileIsListed) {
    copernicus(47, -126);
    copernicus(47, -125);
    copernicus(46, -125);
    elevation_result r;
    std::string refusal;
    const elevation_area coast = {-125.02, 46.98, -124.98, 47.02, 0.0};
    ASSERT_EQ(fetchElevation(coast, ELEVATION_COPERNICUS, settings, nullptr, &r, &refusal), ELEVATION_OK) << refusal;
    EXPECT_EQ(r.sea_tiles, std::vector<std::string>{copernicusName(46, -126)});
    std::vector<cell> cells = cellsOf(r.path), land;
    long sea = 0, sea_with_data = 0;
    for (const cell &c : cells) {
        if (c.lon < -125.001 && c.lat < 46.999) {
            sea++;
            sea_with_data += c.z != -9999.0f;
        } else if (c.lon > -124.999 || c.lat > 47.001) {
            land.push_back(c);
        }
    }
    EXPECT_GT(sea, 0);
    EXPECT_EQ(sea_with_data, 0);
    EXPECT_LT(planeError(land), 0.01);
}

TEST_F(fetch_test, SmallParcelReadsASmallShareOfTheTile) {
    std::string tile = copernicus(45, -124);
    elevation_result r;
    std::string refusal;
    const elevation_area small = {-123.501, 45.499, -123.499, 45.501, 0.0};
    ASSERT_EQ(fetchElevation(small, ELEVATION_COPERNICUS, settings, nullptr, &r, &refusal), ELEVATION_OK) << refusal;
    server.stop();
    struct stat st;
    stat(tile.c_str(), &st);
    long long served = server.bytesServed()[tile.substr(www.size())];
    double share = double(served) / st.st_size;
    std::printf("bytes served for a %d x %d cell parcel: %lld of the tile's %lld (%.1f%%)\n", r.width, r.height, served,
                static_cast<long long>(st.st_size), 100.0 * share);
    RecordProperty("tile_share_percent", std::to_string(100.0 * share));
    EXPECT_GT(served, 0);
    EXPECT_LT(share, 0.05);
}

// Each source once fetched, then the server stopped: the same area again
// comes from the cache file, untouched. "choose" here falls back to
// Copernicus (3DEP lacks the tile) and must remember why.
class cache_each_source : public fetch_test, public ::testing::WithParamInterface<elevation_source_id> {};

TEST_P(cache_each_source, SameAreaAgainComesFromTheCacheWithTheServerStopped) {
    copernicus(45, -124);
    if (GetParam() == ELEVATION_3DEP) threedep(45, -124);
    elevation_result first, again;
    std::string refusal;
    ASSERT_EQ(fetchElevation(kInsideTile, GetParam(), settings, nullptr, &first, &refusal), ELEVATION_OK) << refusal;
    EXPECT_FALSE(first.from_cache);
    struct stat before, after;
    stat(first.path.c_str(), &before);
    server.stop();
    ASSERT_EQ(fetchElevation(kInsideTile, GetParam(), settings, nullptr, &again, &refusal), ELEVATION_OK) << refusal;
    EXPECT_TRUE(again.from_cache);
    EXPECT_EQ(again.path, first.path);
    EXPECT_EQ(again.urls, first.urls);
    stat(again.path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

INSTANTIATE_TEST_SUITE_P(sources, cache_each_source,
                         ::testing::Values(ELEVATION_COPERNICUS, ELEVATION_3DEP, ELEVATION_CHOOSE),
                         [](const auto &info) {
                             return std::string(info.param == ELEVATION_3DEP       ? "threedep"
                                                : info.param == ELEVATION_CHOOSE ? "choose"
                                                                                 : "copernicus");
                         });

TEST_F(fetch_test, ChooseTakes3depWhereItHasEveryTileElseCopernicus) {
    copernicus(45, -124);
    copernicus(44, -124);
    threedep(45, -124);   // 3DEP has the inside tile, not the one south of it
    const elevation_area across = {-123.51, 44.99, -123.49, 45.01, 0.0};
    struct row {
        elevation_area area;
        elevation_source_id expected;
    } rows[] = {{kInsideTile, ELEVATION_3DEP}, {across, ELEVATION_COPERNICUS}};
    for (const row &w : rows) {
        elevation_result r;
        std::string refusal;
        ASSERT_EQ(fetchElevation(w.area, ELEVATION_CHOOSE, settings, nullptr, &r, &refusal), ELEVATION_OK) << refusal;
        EXPECT_EQ(r.source->id, w.expected) << r.path;
    }
}

// The ways a fetch fails: one plain sentence, nothing on stderr, nothing
// new in the cache.
struct refusal_case {
    const char *name;
    std::function<void(fetch_test *, elevation_progress *)> setup;
    elevation_source_id source;
    int code;
    const char *says;
};

void PrintTo(const refusal_case &c, std::ostream *os) { *os << c.name; }

class fetch_refusal : public fetch_test, public ::testing::WithParamInterface<refusal_case> {
public:
    silent_listener silent;
};

TEST_P(fetch_refusal, SaysOneSentenceAndWritesNothing) {
    elevation_progress progress;
    GetParam().setup(this, &progress);
    elevation_result r;
    std::string refusal;
    testing::internal::CaptureStderr();
    int code = fetchElevation(kSouthEast, GetParam().source, settings, &progress, &r, &refusal);
    std::string stderr_text = testing::internal::GetCapturedStderr();
    std::printf("%s: %s\n", GetParam().name, refusal.c_str());
    EXPECT_EQ(code, GetParam().code) << refusal;
    EXPECT_NE(refusal.find(GetParam().says), std::string::npos) << refusal;
    EXPECT_EQ(refusal.find('\n'), std::string::npos) << refusal;
    EXPECT_EQ(refusal.back(), '.') << refusal;
    EXPECT_EQ(stderr_text, "");
    EXPECT_EQ(cacheFiles(), std::vector<std::string>{});
}

const refusal_case kRefusals[] = {
    {"server_stopped", [](fetch_test *t, elevation_progress *) { t->copernicus(45, -124); t->server.stop(); },
     ELEVATION_COPERNICUS, ELEVATION_UNREACHABLE, "Could not reach the elevation service: Failed to connect"},
    {"time_out",
     [](fetch_test *t, elevation_progress *) {
         // The user's own GDAL setting is honoured.
         CPLSetConfigOption("GDAL_HTTP_TIMEOUT", "1");
         t->settings.copernicus_url =
             "http://127.0.0.1:" + std::to_string(static_cast<fetch_refusal *>(t)->silent.port);
     },
     ELEVATION_COPERNICUS, ELEVATION_UNREACHABLE, "Could not reach the elevation service: Operation timed out after 1"},
    {"server_error", [](fetch_test *t, elevation_progress *) { t->settings.threedep_url = t->server.url() + "/broken"; },
     ELEVATION_3DEP, ELEVATION_UNREACHABLE, "Could not reach the elevation service: it answered HTTP 500"},
    {"listed_tile_missing", [](fetch_test *t, elevation_progress *) { t->copernicus(45, -124, false); },
     ELEVATION_COPERNICUS, ELEVATION_MISSING_TILE, "lacks the tile Copernicus_DSM_COG_10_N45_00_W124_00_DEM"},
    {"no_tile_list", [](fetch_test *, elevation_progress *) {}, ELEVATION_COPERNICUS, ELEVATION_MISSING_TILE,
     "tileList.txt"},
    {"truncated_tile",
     [](fetch_test *t, elevation_progress *) {
         std::string path = t->copernicus(45, -124);
         struct stat st;
         stat(path.c_str(), &st);
         ASSERT_EQ(truncate(path.c_str(), st.st_size * 2 / 5), 0);
     },
     ELEVATION_COPERNICUS, ELEVATION_DAMAGED_TILE, "Copernicus_DSM_COG_10_N45_00_W124_00_DEM is cut short"},
    {"threedep_lacks_tile", [](fetch_test *t, elevation_progress *) { t->copernicus(45, -124); }, ELEVATION_3DEP,
     ELEVATION_NOT_COVERED, "3DEP has no tile USGS_13_n46w124"},
    {"open_sea", [](fetch_test *t, elevation_progress *) { t->copernicus(30, -100, false); }, ELEVATION_COPERNICUS,
     ELEVATION_ALL_SEA, "open sea"},
    {"cancelled",
     [](fetch_test *t, elevation_progress *p) {
         t->copernicus(45, -124);
         p->cancel = true;
     },
     ELEVATION_COPERNICUS, ELEVATION_CANCELLED, "cancelled"},
};

INSTANTIATE_TEST_SUITE_P(cases, fetch_refusal, ::testing::ValuesIn(kRefusals),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
