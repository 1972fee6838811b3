// The one land map: its band layout (the only place that knows which band
// holds what), and a map of a window of a DEM, which must be the whole
// map's cells there to the bit and know where it lies.
#include "terrain/internals.h"
#include "terrain/sunCache.h"
#include "demFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::uint32_t bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

std::uint64_t bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

struct temp_dir {
    std::string path;
    temp_dir() {
        char name[] = "/tmp/veranta-landmap-XXXXXX";
        path = mkdtemp(name);
    }
    ~temp_dir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

}  // namespace

// Today's order, descriptions (as GIS programs show them) and units; a
// band appended later moves none of them.
TEST(BandLayout, TodaysBandsInOrderWithDescriptionsAndUnits) {
    const band_layout layout(season_range{2024, 20, 11, 3, 12});
    const struct {
        int band;
        map_quantity quantity;
        int month;
        const char *description;
        const char *unit;
    } bands[] = {
        {0, map_quantity::degree_days, 0, "season degree days (degC above 10 degC, estimated average season)",
         "degC degree days"},
        {1, map_quantity::irradiation, 0, "season irradiation (MJ/m2, clear-sky direct beam)", "MJ/m2"},
        {2, map_quantity::tilt, 0, "tilt (degrees)", "degree"},
        {3, map_quantity::aspect, 0, "aspect (degrees clockwise from north, -1 flat)", "degree"},
        {4, map_quantity::shadow_minutes, 0, "minutes of the season in terrain shadow", "minute"},
        {5, map_quantity::irradiation, 11, "November irradiation (MJ/m2, clear-sky direct beam)", "MJ/m2"},
        {6, map_quantity::degree_days, 11, "November degree days (degC above 10 degC, estimated average season)", "degC degree days"},
        {7, map_quantity::irradiation, 12, "December irradiation (MJ/m2, clear-sky direct beam)", "MJ/m2"},
        {8, map_quantity::degree_days, 12, "December degree days (degC above 10 degC, estimated average season)", "degC degree days"},
    };
    ASSERT_EQ(layout.count(), 9);
    for (const auto &b : bands) {
        SCOPED_TRACE(b.description);
        EXPECT_EQ(layout.find(b.quantity, b.month), b.band);
        EXPECT_EQ(layout[b.band].description, b.description);
        EXPECT_EQ(layout[b.band].unit, b.unit);
    }
    EXPECT_EQ(layout.find(map_quantity::irradiation, 10), -1) << "a month outside the season has no band";

    band_layout longer = layout;
    const int added = longer.append({map_quantity::degree_days, 13, "a later band", "degC degree days"});
    EXPECT_EQ(added, 9);
    for (const auto &b : bands) EXPECT_EQ(longer.find(b.quantity, b.month), b.band) << b.description;
}

