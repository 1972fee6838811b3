// veranta-map --parcel FILE --elevation SOURCE OUTPUT.tif as a grower runs
// it, against nginx on loopback serving a made-up Copernicus tile: the map
// made with the source and attribution in its metadata, the fetched DEM
// kept, the cache serving a second run with the server stopped, and no
// network with no cache refused in one line with no file.
#include "loopbackServer.h"
#include "demFiles.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef VERANTA_MAP_PROGRAM
#error "VERANTA_MAP_PROGRAM is veranta-map's path, set by the build"
#endif

namespace {

const int kCells = 1200;   // cells per degree (3″)

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-elevation-map-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// The 1° tile with south-west corner (45 N, 124 W) as Copernicus names and
// lays it out: a COG in WGS 84 of a slope rising to the north-east.
bool writeCopernicusTile(const std::string &www) {
    const std::string name = "Copernicus_DSM_COG_10_N45_00_W124_00_DEM";
    const std::string folder = www + "/copernicus/" + name;
    mkdir((www + "/copernicus").c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    std::ofstream(www + "/copernicus/tileList.txt") << name << "\n";
    std::vector<float> z(static_cast<size_t>(kCells) * kCells);
    for (int r = 0; r < kCells; r++)
        for (int c = 0; c < kCells; c++) z[static_cast<size_t>(r) * kCells + c] = 200.0f + 0.2f * c + 0.3f * (kCells - r);
    const char *const options[] = {"COMPRESS=DEFLATE", "BLOCKSIZE=256", nullptr};
    return writeCogFile(folder + "/" + name + ".tif", kCells, kCells, z, "EPSG:4326", 1.0 / kCells, -124.0, 46.0,
                        options);
}

struct run_result {
    int status = -1;
    std::string err;
};

// veranta-map with arguments, its standard error kept.
run_result runMap(const std::string &dir, const std::string &arguments) {
    const std::string err = dir + "/stderr.txt";
    run_result r;
    const int s = std::system((std::string(VERANTA_MAP_PROGRAM) + " " + arguments + " 2>'" + err + "'").c_str());
    r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    std::ifstream in(err);
    std::stringstream text;
    text << in.rdbuf();
    r.err = text.str();
    return r;
}

std::string metadata(const std::string &path, const char *key) {
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (ds == nullptr) return "(no file)";
    const char *v = GDALGetMetadataItem(ds, key, nullptr);
    const std::string s = v != nullptr ? v : "(none)";
    GDALClose(ds);
    return s;
}

std::string bytesOf(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

TEST(MapWithFetchedElevation, FetchesMapsKeepsAndRefusesWithoutNetworkOrCache) {
    GDALAllRegister();
    temp_dir dir;
    const std::string www = dir.path + "/www";
    for (const char *sub : {"/www", "/server"}) mkdir((dir.path + sub).c_str(), 0700);
    ASSERT_TRUE(writeCopernicusTile(www));
    loopback_server server{www, dir.path + "/server"};
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    setenv("VERANTA_COPERNICUS_URL", (server.url() + "/copernicus").c_str(), 1);
    setenv("VERANTA_3DEP_URL", (server.url() + "/3dep").c_str(), 1);
    setenv("VERANTA_CACHE_DIR", (dir.path + "/cache").c_str(), 1);
    std::ofstream(dir.path + "/parcel.kml")
        << "<?xml version=\"1.0\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><Placemark><name>Vines"
           "</name><Polygon><outerBoundaryIs><LinearRing><coordinates>-123.502,45.498 -123.498,45.498 "
           "-123.498,45.502 -123.502,45.502 -123.502,45.498</coordinates></LinearRing></outerBoundaryIs></Polygon>"
           "</Placemark></Document></kml>\n";
    const std::string options = "--quiet --year 2023 --from 10/6 --to 12/6 --directions 8 --distance 300 --parcel '" +
                                dir.path + "/parcel.kml' --elevation copernicus ";

    const run_result fetched =
        runMap(dir.path, options + "--keep-dem '" + dir.path + "/dem.tif' '" + dir.path + "/map.tif'");
    EXPECT_EQ(fetched.status, 0) << fetched.err;
    EXPECT_EQ(metadata(dir.path + "/map.tif", "ELEVATION_SOURCE"), "copernicus");
    EXPECT_NE(metadata(dir.path + "/map.tif", "ELEVATION_ATTRIBUTION").find("Copernicus"), std::string::npos)
        << metadata(dir.path + "/map.tif", "ELEVATION_ATTRIBUTION");
    EXPECT_EQ(metadata(dir.path + "/map.tif", "PARCEL_FILE"), "parcel.kml");
    // The DEM kept is the one mapped: the DEM_FILE the map names, byte for byte.
    const std::string cached = dir.path + "/cache/" + metadata(dir.path + "/map.tif", "DEM_FILE");
    EXPECT_TRUE(exists(cached)) << cached;
    EXPECT_EQ(bytesOf(dir.path + "/dem.tif"), bytesOf(cached)) << "the kept DEM differs from the one mapped";

    // The server gone: the cache serves the same map again.
    server.stop();
    const run_result again = runMap(dir.path, options + "'" + dir.path + "/again.tif'");
    EXPECT_EQ(again.status, 0) << again.err;
    GDALDatasetH a = GDALOpen((dir.path + "/map.tif").c_str(), GA_ReadOnly);
    GDALDatasetH b = GDALOpen((dir.path + "/again.tif").c_str(), GA_ReadOnly);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    std::vector<float> va(static_cast<size_t>(GDALGetRasterXSize(a)) * GDALGetRasterYSize(a));
    std::vector<float> vb(va.size());
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(a, 1), GF_Read, 0, 0, GDALGetRasterXSize(a), GDALGetRasterYSize(a),
                           va.data(), GDALGetRasterXSize(a), GDALGetRasterYSize(a), GDT_Float32, 0, 0),
              CE_None);
    ASSERT_EQ(GDALGetRasterXSize(b), GDALGetRasterXSize(a));
    ASSERT_EQ(GDALGetRasterYSize(b), GDALGetRasterYSize(a));
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(b, 1), GF_Read, 0, 0, GDALGetRasterXSize(b), GDALGetRasterYSize(b),
                           vb.data(), GDALGetRasterXSize(b), GDALGetRasterYSize(b), GDT_Float32, 0, 0),
              CE_None);
    GDALClose(a);
    GDALClose(b);
    EXPECT_EQ(va, vb) << "the map from the cache differs from the fetched one";

    // Neither network nor cache: one line, exit 1, no file.
    setenv("VERANTA_CACHE_DIR", (dir.path + "/empty-cache").c_str(), 1);
    const run_result refused =
        runMap(dir.path, options + "--keep-dem '" + dir.path + "/dem2.tif' '" + dir.path + "/refused.tif'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind("veranta-map: the elevation of ", 0), 0u) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_FALSE(exists(dir.path + "/refused.tif"));
    EXPECT_FALSE(exists(dir.path + "/dem2.tif"));
    unsetenv("VERANTA_COPERNICUS_URL");
    unsetenv("VERANTA_3DEP_URL");
    unsetenv("VERANTA_CACHE_DIR");
}

}  // namespace
