// What a map file says of itself and what a DEM is checked for before a
// run: each band's unit, statistics and overviews (aspect's by the nearest
// cell, the others by the mean); every file behind a DEM a regular file;
// elevations no land has refused with their count.
#include "terrain/internals.h"
#include "demFiles.h"

#include <atomic>
#include <cmath>
#include <cpl_string.h>
#include <cstdlib>
#include <fstream>
#include <gdal.h>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-mapfile-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string at(const std::string &name) const { return path + "/" + name; }
};

std::vector<float> read(GDALRasterBandH band, int w, int h) {
    std::vector<float> v(static_cast<size_t>(w) * h);
    EXPECT_EQ(GDALRasterIO(band, GF_Read, 0, 0, w, h, v.data(), w, h, GDT_Float32, 0, 0), CE_None);
    return v;
}

}  // namespace

// A map of 300 x 40 cells written as the window exports it: one overview
// level (150 x 20), each band's unit from the layout, its mean stored; an
// overview cell of aspect is one of its four cells, one of degree days their mean.
TEST(TerrainFile, BandsSayTheirUnitsAndCarryStatisticsAndOverviews) {
    temp_dir dir;
    const int w = 300, h = 40;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) z[static_cast<size_t>(r) * w + c] = static_cast<float>(300.0 + 40.0 * std::sin(c * 0.3) + 25.0 * std::cos(r * 0.45));
    z[17] = -9999.0f;
    ASSERT_TRUE(writeDemFile(dir.at("dem.tif"), w, h, z, "EPSG:32610", 10.0, 497000.0, 4900000.0));
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(dir.at("dem.tif"), 0, &dem, &refusal), TERRAIN_OK) << refusal;
    map_options options;
    options.season = {2024, 1, 6, 31, 7};
    options.shade = false;
    land_map map;
    ASSERT_EQ(computeMap(&dem, &options, nullptr, nullptr, nullptr, &map, &refusal), TERRAIN_OK) << refusal;
    closeDem(&dem);
    ASSERT_EQ(writeLandMap(&map, dir.at("map.tif"), "", nullptr, &refusal), TERRAIN_OK) << refusal;

    GDALDatasetH ds = GDALOpen(dir.at("map.tif").c_str(), GA_ReadOnly);
    ASSERT_NE(ds, nullptr);
    ASSERT_EQ(GDALGetRasterCount(ds), map.layout.count());
    for (int b = 0; b < map.layout.count(); b++) {
        GDALRasterBandH band = GDALGetRasterBand(ds, b + 1);
        EXPECT_EQ(std::string(GDALGetRasterUnitType(band)), map.layout[b].unit) << "band " << b + 1;
        EXPECT_EQ(GDALGetOverviewCount(band), 1) << "band " << b + 1;
        const char *mean = GDALGetMetadataItem(band, "STATISTICS_MEAN", nullptr);
        ASSERT_NE(mean, nullptr) << "band " << b + 1;
        double sum = 0.0;
        long n = 0;
        for (long i = 0; i < map.grid.cells(); i++)
            if (map.band(b)[i] != kMapNodata) sum += map.band(b)[i], n++;
        EXPECT_NEAR(std::atof(mean), sum / n, 1e-6 * std::fabs(sum / n) + 1e-9) << "band " << b + 1;
    }
    const int aspect = map.layout.find(map_quantity::aspect);
    const int gdd = map.layout.find(map_quantity::degree_days);
    const std::vector<float> a = read(GDALGetOverview(GDALGetRasterBand(ds, aspect + 1), 0), w / 2, h / 2);
    const std::vector<float> g = read(GDALGetOverview(GDALGetRasterBand(ds, gdd + 1), 0), w / 2, h / 2);
    GDALClose(ds);
    int not_a_cell = 0;
    int not_the_mean = 0;
    for (int r = 1; r < h / 2; r++)
        for (int c = 1; c < w / 2; c++) {
            float four[4];
            double mean = 0.0;
            for (int k = 0; k < 4; k++) {
                const size_t i = static_cast<size_t>(2 * r + k / 2) * w + 2 * c + k % 2;
                four[k] = map.band(aspect)[i];
                mean += map.band(gdd)[i] / 4.0;
            }
            const float v = a[static_cast<size_t>(r) * (w / 2) + c];
            not_a_cell += v != four[0] && v != four[1] && v != four[2] && v != four[3];
            not_the_mean += std::fabs(g[static_cast<size_t>(r) * (w / 2) + c] - mean) > 1e-3;
        }
    EXPECT_EQ(not_a_cell, 0) << "an aspect overview cell that is none of its cells";
    EXPECT_EQ(not_the_mean, 0) << "a degree-day overview cell that is not its cells' mean";
}

