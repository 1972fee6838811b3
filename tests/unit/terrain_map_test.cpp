// The terrain core on small DEMs made here: Horn's tilt and aspect against
// gdaldem, horizons on terrain whose horizons are known by construction, the
// map's cells against the slope sweep to the bit, elevations in feet, a map
// run's progress and cancelling, and the one GeoTIFF writer fed streamed
// parts or a map in memory.
#include "terrain/mapFigures.h"
#include "terrain/internals.h"
#include "terrain/mapWriter.h"
#include "terrain/sunCache.h"
#include "demFiles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cpl_conv.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gdal.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const double kR = 6371000.0;
const double kDeg = 180.0 / 3.14159265358979323846;

std::uint32_t bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-terrain-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// A GeoTIFF of the elevations (row by row, nodata -9999) in the CRS; its path.
std::string makeDem(const std::string &path, int w, int h, const std::vector<float> &z, const char *crs, double cell,
                    double x0, double y0, const char *unit = nullptr) {
    EXPECT_TRUE(writeDemFile(path, w, h, z, crs, cell, x0, y0, 1, unit)) << path;
    return path;
}

std::vector<float> readBand(const std::string &path, int *w, int *h) {
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    EXPECT_NE(ds, nullptr) << path;
    *w = GDALGetRasterXSize(ds);
    *h = GDALGetRasterYSize(ds);
    std::vector<float> v(static_cast<size_t>(*w) * *h);
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, *w, *h, v.data(), *w, *h, GDT_Float32, 0, 0), CE_None);
    GDALClose(ds);
    return v;
}

// The terrain's tilt and aspect for the whole window.
void slopeOf(const dem_source &dem, std::vector<float> *tilt, std::vector<float> *aspect) {
    std::vector<float> z(static_cast<size_t>(dem.width) * dem.height);
    ASSERT_EQ(readDemWindow(&dem, 0, 0, dem.width, dem.height, z.data(), nullptr), TERRAIN_OK);
    std::vector<double> cw(static_cast<size_t>(dem.height));
    std::vector<double> ch(static_cast<size_t>(dem.height));
    for (int r = 0; r < dem.height; r++) cellSize(&dem, r, &cw[static_cast<size_t>(r)], &ch[static_cast<size_t>(r)]);
    tilt->resize(z.size());
    aspect->resize(z.size());
    hornSlope(z.data(), dem.width, dem.height, cw.data(), ch.data(), 0, 0, dem.width, dem.height, tilt->data(),
              aspect->data());
}

}  // namespace

