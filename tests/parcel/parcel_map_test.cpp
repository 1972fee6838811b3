// A parcel's map against the whole DEM's run: the blocks' cells to the bit,
// nodata outside them, the block band and counts; the block figures
// against a direct mean of the written file; and a 1° DEM mapped for a
// parcel while reading a small share of its file.
#include "parcelFixtures.h"

#include "demFiles.h"
#include "parcel/parcelMap.h"

#include <gtest/gtest.h>

#include <gdal.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

const double E = 497900.0, N = 4883100.0;   // the small DEM's upper left corner, UTM 10N
const int W = 120, H = 100;
const double kCell = 30.0;

// A hill, a ridge and a nodata hole across the second block.
std::vector<float> hills() {
    std::vector<float> z(static_cast<size_t>(W) * H);
    for (int r = 0; r < H; r++)
        for (int c = 0; c < W; c++)
            z[static_cast<size_t>(r) * W + c] =
                r == 62 && c >= 60 && c < 76
                    ? -9999.0f
                    : static_cast<float>(250.0 + 120.0 * std::exp(-((c - 60.0) * (c - 60.0) + (r - 45.0) * (r - 45.0)) / 200.0) +
                                         60.0 * std::exp(-(c - 70.0) * (c - 70.0) / 4.0) + 0.5 * r);
    return z;
}

// Two blocks, the first with a hole, the second overlapping it (its cells
// there count for the first) and crossing the nodata row.
std::string parcelJson() {
    return collectionJson(
        {featureJson(R"("name":"North")",
                     polygonJson({rectangleRing(E + 1200, N - 1500, E + 2100, N - 900),
                                  rectangleRing(E + 1500, N - 1300, E + 1700, N - 1100)})),
         featureJson(R"("name":"South slope")", polygonJson({rectangleRing(E + 1800, N - 2100, E + 2500, N - 1400)}))},
        "urn:ogc:def:crs:EPSG::32610");
}

map_options shortSeason() {
    map_options o;
    o.season = {2023, 10, 6, 12, 7};
    o.directions = 8;
    o.distance = 600.0;
    o.threads = 2;
    return o;
}

struct small_run : public ::testing::Test {
    scratch_folder dir;
    dem_source dem;
    parcel p;
    parcel_on_dem on;
    void SetUp() override {
        ASSERT_TRUE(writeDemFile(dir.path("dem.tif"), W, H, hills(), "EPSG:32610", kCell, E, N));
        std::string why;
        ASSERT_EQ(openDem(dir.path("dem.tif"), 0, &dem, &why), TERRAIN_OK) << why;
        writeText(dir.path("parcel.geojson"), parcelJson());
        ASSERT_TRUE(readParcel(dir.path("parcel.geojson"), dem.crs_wkt, &p, &why)) << why;
        ASSERT_TRUE(placeParcelOnDem(&p, &dem, &on, &why)) << why;
    }
    void TearDown() override { closeDem(&dem); }
};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every band of the parcel's map (or of a tile of it) against the whole
// run: the blocks' cells to the bit, the rest nodata, the block band the
// rasterizer's numbers, put between the season's bands and the target's;
// counted as faults, one per kind.
TEST_F(small_run, BlocksCellsEqualTheWholeRunToTheBit) {
    map_options o = shortSeason();
    o.target = 150.0;
    map_wants wants;
    wants.horizons = true;
    land_map whole;
    std::string why;
    ASSERT_EQ(computeMap(&dem, &o, nullptr, &wants, nullptr, &whole, &why), TERRAIN_OK) << why;
    const map_extent tile = {1, 0, 16, {}};
    struct case_ {
        const char *what;
        const map_extent *tile;
    } cases[] = {{"the whole extent", nullptr}, {"tile 1,0 of 16 cells", &tile}};
    for (const case_ &k : cases) {
        land_map m;
        map_control control;
        ASSERT_EQ(computeParcelMap(&dem, &o, &p, &on, k.tile, &wants, &control, &m, &why), TERRAIN_OK) << why;
        const int blocks_band = m.layout.find(map_quantity::block_number);
        ASSERT_EQ(blocks_band, band_layout(o.season).count()) << k.what << ": the block band comes after the season's";
        ASSERT_EQ(m.layout.find(map_quantity::target_day), blocks_band + 1) << k.what << ": the target's after it";
        long changed = 0, not_blank = 0, wrong_block = 0, horizons_changed = 0, with_data = 0, in_blocks = 0;
        for (int r = 0; r < m.grid.height; r++)
            for (int c = 0; c < m.grid.width; c++) {
                const size_t i = static_cast<size_t>(r) * m.grid.width + c;
                const size_t j = static_cast<size_t>(m.grid.y0 + r) * W + (m.grid.x0 + c);
                const int b = on.block_of_cell[static_cast<size_t>(m.grid.y0 - on.extent.y0 + r) * on.extent.width +
                                               (m.grid.x0 - on.extent.x0 + c)];
                wrong_block += m.band(blocks_band)[i] != static_cast<float>(b);
                in_blocks += b > 0;
                with_data += b > 0 && whole.hasData(static_cast<long>(j));
                for (int band = 0; band < whole.layout.count(); band++) {
                    const float v = m.band(band < blocks_band ? band : band + 1)[i];
                    if (b > 0) changed += !sameBits(v, whole.band(band)[j]);
                    else not_blank += v != kMapNodata;
                }
                for (int d = 0; b > 0 && d < o.directions; d++)
                    horizons_changed += !sameBits(m.horizons[static_cast<size_t>(d) * m.grid.cells() + i],
                                                  whole.horizons[static_cast<size_t>(d) * whole.grid.cells() + j]);
            }
        EXPECT_GT(in_blocks, 100) << k.what;
        EXPECT_EQ(changed, 0) << k.what << ": block cells that differ from the whole run";
        EXPECT_EQ(horizons_changed, 0) << k.what << ": block cells' horizons that differ";
        EXPECT_EQ(not_blank, 0) << k.what << ": cells outside every block with a value";
        EXPECT_EQ(wrong_block, 0) << k.what << ": cells with another block number";
        EXPECT_EQ(m.cells_with_data, with_data) << k.what << ": the count of the blocks' cells with data";
        EXPECT_EQ(control.cells_with_data.load(), with_data) << k.what << ": the control's count";
    }
}