// Whatever stands behind a DEM, openDem looks at every file before reading
// any: a FIFO or a device is refused at once (a FIFO read would block for
// ever), nested VRTs are followed, and demFiles lists what a run reads.
TEST(TerrainDemChecks, EveryFileBehindTheDemIsARegularFile) {
    temp_dir dir;
    ASSERT_TRUE(writeDemFile(dir.at("src.tif"), 4, 3, std::vector<float>(12, 300.0f), "EPSG:32610", 30.0, 497900.0,
                             4875090.0));
    ASSERT_EQ(mkfifo(dir.at("fifo.tif").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.at("folder.tif").c_str(), 0755), 0);
    // GDAL looks for overviews and auxiliary files beside a raster.
    for (const char *name : {"beside.tif", "under.tif"})
        ASSERT_TRUE(writeDemFile(dir.at(name), 4, 3, std::vector<float>(12, 300.0f), "EPSG:32610", 30.0, 497900.0,
                                 4875090.0));
    ASSERT_EQ(mkfifo(dir.at("beside.tif.ovr").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(dir.at("under.tif.aux.xml").c_str(), 0644), 0);
    const auto vrt = [&](const std::string &name, const std::string &source) {
        std::ofstream(dir.at(name)) << "<VRTDataset rasterXSize=\"4\" rasterYSize=\"3\"><SRS>EPSG:32610</SRS>"
                                       "<GeoTransform>497900, 30, 0, 4875090, 0, -30</GeoTransform>"
                                       "<VRTRasterBand dataType=\"Float32\" band=\"1\"><SimpleSource>"
                                       "<SourceFilename relativeToVRT=\"1\">" << source << "</SourceFilename>"
                                       "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>\n";
        return dir.at(name);
    };
    const auto raw = [&](const std::string &name, const std::string &device) {
        std::ofstream(dir.at(name)) << "<VRTDataset rasterXSize=\"4\" rasterYSize=\"3\"><SRS>EPSG:32610</SRS>"
                                       "<GeoTransform>497900, 30, 0, 4875090, 0, -30</GeoTransform>"
                                       "<VRTRasterBand dataType=\"Float32\" band=\"1\" subClass=\"VRTRawRasterBand\">"
                                       "<SourceFilename relativeToVRT=\"0\">" << device << "</SourceFilename>"
                                       "<ImageOffset>0</ImageOffset><PixelOffset>4</PixelOffset>"
                                       "<LineOffset>16</LineOffset></VRTRasterBand></VRTDataset>\n";
        return dir.at(name);
    };
    const struct {
        const char *what;
        std::string path;
        int code;
        std::string says;   // the refusal, or the last file a run reads
    } cases[] = {
        {"a GeoTIFF", dir.at("src.tif"), TERRAIN_OK, "src.tif"},
        {"a VRT over it", vrt("good.vrt", "src.tif"), TERRAIN_OK, "src.tif"},
        {"a VRT over a FIFO", vrt("piped.vrt", "fifo.tif"), TERRAIN_UNREADABLE, "it reads " + dir.at("fifo.tif") + ", which is not a regular file"},
        {"a VRT over that VRT", vrt("outer.vrt", "piped.vrt"), TERRAIN_UNREADABLE, "it reads " + dir.at("fifo.tif") + ", which is not a regular file"},
        {"a FIFO beside the GeoTIFF", dir.at("beside.tif"), TERRAIN_UNREADABLE, "it reads " + dir.at("beside.tif.ovr") + " beside it, which is not a regular file"},
        {"a FIFO beside a VRT's source", vrt("over.vrt", "under.tif"), TERRAIN_UNREADABLE, "it reads " + dir.at("under.tif.aux.xml") + " beside it, which is not a regular file"},
        {"a raw VRT over a device", raw("raw.vrt", "/dev/zero"), TERRAIN_UNREADABLE, "it reads /dev/zero, which is not a regular file"},
        {"a VRT over a folder", vrt("folder.vrt", "folder.tif"), TERRAIN_UNREADABLE, "it reads " + dir.at("folder.tif") + ", which is not a regular file"},
    };
    for (const auto &c : cases) {
        dem_source dem;
        std::string refusal;
        const int code = openDem(c.path, 0, &dem, &refusal);
        EXPECT_EQ(code, c.code) << c.what << ": " << refusal;
        if (code != TERRAIN_OK) {
            EXPECT_EQ(refusal, c.says) << c.what;
            continue;
        }
        std::vector<std::string> files;
        ASSERT_EQ(demFiles(&dem, &files, &refusal), TERRAIN_OK) << c.what;
        closeDem(&dem);
        ASSERT_FALSE(files.empty()) << c.what;
        EXPECT_EQ(files.back().substr(files.back().rfind('/') + 1), c.says) << c.what;
    }
}

// Cells of elevations no land has are counted and refused, in metres
// whatever the DEM's unit; a DEM with no elevation at all is refused, infinite
// cells counting as none.
TEST(TerrainDemChecks, ElevationsNoLandHasAreRefused) {
    temp_dir dir;
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char *what;
        std::vector<float> z;   // 2 x 2 cells
        const char *unit;
        int code;
        std::string says;
    } cases[] = {
        {"hills", {120.0f, 140.0f, -500.0f, 8999.0f}, nullptr, TERRAIN_OK, ""},
        {"voids of -1e30", {-1e30f, 140.0f, 1e30f, 1e30f}, nullptr, TERRAIN_IMPLAUSIBLE,
         "3 cells have elevations no land has (below -500 m or above 9000 m), such as -1e+30 m"},
        {"one below the Dead Sea's shore", {120.0f, -500.5f, 130.0f, 140.0f}, nullptr, TERRAIN_IMPLAUSIBLE,
         "1 cell has an elevation no land has (below -500 m or above 9000 m), such as -500.5 m"},
        {"30000 feet", {1000.0f, 30000.0f, 1200.0f, 1100.0f}, "ft", TERRAIN_IMPLAUSIBLE,
         "1 cell has an elevation no land has (below -500 m or above 9000 m), such as 9144 m"},
        {"29000 feet", {1000.0f, 29000.0f, 1200.0f, 1100.0f}, "ft", TERRAIN_OK, ""},
        {"all infinite", {inf, -inf, inf, -inf}, nullptr, TERRAIN_IMPLAUSIBLE, "every cell of the DEM is nodata or infinite"},
        {"all nodata", {-9999.0f, -9999.0f, -9999.0f, -9999.0f}, nullptr, TERRAIN_IMPLAUSIBLE, "every cell of the DEM is nodata"},
        {"some infinite", {inf, 140.0f, 150.0f, -inf}, nullptr, TERRAIN_OK, ""},
    };
    for (const auto &c : cases) {
        const std::string path = dir.at(std::string(c.what) + ".tif");
        ASSERT_TRUE(writeDemFile(path, 2, 2, c.z, "EPSG:32610", 30.0, 497900.0, 4875090.0, 1, c.unit)) << c.what;
        dem_source dem;
        std::string refusal;
        ASSERT_EQ(openDem(path, 0, &dem, &refusal), TERRAIN_OK) << c.what << ": " << refusal;
        elevation_check check;
        EXPECT_EQ(checkElevations(&dem, nullptr, nullptr, &check, &refusal), c.code) << c.what << ": " << refusal;
        if (c.code != TERRAIN_OK) {
            EXPECT_EQ(refusal, c.says) << c.what;
        }
        std::atomic<bool> cancel{true};
        EXPECT_EQ(checkElevations(&dem, nullptr, &cancel, &check, &refusal), TERRAIN_CANCELLED) << c.what;
        closeDem(&dem);
    }
}