// Rough ground, and smooth gentle ground (tilts of a few degrees) where the
// aspect hangs on the last bits of the sums.
TEST(TerrainSlope, HornMatchesGdaldemOnEveryCellWithEdgesAndNodata) {
    temp_dir dir;
    struct dem_case {
        const char *what;
        int w;
        int h;
        double cell;
        std::vector<float> z;
    };
    dem_case rough = {"rough", 13, 9, 30.0, std::vector<float>(13 * 9)};
    std::srand(7);
    for (float &v : rough.z) v = 200.0f + static_cast<float>(std::rand() % 4000) / 40.0f;
    for (int i : {0, 5, 27, 40, 64, 77, 103, 116}) rough.z[static_cast<size_t>(i)] = -9999.0f;  // edges, corners, inside
    for (int c = 0; c < 4; c++) rough.z[static_cast<size_t>(4 * 13 + 8 + c)] = 250.0f;           // flat in a row
    for (int r = 3; r < 6; r++)
        for (int c = 8; c < 12; c++) rough.z[static_cast<size_t>(r * 13 + c)] = 250.0f;         // a flat patch
    dem_case smooth = {"smooth and gentle", 60, 50, 10.0, std::vector<float>(60 * 50)};
    for (int r = 0; r < 50; r++)
        for (int c = 0; c < 60; c++)
            smooth.z[static_cast<size_t>(r * 60 + c)] = static_cast<float>(
                1200.0 + 0.12 * c + 0.3 * r + 2.5 * std::sin(c / 9.0) * std::cos(r / 7.0) + 0.004 * (c * c - r * r));
    for (int i : {11, 20 * 60 + 30, 35 * 60 + 44, 35 * 60 + 45, 60 * 50 - 1}) smooth.z[static_cast<size_t>(i)] = -9999.0f;
    for (const dem_case &d : {rough, smooth}) {
        const std::vector<float> &z = d.z;
        const std::string dem_path = makeDem(dir.path + "/dem.tif", d.w, d.h, z, "EPSG:32610", d.cell, 480000.0, 4900000.0);
        const std::string cmd = "gdaldem slope -q -alg Horn -compute_edges '" + dem_path + "' '" + dir.path +
                                "/s.tif' && gdaldem aspect -q -alg Horn -compute_edges '" + dem_path + "' '" + dir.path + "/a.tif'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << "gdaldem (Debian's gdal-bin) is needed";
        int gw = 0;
        int gh = 0;
        const std::vector<float> gs = readBand(dir.path + "/s.tif", &gw, &gh);
        const std::vector<float> ga = readBand(dir.path + "/a.tif", &gw, &gh);

        dem_source dem;
        std::string refusal;
        ASSERT_EQ(openDem(dem_path, 0, &dem, &refusal), TERRAIN_OK) << refusal;
        std::vector<float> tilt;
        std::vector<float> aspect;
        slopeOf(dem, &tilt, &aspect);
        closeDem(&dem);
        for (size_t i = 0; i < z.size(); i++) {
            if (z[i] == -9999.0f) {
                EXPECT_TRUE(std::isnan(tilt[i])) << d.what << " nodata cell " << i;
                continue;
            }
            EXPECT_NEAR(tilt[i], gs[i], 0.001) << d.what << " tilt of cell " << i;
            // gdaldem leaves flat ground without an aspect; ours says -1.
            EXPECT_NEAR(aspect[i], ga[i] == -9999.0f ? -1.0f : ga[i], 0.001) << d.what << " aspect of cell " << i;
        }
    }
}

// Horizons of a 40 x 30 raster of 10 m cells in 8 directions, where every
// sample lies on a cell centre, so the expected angle is exact: the largest
// of atan((dz - d^2/2R) / d) over the cells on the ray, never below 0.
TEST(TerrainHorizons, WallConeAndTroughIncludingTheRastersEdges) {
    const int w = 40;
    const int h = 30;
    const double cell = 10.0;
    auto angle = [](double dz, double d) { return std::max(0.0, std::atan(dz / d - d / (2.0 * kR)) * kDeg); };
    auto cone = [&](int c, int r) { return 500.0 - 0.8 * cell * std::hypot(c - 20.0, r - 29.0); };  // apex on the bottom row
    auto trough = [&](int c, int) { return 100.0 + 0.5 * cell * std::fabs(c - 3.0); };                // bottom near the left edge
    auto wall = [&](int c, int) { return c >= 30 ? 60.0 : 0.0; };
    const struct {
        const char *what;
        std::function<double(int, int)> z;
        int col;
        int row;
        int k;          // direction: k * 45 degrees
        double distance;
        double expected;
    } cases[] = {
        {"wall 10 cells east", wall, 20, 12, 2, 5000.0, angle(60.0, 100.0)},
        {"wall on the diagonal to the north-east", wall, 20, 15, 1, 5000.0, angle(60.0, 100.0 * std::sqrt(2.0))},
        {"wall beyond the search distance", wall, 20, 12, 2, 95.0, 0.0},
        {"back to the wall", wall, 20, 12, 6, 5000.0, 0.0},
        {"on the wall, facing the raster's edge", wall, 39, 12, 2, 5000.0, 0.0},
        {"cone, looking up to the apex from the west", cone, 5, 29, 2, 5000.0, angle(0.8 * cell, cell)},
        {"cone, north of the apex looking south to the raster's edge", cone, 20, 20, 4, 5000.0, angle(0.8 * cell, cell)},
        {"cone apex", cone, 20, 29, 0, 5000.0, 0.0},
        {"trough bottom looking east", trough, 3, 10, 2, 5000.0, angle(0.5 * cell, cell)},
        {"trough bottom looking west to the edge", trough, 3, 10, 6, 5000.0, angle(0.5 * cell, cell)},
        {"trough along its length", trough, 3, 10, 0, 5000.0, 0.0},
        {"trough flank on the left edge looking off the raster", trough, 0, 10, 6, 5000.0, 0.0},
        {"trough flank on the left edge looking across to the right edge", trough, 0, 10, 2, 5000.0, angle(165.0, 390.0)},
        {"trough corner cell looking south-east to the bottom row", trough, 0, 0, 3, 5000.0,
         angle(5.0 * 26 - 15.0, 29 * cell * std::sqrt(2.0))},
    };
    for (const auto &c : cases) {
        std::vector<float> z(static_cast<size_t>(w) * h);
        for (int r = 0; r < h; r++)
            for (int col = 0; col < w; col++) z[static_cast<size_t>(r * w + col)] = static_cast<float>(c.z(col, r));
        const horizon_grid grid = {z.data(), w, h, 0, 0, cell, cell};
        std::vector<float> angles(static_cast<size_t>(w) * h * 8);
        ASSERT_EQ(terrainHorizons(&grid, 8, c.distance, 0, 0, w, h, angles.data(), 2, nullptr), TERRAIN_OK);
        EXPECT_NEAR(angles[static_cast<size_t>(c.row * w + c.col) * 8 + c.k], c.expected, 1e-4) << c.what;

        // A window of the cell alone, with the raster around it as far as the
        // distance reaches, gives the same angle to the bit.
        const int x0 = std::max(0, c.col - 12);
        const int y0 = std::max(0, c.row - 12);
        const int x1 = std::min(w, c.col + 13);
        const int y1 = std::min(h, c.row + 13);
        std::vector<float> part;
        for (int r = y0; r < y1; r++)
            for (int col = x0; col < x1; col++) part.push_back(z[static_cast<size_t>(r * w + col)]);
        const horizon_grid window = {part.data(), x1 - x0, y1 - y0, x0, y0, cell, cell};
        float one[8];
        ASSERT_EQ(terrainHorizons(&window, 8, std::min(c.distance, 100.0), c.col - x0, c.row - y0, 1, 1, one, 1, nullptr),
                  TERRAIN_OK);
        std::vector<float> whole(static_cast<size_t>(w) * h * 8);
        ASSERT_EQ(terrainHorizons(&grid, 8, std::min(c.distance, 100.0), 0, 0, w, h, whole.data(), 1, nullptr), TERRAIN_OK);
        for (int k = 0; k < 8; k++)
            EXPECT_EQ(bits(one[k]), bits(whole[static_cast<size_t>(c.row * w + c.col) * 8 + k])) << c.what << " window, direction " << k;
    }
}

// Kilometres out the earth's curvature decides the horizon: each point d
// ahead is d^2 / 2R lower. A plain with ridges 3.75 to 7.5 km away, every
// sample on a cell centre, so the angle is exact: the highest of
// atan(H / d - d / 2R). Two ridges whose heights make the nearer one the
// horizon only once the earth curves in full (half the curvature would pick
// the farther one) lie in the same stretch of the far field, so that one
// convex hull must choose between them.
TEST(TerrainHorizons, TheEarthsCurvatureOverKilometres) {
    const int w = 200;
    const int h = 5;
    const double cell = 50.0;
    auto analytic = [](const std::vector<std::pair<double, double>> &ridges) {   // (distance, height)
        double best = 0.0;
        for (const auto &r : ridges) best = std::max(best, std::atan(r.second / r.first - r.first / (2.0 * kR)) * kDeg);
        return best;
    };
    // Seen from column 0 the nearer ridge's tangent beats the farther one's
    // by a quarter of the curvature's share between them, and loses by as
    // much with half of it.
    const double near_height = 200.0;
    const double far_height = 7500.0 * (near_height / 4000.0 + 0.75 * (7500.0 - 4000.0) / (2.0 * kR));
    const struct {
        const char *what;
        std::vector<std::pair<int, double>> ridges;   // (column, height)
        int observer;
    } cases[] = {
        {"one ridge 6 km east", {{120, 60.0}}, 0},
        {"one ridge 4.5 km east, seen from another column", {{120, 60.0}}, 30},
        {"two ridges, 4 and 7.5 km east", {{80, near_height}, {150, far_height}}, 0},
        {"two ridges, 3.75 and 7.25 km east", {{80, near_height}, {150, far_height}}, 5},
    };
    for (const auto &c : cases) {
        std::vector<float> z(static_cast<size_t>(w) * h, 0.0f);
        std::vector<std::pair<double, double>> seen;
        for (const auto &r : c.ridges) {
            for (int row = 0; row < h; row++) z[static_cast<size_t>(row * w + r.first)] = static_cast<float>(r.second);
            seen.push_back({(r.first - c.observer) * cell, static_cast<float>(r.second)});
        }
        const horizon_grid grid = {z.data(), w, h, 0, 0, cell, cell};
        std::vector<float> angles(static_cast<size_t>(w) * h * 8);
        ASSERT_EQ(terrainHorizons(&grid, 8, 9000.0, 0, 0, w, h, angles.data(), 2, nullptr), TERRAIN_OK);
        EXPECT_NEAR(angles[static_cast<size_t>(2 * w + c.observer) * 8 + 2], analytic(seen), 1e-5) << c.what;
    }
}

// Seen from the cell's centre: on a smooth hill, at 32 directions (most
// oblique to the cells, whose centres the sweep's lines miss by up to half a
// cell), every angle within kTolerance of a fine ray march from the centre
// over the same terrain between cells (bilinear; at the raster's border the
// edge cell reaches half a cell out), from the first row or column of
// centres it crosses (before it lies the cell's own slope) to the last
// within the distance. Lines through the cells gave up to 17 degrees too
// much here; what stays is sampling only where the ray crosses a row or a
// column of centres (0.18 degrees).
TEST(TerrainHorizons, SeenFromTheCellCentreAsAFineRayMarchSees) {
    const double kTolerance = 0.25;
    const struct {
        const char *what;
        double cell_width;
        double cell_height;
        double distance;
    } cases[] = {
        {"square cells, near and far", 10.0, 10.0, 600.0},
        {"oblong cells, near and far", 10.0, 14.0, 700.0},
        {"square cells, near only", 10.0, 10.0, 150.0},
    };
    const int w = 90;
    const int h = 70;
    for (const auto &c : cases) {
        std::vector<float> z(static_cast<size_t>(w) * h);
        for (int r = 0; r < h; r++)
            for (int col = 0; col < w; col++) {
                // Decayed at the raster's edges, where the fine march also
                // sees the edge cells' half a cell beyond their centres.
                const double x = (col - 45.0) * c.cell_width;
                const double y = (r - 35.0) * c.cell_height;
                const double x2 = (col - 65.0) * c.cell_width;
                const double y2 = (r - 50.0) * c.cell_height;
                z[static_cast<size_t>(r * w + col)] =
                    static_cast<float>(300.0 + 70.0 * std::exp(-(x * x + y * y) / (2.0 * 80.0 * 80.0)) +
                                       20.0 * std::exp(-(x2 * x2 + y2 * y2) / (2.0 * 60.0 * 60.0)));
            }
        // Bilinear between the cells; none outside the raster.
        auto at = [&](double col, double row, double *v) {
            if (col < -0.5 || row < -0.5 || col > w - 0.5 || row > h - 0.5) return false;
            col = std::min(std::max(col, 0.0), w - 1.0);
            row = std::min(std::max(row, 0.0), h - 1.0);
            const int c0 = std::min(static_cast<int>(col), w - 2);
            const int r0 = std::min(static_cast<int>(row), h - 2);
            const double fx = col - c0;
            const double fy = row - r0;
            auto zz = [&](int cc, int rr) { return static_cast<double>(z[static_cast<size_t>(rr * w + cc)]); };
            *v = (1 - fy) * ((1 - fx) * zz(c0, r0) + fx * zz(c0 + 1, r0)) + fy * ((1 - fx) * zz(c0, r0 + 1) + fx * zz(c0 + 1, r0 + 1));
            return true;
        };
        const int directions = 32;
        const horizon_grid grid = {z.data(), w, h, 0, 0, c.cell_width, c.cell_height};
        std::vector<float> angles(static_cast<size_t>(w) * h * directions);
        ASSERT_EQ(terrainHorizons(&grid, directions, c.distance, 0, 0, w, h, angles.data(), 2, nullptr), TERRAIN_OK);
        double worst = 0.0;
        std::string where;
        for (int r = 0; r < h; r += (r == 0 || r >= h - 3 ? 1 : 3)) {
            for (int col = 0; col < w; col += (col == 0 || col >= w - 3 ? 1 : 3)) {
                const double zo = z[static_cast<size_t>(r * w + col)];
                for (int k = 0; k < directions; k++) {
                    const double az = 2.0 * 3.14159265358979323846 * k / directions;
                    const double first = std::min(c.cell_width / std::fabs(std::sin(az)), c.cell_height / std::fabs(std::cos(az)));
                    double top = 0.0;
                    const double last = std::floor(c.distance / first) * first;
                    for (double d = first; d <= last; d += 0.5) {
                        double v;
                        if (at(col + d * std::sin(az) / c.cell_width, r - d * std::cos(az) / c.cell_height, &v))
                            top = std::max(top, (v - zo) / d - d / (2.0 * kR));
                    }
                    const double error = std::fabs(angles[static_cast<size_t>(r * w + col) * directions + k] - std::atan(top) * kDeg);
                    if (error > worst) {
                        worst = error;
                        where = "cell " + std::to_string(col) + "," + std::to_string(r) + " direction " + std::to_string(k);
                    }
                }
            }
        }
        EXPECT_LE(worst, kTolerance) << c.what << ", worst at " << where;
    }
}

// A few cells of a whole map, in a projected and a geographic DEM, against
// sweepSeason for the block point, the cell's elevation and its slope as
// written; shading never adds energy and leaves open cells as they were.
TEST(TerrainMap, CellsAreTheSlopeSweepsToTheBitAndShadingOnlyTakes) {
    temp_dir dir;
    const int w = 24;
    const int h = 20;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            z[static_cast<size_t>(r * w + c)] = static_cast<float>(200.0 + 150.0 * std::exp(-((c - 12) * (c - 12) + (r - 10) * (r - 10)) / 20.0) + 3.0 * c);
    z[5] = -9999.0f;
    const struct {
        const char *what;
        std::string path;
    } dems[] = {
        {"UTM, across two sun blocks", makeDem(dir.path + "/utm.tif", w, h, z, "EPSG:32610", 30.0, 497500.0, 4875100.0)},
        {"degrees", makeDem(dir.path + "/geo.tif", w, h, z, "EPSG:4326", 0.0003, -123.03, 44.03)},
    };
    for (const auto &d : dems) {
        dem_source dem;
        std::string refusal;
        ASSERT_EQ(openDem(d.path, 0, &dem, &refusal), TERRAIN_OK) << refusal;
        map_options options;
        options.season = {2024, 20, 5, 3, 7};
        options.distance = 400.0;
        options.directions = 16;
        land_map open;
        land_map shaded;
        options.shade = false;
        ASSERT_EQ(computeMap(&dem, &options, nullptr, nullptr, nullptr, &open, &refusal), TERRAIN_OK) << refusal;
        EXPECT_TRUE(open.horizons.empty()) << d.what << ": horizons kept unasked";
        options.shade = true;
        options.threads = 2;
        map_wants horizons;
        horizons.horizons = true;
        ASSERT_EQ(computeMap(&dem, &options, nullptr, &horizons, nullptr, &shaded, &refusal), TERRAIN_OK) << refusal;
        const size_t cells = static_cast<size_t>(w) * h;
        std::vector<double> lat(cells);
        std::vector<double> lon(cells);
        ASSERT_EQ(cellLatLon(&dem, 0, 0, w, h, lat.data(), lon.data(), nullptr), TERRAIN_OK);
        closeDem(&dem);
        EXPECT_EQ(open.values[5], kMapNodata) << d.what;
        std::vector<float> blocks;
        for (size_t i : {0UL, 23UL, 137UL, 250UL, 251UL, cells - 1}) {
            site_location site;
            blockPoint(lat[i], lon[i], &site.latitude, &site.longitude);
            site.elevation = z[i];
            const slope sl = {open.values[3 * cells + i], open.values[2 * cells + i]};
            slope_season expected;
            ASSERT_EQ(sweepSeason(&site, &options.season, &sl, 1, &expected), 0);
            EXPECT_EQ(bits(open.values[0 * cells + i]), bits(expected.season_degree_days)) << d.what << " cell " << i;
            EXPECT_EQ(bits(open.values[1 * cells + i]), bits(expected.season_irradiation)) << d.what << " cell " << i;
            for (int m = 5; m <= 7; m++) {
                const size_t b = 5 + 2 * static_cast<size_t>(m - 5);
                EXPECT_EQ(bits(open.values[b * cells + i]), bits(expected.month_irradiation[m - 1])) << d.what << " month " << m;
                EXPECT_EQ(bits(open.values[(b + 1) * cells + i]), bits(expected.month_degree_days[m - 1])) << d.what << " month " << m;
            }
            blocks.push_back(site.longitude);
        }
        EXPECT_NE(blocks.front(), blocks.back()) << d.what << ": the cells should span two sun blocks";
        for (size_t i = 0; i < cells; i++) {
            if (open.values[i] == kMapNodata) continue;
            EXPECT_LE(shaded.values[cells + i], open.values[cells + i]) << d.what << " cell " << i;
            bool sky = true;
            for (int k = 0; k < options.directions; k++) sky = sky && shaded.horizons[k * cells + i] == 0.0f;
            if (sky) {
                EXPECT_EQ(bits(shaded.values[cells + i]), bits(open.values[cells + i])) << d.what << " open cell " << i;
            }
        }
    }
}

// Coarse cells spanning many more sun blocks than may be alive at once (each
// is megabytes): the part keeps at most kMapSuns of them, and a cell of its
// last batch has the bits it has computed alone.
TEST(TerrainMap, CoarseCellsKeepFewSunsAliveAndTheSameBits) {
    temp_dir dir;
    const int w = 12;
    const int h = 12;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < z.size(); i++) z[i] = 300.0f + 40.0f * static_cast<float>(i % 7) + 25.0f * static_cast<float>(i / 12);
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(makeDem(dir.path + "/coarse.tif", w, h, z, "EPSG:32610", 3000.0, 460000.0, 4950000.0), 0, &dem,
                      &refusal), TERRAIN_OK) << refusal;
    map_options options;
    options.season = {2024, 1, 6, 1, 7};
    options.shade = false;
    options.threads = 2;
    sun_cache *cache = newSunCache(&options.season);
    land_map whole;
    newLandMap(&dem, &options, {0, 0, w, h}, nullptr, &whole);
    ASSERT_EQ(computeMapPart(&dem, {0, 0, w, h}, cache, nullptr, &whole, &refusal), TERRAIN_OK) << refusal;
    EXPECT_LE(cache->entries.size(), kMapSuns);
    EXPECT_GE(cache->stamp, 2) << "the cells should span more than one batch of blocks";
    freeSunCache(cache);
    for (int i : {0, w * h - 1}) {
        land_map one;
        newLandMap(&dem, &options, {i % w, i / w, 1, 1}, nullptr, &one);
        ASSERT_EQ(computeMapPart(&dem, {i % w, i / w, 1, 1}, nullptr, nullptr, &one, &refusal), TERRAIN_OK);
        for (int b = 0; b < whole.layout.count(); b++)
            EXPECT_EQ(bits(one.values[static_cast<size_t>(b)]), bits(whole.values[static_cast<size_t>(b * w * h + i)]))
                << "cell " << i << " band " << b;
    }
    closeDem(&dem);
}