// Reads band b (1-based) of a GeoTIFF whole.
std::vector<float> readBand(GDALDatasetH ds, int b) {
    const int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
    std::vector<float> v(static_cast<size_t>(w) * h);
    if (GDALRasterIO(GDALGetRasterBand(ds, b), GF_Read, 0, 0, w, h, v.data(), w, h, GDT_Float32, 0, 0) != CE_None)
        v.clear();
    return v;
}

// The figures against zonal statistics over the written file, as a GIS
// would take them: by the block band, over the cells with data, hectares as
// cells times 0.09 ha; and the parcel's file in the metadata.
TEST_F(small_run, BlockFiguresAreTheZonalStatisticsOfTheWrittenMap) {
    const map_options o = shortSeason();
    land_map m;
    std::string why;
    ASSERT_EQ(computeParcelMap(&dem, &o, &p, &on, nullptr, nullptr, nullptr, &m, &why), TERRAIN_OK) << why;
    std::vector<std::int32_t> blocks;
    block_map view;
    ASSERT_TRUE(blockNumbersOf(&m, &blocks, &why)) << why;
    ASSERT_TRUE(blockMapOf(&m, blocks.data(), &view, &why)) << why;
    std::vector<block_figures> figures;
    ASSERT_TRUE(blockFigures(&p, &on.placement, &view, 180.0f, &figures, &why)) << why;
    ASSERT_EQ(figures.size(), 2u);
    ASSERT_EQ(writeLandMap(&m, dir.path("map.tif"), "", nullptr, &why), TERRAIN_OK) << why;

    GDALDatasetH ds = GDALOpen(dir.path("map.tif").c_str(), GA_ReadOnly);
    ASSERT_NE(ds, nullptr);
    const char *file = GDALGetMetadataItem(ds, "PARCEL_FILE", nullptr);
    EXPECT_STREQ(file, "parcel.geojson");
    const int bands = GDALGetRasterCount(ds);
    const std::vector<float> number = readBand(ds, bands), gdd = readBand(ds, 1), irr = readBand(ds, 2),
                             shadow = readBand(ds, 5);
    EXPECT_STREQ(GDALGetDescription(GDALGetRasterBand(ds, bands)),
                 "block number (1 North, 2 South slope; 0 outside every block)");
    GDALClose(ds);
    struct zone {
        long cells = 0, with_data = 0, reaching = 0;
        double gdd = 0.0, irr = 0.0, shadow = 0.0;
    };
    std::map<int, zone> zones;
    for (size_t i = 0; i < number.size(); i++) {
        zone &z = zones[static_cast<int>(number[i])];
        z.cells++;
        if (gdd[i] == kMapNodata) continue;
        z.with_data++;
        z.reaching += gdd[i] >= 180.0f;
        z.gdd += gdd[i], z.irr += irr[i], z.shadow += shadow[i];
    }
    for (const block_figures &f : figures) {
        const zone &z = zones[f.block];
        SCOPED_TRACE(f.name);
        EXPECT_NEAR(f.hectares, z.cells * 0.09, 1e-9);
        EXPECT_NEAR(f.hectares_with_data, z.with_data * 0.09, 1e-9);
        EXPECT_NEAR(f.hectares_reaching, z.reaching * 0.09, 1e-9);
        EXPECT_NEAR(f.gdd_mean, z.gdd / z.with_data, 1e-9);
        EXPECT_NEAR(f.irradiation_mean_mj_m2, z.irr / z.with_data, 1e-9);
        EXPECT_NEAR(f.shadow_minutes_mean, z.shadow / z.with_data, 1e-9);
    }
    // The nodata row crosses the second block: some of its cells lack data.
    EXPECT_LT(zones[2].with_data, zones[2].cells);
}