// A tile's job checks the cells it reads, not the whole DEM: its own, and
// with shading the search distance around them (the distance in cells, and
// two more).
TEST(TerrainDemChecks, ATilesJobChecksWhatItReads) {
    temp_dir dir;
    const int w = 40, h = 10;
    std::vector<float> z(static_cast<size_t>(w) * h, 300.0f);
    z[static_cast<size_t>(5) * w + 35] = -1e30f;   // column 35, row 5
    ASSERT_TRUE(writeDemFile(dir.at("dem.tif"), w, h, z, "EPSG:32610", 30.0, 497900.0, 4875090.0));
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(dir.at("dem.tif"), 0, &dem, &refusal), TERRAIN_OK) << refusal;
    const struct {
        const char *what;
        bool shade;
        double distance;       // metres, 30 m cells
        map_extent tile;
        map_window reads;
        int code;
    } cases[] = {
        {"unshaded, tile 0,0 of 10", false, 5000.0, {0, 0, 10}, {0, 0, 10, 10}, TERRAIN_OK},
        {"unshaded, tile 3,0 of 10", false, 5000.0, {3, 0, 10}, {30, 0, 10, 10}, TERRAIN_IMPLAUSIBLE},
        {"300 m around tile 1,0", true, 300.0, {1, 0, 10}, {0, 0, 32, 10}, TERRAIN_OK},
        {"330 m around tile 1,0", true, 330.0, {1, 0, 10}, {0, 0, 33, 10}, TERRAIN_OK},
        {"400 m around tile 1,0", true, 400.0, {1, 0, 10}, {0, 0, 36, 10}, TERRAIN_IMPLAUSIBLE},
        {"the whole DEM", true, 300.0, {0, 0, 0}, {0, 0, 40, 10}, TERRAIN_IMPLAUSIBLE},
    };
    for (const auto &c : cases) {
        map_options options;
        options.shade = c.shade;
        options.distance = c.distance;
        map_window reads;
        ASSERT_EQ(runWindow(&dem, &options, &c.tile, &reads, &refusal), TERRAIN_OK) << c.what;
        EXPECT_TRUE(reads.x0 == c.reads.x0 && reads.y0 == c.reads.y0 && reads.width == c.reads.width &&
                    reads.height == c.reads.height)
            << c.what << ": " << reads.x0 << "," << reads.y0 << "," << reads.width << "," << reads.height;
        elevation_check check;
        EXPECT_EQ(checkElevations(&dem, &reads, nullptr, &check, &refusal), c.code) << c.what << ": " << refusal;
    }
    closeDem(&dem);
}