// Elevations in feet, by the band's unit or the CRS's vertical axis, come out
// in metres: the same tilt as the metre DEM, and the same range.
TEST(TerrainDem, FeetBecomeMetresAndRefusalsSayWhy) {
    temp_dir dir;
    const int w = 6;
    const int h = 5;
    std::vector<float> metres(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < metres.size(); i++) metres[i] = 100.0f + 7.0f * static_cast<float>(i % w) + 3.0f * static_cast<float>(i / w);
    std::vector<float> feet(metres.size());
    std::vector<float> us_feet(metres.size());
    for (size_t i = 0; i < metres.size(); i++) {
        feet[i] = static_cast<float>(metres[i] / 0.3048);
        us_feet[i] = static_cast<float>(metres[i] * 3937.0 / 1200.0);
    }
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(makeDem(dir.path + "/m.tif", w, h, metres, "EPSG:32610", 30.0, 480000.0, 4900000.0), 0, &dem, &refusal), TERRAIN_OK);
    std::vector<float> tilt_m;
    std::vector<float> aspect_m;
    slopeOf(dem, &tilt_m, &aspect_m);
    closeDem(&dem);
    const struct {
        const char *what;
        std::string path;
    } feet_dems[] = {
        {"band unit ft", makeDem(dir.path + "/ft.tif", w, h, feet, "EPSG:32610", 30.0, 480000.0, 4900000.0, "ft")},
        {"vertical CRS in US feet", makeDem(dir.path + "/usft.tif", w, h, us_feet, "EPSG:32610+6360", 30.0, 480000.0, 4900000.0)},
    };
    for (const auto &f : feet_dems) {
        ASSERT_EQ(openDem(f.path, 0, &dem, &refusal), TERRAIN_OK) << f.what << ": " << refusal;
        std::vector<float> tilt;
        std::vector<float> aspect;
        slopeOf(dem, &tilt, &aspect);
        elevation_check check;
        EXPECT_EQ(checkElevations(&dem, nullptr, nullptr, &check, &refusal), TERRAIN_OK) << f.what << ": " << refusal;
        closeDem(&dem);
        EXPECT_NEAR(check.lowest, 100.0, 1e-3) << f.what;
        EXPECT_NEAR(check.highest, 100.0 + 7 * 5 + 3 * 4, 1e-3) << f.what;
        for (size_t i = 0; i < tilt.size(); i++) EXPECT_NEAR(tilt[i], tilt_m[i], 1e-3) << f.what << " cell " << i;
    }

    GDALDatasetH three = GDALCreate(GDALGetDriverByName("GTiff"), (dir.path + "/three.tif").c_str(), 4, 4, 3, GDT_Float32, nullptr);
    GDALClose(three);
    const struct {
        const char *what;
        std::string path;
        int band;
        int code;
        const char *sentence;
    } refused[] = {
        {"missing file", dir.path + "/none.tif", 0, TERRAIN_UNREADABLE, "it cannot be read (No such file or directory)"},
        {"a folder", dir.path, 0, TERRAIN_UNREADABLE, "it is not a regular file"},
        {"no CRS", makeDem(dir.path + "/nocrs.tif", w, h, metres, nullptr, 30.0, 0.0, 0.0), 0, TERRAIN_NO_CRS,
         "it has no coordinate reference system"},
        {"three bands, none chosen", dir.path + "/three.tif", 0, TERRAIN_CHOOSE_BAND, "it has 3 bands and none was chosen"},
        {"band 4 of three", dir.path + "/three.tif", 4, TERRAIN_NO_SUCH_BAND, "it has no band 4 (it has 3)"},
    };
    for (const auto &r : refused) {
        EXPECT_EQ(openDem(r.path, r.band, &dem, &refusal), r.code) << r.what;
        EXPECT_EQ(refusal, r.sentence) << r.what;
        EXPECT_EQ(dem.dataset, nullptr) << r.what;
    }
}