// A map of a window of the DEM, computed whole or in parts placed into one
// map, is the whole raster's map there to the bit: every band, elevation,
// position and edge month, and the counts; its grid is the window's.
TEST(LandMap, AWindowIsTheWholeMapThereAndKnowsWhereItLies) {
    temp_dir dir;
    const int w = 26;
    const int h = 21;
    std::vector<float> z(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            z[static_cast<size_t>(r * w + c)] =
                static_cast<float>(250.0 + 5.0 * r + 40.0 * std::sin(c * 0.35) * std::cos(r * 0.27));
    z[static_cast<size_t>(9 * w + 12)] = -9999.0f;   // inside the window
    const std::string path = dir.path + "/geo.tif";
    // Degrees: the row areas differ from row to row.
    ASSERT_TRUE(writeDemFile(path, w, h, z, "EPSG:4326", 0.0004, -123.1, 44.6));
    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(path, 0, &dem, &refusal), TERRAIN_OK) << refusal;
    map_options options;
    options.season = {2024, 10, 5, 20, 7};
    options.directions = 8;
    options.distance = 200.0;
    options.threads = 2;
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = wants.horizons = true;
    land_map whole;
    ASSERT_EQ(computeMap(&dem, &options, nullptr, &wants, nullptr, &whole, &refusal), TERRAIN_OK) << refusal;
    const map_window window = {7, 5, 11, 9};
    land_map part;
    ASSERT_EQ(computeMap(&dem, &options, &window, &wants, nullptr, &part, &refusal), TERRAIN_OK) << refusal;
    // The same window in four parts placed into one map.
    land_map pieces;
    newLandMap(&dem, &options, window, &wants, &pieces);
    sun_cache *cache = newSunCache(&options.season);
    for (const map_window &p : {map_window{7, 5, 6, 4}, map_window{13, 5, 5, 4}, map_window{7, 9, 6, 5},
                                map_window{13, 9, 5, 5}})
        ASSERT_EQ(computeMapPart(&dem, p, cache, nullptr, &pieces, &refusal), TERRAIN_OK) << refusal;
    freeSunCache(cache);
    const double *t = dem.transform;
    const double origin_x = t[0] + window.x0 * t[1];
    const double origin_y = t[3] + window.y0 * t[5];
    std::vector<double> row_width(static_cast<size_t>(h));
    std::vector<double> row_height(static_cast<size_t>(h));
    for (int r = 0; r < h; r++) cellSize(&dem, r, &row_width[static_cast<size_t>(r)], &row_height[static_cast<size_t>(r)]);
    closeDem(&dem);

    const size_t wc = static_cast<size_t>(whole.grid.cells());
    const size_t pc = static_cast<size_t>(window.width) * window.height;
    for (const land_map *m : {&part, &pieces}) {
        SCOPED_TRACE(m == &part ? "one window" : "four parts");
        const land_grid &g = m->grid;
        ASSERT_EQ(g.width, window.width);
        ASSERT_EQ(g.height, window.height);
        EXPECT_EQ(g.x0, window.x0);
        EXPECT_EQ(g.y0, window.y0);
        EXPECT_EQ(bits(g.transform[0]), bits(origin_x));
        EXPECT_EQ(bits(g.transform[3]), bits(origin_y));
        EXPECT_EQ(bits(g.transform[1]), bits(t[1]));
        EXPECT_EQ(bits(g.transform[5]), bits(t[5]));
        EXPECT_EQ(g.cell_width, row_width[static_cast<size_t>(window.y0 + window.height / 2)]);
        for (int r = 0; r < g.height; r++)
            EXPECT_EQ(g.row_area[static_cast<size_t>(r)],
                      row_width[static_cast<size_t>(window.y0 + r)] * row_height[static_cast<size_t>(window.y0 + r)]);
        int differ = 0;
        long with_data = 0;
        for (size_t i = 0; i < pc; i++) {
            const size_t j = (i / window.width + window.y0) * static_cast<size_t>(w) + i % window.width + window.x0;
            for (int b = 0; b < m->layout.count(); b++)
                differ += bits(m->band(b)[i]) != bits(whole.band(b)[j]);
            for (int k = 0; k < 2; k++) differ += bits(m->whole_edge_months[k * pc + i]) != bits(whole.whole_edge_months[k * wc + j]);
            for (int k = 0; k < m->directions; k++) differ += bits(m->horizons[k * pc + i]) != bits(whole.horizons[k * wc + j]);
            differ += bits(m->elevation[i]) != bits(whole.elevation[j]);
            differ += bits(m->latitude[i]) != bits(whole.latitude[j]) || bits(m->longitude[i]) != bits(whole.longitude[j]);
            with_data += m->hasData(static_cast<long>(i));
        }
        EXPECT_EQ(differ, 0);
        EXPECT_EQ(m->cells_with_data, with_data);
        EXPECT_EQ(with_data, static_cast<long>(pc) - 1) << "the hole inside the window has no data";
        EXPECT_EQ(m->elevation[static_cast<size_t>((9 - window.y0) * window.width + 12 - window.x0)], kMapNodata);
    }
}

// Only what is asked for is kept besides the bands; the window must lie on
// the raster.
TEST(LandMap, KeepsOnlyWhatIsAskedForAndRefusesAWindowOffTheRaster) {
    temp_dir dir;
    std::vector<float> z(6 * 5, 300.0f);
    for (size_t i = 0; i < z.size(); i++) z[i] += static_cast<float>(i % 6) * 3.0f;
    const std::string path = dir.path + "/utm.tif";
    ASSERT_TRUE(writeDemFile(path, 6, 5, z, "EPSG:32610", 30.0, 480000.0, 4900000.0));
    dem_source dem;
    ASSERT_EQ(openDem(path, 0, &dem, nullptr), TERRAIN_OK);
    map_options options;
    options.season = {2024, 1, 6, 30, 7};
    options.shade = false;
    land_map m;
    ASSERT_EQ(computeMap(&dem, &options, nullptr, nullptr, nullptr, &m, nullptr), TERRAIN_OK);
    EXPECT_TRUE(m.elevation.empty() && m.latitude.empty() && m.horizons.empty() && m.whole_edge_months.empty());
    EXPECT_EQ(m.values.size(), static_cast<size_t>(m.layout.count()) * 30);
    for (const map_window &off : {map_window{5, 0, 2, 2}, map_window{-1, 0, 2, 2}, map_window{0, 4, 1, 2},
                                  map_window{0, 0, 0, 1}}) {
        std::string refusal;
        EXPECT_EQ(computeMap(&dem, &options, &off, nullptr, nullptr, &m, &refusal), TERRAIN_BAD_OPTION)
            << off.x0 << "," << off.y0 << " " << off.width << "x" << off.height;
        EXPECT_TRUE(m.values.empty());
    }
    closeDem(&dem);
}