// The block band names the blocks in order, on one line, and says how many
// it leaves out when they are many.
TEST(BlockNumberBand, NamesTheBlocksAndCountsThoseLeftOut) {
    struct case_ {
        int blocks;
        const char *name;
        const char *ends;
    } cases[] = {
        {2, "Row\n", "(1 Row , 2 Row ; 0 outside every block)"},
        {60, "A long block name", ", 18 A long block name and 42 blocks more; 0 outside every block)"},
    };
    for (const case_ &k : cases) {
        parcel p;
        for (int b = 0; b < k.blocks; b++) p.blocks.push_back({k.name, {}, false});
        const map_band band = blockNumberBand(&p);
        const std::string &d = band.description;
        EXPECT_EQ(band.quantity, map_quantity::block_number);
        EXPECT_EQ(d.substr(d.size() - std::min(d.size(), std::strlen(k.ends))), k.ends) << d;
        EXPECT_LT(d.size(), 480u) << d;
    }
}

// Bytes this process has read through read() and its kin so far.
long long bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

// A 1° tile of 10,812 x 10,812 cells (1/10,800°), every 256 x 256 block
// written (DEFLATE, so the file stays small), and a 20 ha parcel in its
// middle: mapped shaded within 5 km, the run reads a small share of the
// file, where reading every cell reads nearly all of it.
TEST(ParcelInLargeDem, ReadsOnlyTheExtentAndItsSurroundings) {
    scratch_folder dir;
    const std::string path = dir.path("tile.tif");
    const int n = 10812;
    const double cell = 1.0 / 10800.0;
    {
        const char *options[] = {"TILED=YES", "BLOCKXSIZE=256", "BLOCKYSIZE=256", "COMPRESS=DEFLATE", "ZLEVEL=1",
                                 nullptr};
        GDALAllRegister();
        GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), n, n, 1, GDT_Float32,
                                     const_cast<char **>(options));
        ASSERT_NE(ds, nullptr);
        double t[6] = {-123.5 - 6 * cell, cell, 0.0, 45.0 + 6 * cell, 0.0, -cell};
        GDALSetGeoTransform(ds, t);
        GDALSetProjection(ds, "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
                              "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433],AUTHORITY[\"EPSG\",\"4326\"]]");
        GDALRasterBandH band = GDALGetRasterBand(ds, 1);
        std::vector<float> block(256 * 256);
        const int blocks = (n + 255) / 256;
        for (int by = 0; by < blocks; by++)
            for (int bx = 0; bx < blocks; bx++) {
                // Different in every block, and a ripple of 1,000 cells
                // that DEFLATE keeps to a few kB a block rather than nothing.
                for (size_t i = 0; i < block.size(); i++)
                    block[i] = 300.0f + 0.5f * bx + 0.25f * by + static_cast<float>(i % 1000) * 0.001f;
                ASSERT_EQ(GDALWriteBlock(band, bx, by, block.data()), CE_None);
            }
        GDALClose(ds);
    }
    std::ifstream size_of(path, std::ios::binary | std::ios::ate);
    const double file_bytes = static_cast<double>(size_of.tellg());

    dem_source dem;
    std::string why;
    ASSERT_EQ(openDem(path, 0, &dem, &why), TERRAIN_OK) << why;
    // About 450 m square at 44.5 N, 123 W (20 ha).
    const double lon = -123.0, lat = 44.5, dlon = 0.00567, dlat = 0.00405;
    writeText(dir.path("parcel.kml"),
              kmlDocument({{"Block", kmlPolygon({{{lon, lat}, {lon + dlon, lat}, {lon + dlon, lat + dlat},
                                                  {lon, lat + dlat}, {lon, lat}}})}}));
    parcel p;
    parcel_on_dem on;
    ASSERT_TRUE(readParcel(dir.path("parcel.kml"), dem.crs_wkt, &p, &why)) << why;
    const long long before = bytesRead();
    ASSERT_TRUE(placeParcelOnDem(&p, &dem, &on, &why)) << why;
    map_options o;
    o.season = {2024, 1, 6, 2, 6};
    o.threads = 2;
    land_map m;
    ASSERT_EQ(computeParcelMap(&dem, &o, &p, &on, nullptr, nullptr, nullptr, &m, &why), TERRAIN_OK) << why;
    const double parcel_share = static_cast<double>(bytesRead() - before) / file_bytes;
    EXPECT_GT(m.cells_with_data, 2500);   // cells of about 7.4 x 10.3 m
    // The extent and 5 km around it: some 1,300 x 1,100 cells of 117 million.
    EXPECT_LT(parcel_share, 0.05) << "of the file read for the parcel";

    // The counter sees GDAL's reads: every cell read takes nearly the whole file.
    const long long start = bytesRead();
    elevation_check check;
    ASSERT_EQ(checkElevations(&dem, nullptr, nullptr, &check, &why), TERRAIN_OK) << why;
    EXPECT_GT(static_cast<double>(bytesRead() - start) / file_bytes, 0.9) << "of the file read for every cell";
    closeDem(&dem);
}

}  // namespace