// A map run's progress reaches the land's cells; one cancelled from another
// thread after some progress stops short and hands back no map.
TEST(TerrainMap, ProgressReachesEveryCellAndACancelledRunGivesNoMap) {
    temp_dir dir;
    const int n = 160;   // several runs of cells, so a cancel lands between them
    std::vector<float> z(static_cast<size_t>(n) * n);
    for (size_t i = 0; i < z.size(); i++) z[i] = static_cast<float>(300.0 + 2.0 * (i % n) + 40.0 * std::sin(i / n * 0.1));
    dem_source dem;
    ASSERT_EQ(openDem(makeDem(dir.path + "/dem.tif", n, n, z, "EPSG:32610", 10.0, 476000.0, 4928000.0), 0, &dem, nullptr),
              TERRAIN_OK);
    map_options options;
    options.season = {2024, 16, 6, 15, 7};
    options.shade = false;
    options.threads = 2;
    for (bool cancel : {false, true}) {
        map_control control;
        std::atomic<bool> over{false};
        std::thread watcher([&] {
            while (!over.load()) {
                if (cancel && control.cells_done.load() > 0) control.cancel.store(true);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        land_map map;
        const int code = computeMap(&dem, &options, nullptr, nullptr, &control, &map, nullptr);
        over.store(true);
        watcher.join();
        const long done = control.cells_done.load();
        EXPECT_EQ(control.cells_total.load(), static_cast<long>(n) * n);
        if (cancel) {
            EXPECT_EQ(code, TERRAIN_CANCELLED);
            EXPECT_TRUE(done > 0 && done < control.cells_total.load()) << done;
            EXPECT_TRUE(map.values.empty() && map.grid.width == 0);
        } else {
            EXPECT_EQ(code, TERRAIN_OK);
            EXPECT_EQ(done, control.cells_total.load());
        }
    }
    closeDem(&dem);
}

// A map in memory written by writeLandMap, or fed to the writer in parts
// taken out of the middle of its bands (the last part first), is the file the
// streamed run writes: a tile of a shaded run with its horizons.
TEST(TerrainWrite, AMapInMemoryWritesTheFileTheStreamedRunWrites) {
    temp_dir dir;
    const int w = 30;
    const int h = 22;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < z.size(); i++) z[i] = static_cast<float>(200.0 + 4.0 * (i / w) + 60.0 * std::sin(i % w * 0.4));
    z[40] = -9999.0f;
    dem_source dem;
    ASSERT_EQ(openDem(makeDem(dir.path + "/dem.tif", w, h, z, "EPSG:32610", 30.0, 497500.0, 4875100.0), 0, &dem, nullptr),
              TERRAIN_OK);
    map_options options;
    options.season = {2024, 20, 5, 3, 7};
    options.directions = 8;
    options.distance = 300.0;
    const map_extent tile = {1, 1, 16};
    const std::string streamed = dir.path + "/streamed.tif", memory = dir.path + "/memory.tif", parts = dir.path + "/parts.tif";
    ASSERT_EQ(writeMap(&dem, &options, &tile, streamed, streamed + ".hz", nullptr, nullptr), TERRAIN_OK);
    land_map map;
    map_wants horizons;
    horizons.horizons = true;
    const map_window window = {16, 16, 14, 6};
    ASSERT_EQ(computeMap(&dem, &options, &window, &horizons, nullptr, &map, nullptr), TERRAIN_OK);
    closeDem(&dem);
    ASSERT_EQ(writeLandMap(&map, memory, memory + ".hz", nullptr, nullptr), TERRAIN_OK);
    map_writer writer;
    ASSERT_EQ(beginMapWriter(&writer, &map.grid, &map.layout, &options, parts, parts + ".hz", nullptr), TERRAIN_OK);
    for (int q = 3; q >= 0; q--)
        ASSERT_EQ(writeMapPart(&writer, &map, {q % 2 == 0 ? 16 : 23, q < 2 ? 16 : 19, 7, 3}, nullptr), TERRAIN_OK) << q;
    ASSERT_EQ(commitMapWriter(&writer, map.cells_with_data, map.cells_outside, nullptr), TERRAIN_OK);
    abandonMapWriter(&writer);

    const std::string expected = mapFileText(streamed);
    ASSERT_NE(expected.find("SEASON=20/5 to 3/7"), std::string::npos);
    for (const std::string &file : {memory, parts}) {
        EXPECT_TRUE(mapFileText(file) == expected) << file;
        EXPECT_TRUE(mapFileText(file + ".hz") == mapFileText(streamed + ".hz")) << file;
    }
}

// Kept or not, a shaded map's horizons are the ones its cells were shaded
// by: the bands are the same to the bit, and the kept angles are
// terrainHorizons' own, nodata where the cell has no elevation. Parts are
// sized by their horizons and surroundings, not by a fixed count of cells.
TEST(TerrainMap, HorizonsKeptInPlaceAreTheOnesTheCellsUse) {
    temp_dir dir;
    const int w = 21;
    const int h = 14;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < z.size(); i++) z[i] = static_cast<float>(250.0 + 3.0 * (i / w) + 50.0 * std::sin(i % w * 0.5));
    z[30] = -9999.0f;
    dem_source dem;
    ASSERT_EQ(openDem(makeDem(dir.path + "/dem.tif", w, h, z, "EPSG:32610", 30.0, 497500.0, 4875100.0), 0, &dem, nullptr),
              TERRAIN_OK);
    map_options options;
    options.season = {2024, 1, 6, 30, 6};
    options.directions = 12;
    options.distance = 400.0;
    map_wants keep;
    keep.horizons = true;
    land_map kept;
    land_map bare;
    const map_window window = {3, 1, 15, 12};
    ASSERT_EQ(computeMap(&dem, &options, &window, &keep, nullptr, &kept, nullptr), TERRAIN_OK);
    ASSERT_EQ(computeMap(&dem, &options, &window, nullptr, nullptr, &bare, nullptr), TERRAIN_OK);
    EXPECT_EQ(std::memcmp(kept.values.data(), bare.values.data(), bare.values.size() * sizeof(float)), 0);

    std::vector<float> zm(z.size());
    ASSERT_EQ(readDemWindow(&dem, 0, 0, w, h, zm.data(), nullptr), TERRAIN_OK);
    double sx = 0.0;
    double sy = 0.0;
    cellSize(&dem, h / 2, &sx, &sy);
    const horizon_grid grid = {zm.data(), w, h, 0, 0, sx, sy};
    std::vector<float> angles(static_cast<size_t>(window.width) * window.height * options.directions);
    ASSERT_EQ(terrainHorizons(&grid, options.directions, options.distance, window.x0, window.y0, window.width,
                              window.height, angles.data(), 1, nullptr),
              TERRAIN_OK);
    const size_t cells = static_cast<size_t>(kept.grid.cells());
    for (size_t i = 0; i < cells; i++) {
        const size_t dem_cell = (i / window.width + window.y0) * w + i % window.width + window.x0;
        for (int k = 0; k < options.directions; k++) {
            const float expected = z[dem_cell] == -9999.0f ? kMapNodata : angles[i * options.directions + k];
            ASSERT_EQ(bits(kept.horizons[k * cells + i]), bits(expected)) << "cell " << i << " direction " << k;
        }
    }

    // A season's default shading keeps whole parts; 360 directions over
    // 50 km make them smaller, their horizons and surroundings within bounds.
    closeDem(&dem);
    dem_source large;   // the grid alone decides: 5,000 x 5,000 cells of 30 m
    large.width = large.height = 5000;
    const double t[6] = {400000.0, 30.0, 0.0, 4875100.0, 0.0, -30.0};
    std::copy_n(t, 6, large.transform);
    map_options wide;
    EXPECT_EQ(mapPartSide(&large, &wide, true), kMapPart);
    EXPECT_EQ(mapPartSide(&large, &wide, false), kMapPart);
    wide.directions = 360;
    wide.distance = 50000.0;
    const int side = mapPartSide(&large, &wide, true);
    const double around = std::pow(side + 2.0 * (std::ceil(50000.0 / 30.0) + 2.0), 2.0);
    EXPECT_LE(4.0 * 360 * side * side + 4.0 * around, kMapPartBytes) << side;
    EXPECT_GE(side, 512);
    EXPECT_EQ(mapPartSide(&large, &wide, false), kMapPart);
}
