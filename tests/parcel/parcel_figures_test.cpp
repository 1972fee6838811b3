// Each block's figures against a direct count over a made-up map, the
// default threshold, the backwards flag of a partly taken month, and the
// block files read back (the GeoPackage and GeoJSON through OGR).
#include "parcelFixtures.h"

#include "model/gddFalls.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace {

const char *const kUtm = "EPSG:32610";
const double E = 500000.0, N = 4930000.0;
const int W = 40, H = 30;

// A season's map over the 40 x 30 grid of 10 m cells, every band made up;
// cells outside every block far warmer, so that counting them shows.
struct made_map {
    parcel p;
    std::vector<std::int32_t> cells;
    std::vector<float> gdd, irr, shadow, months[12][2], whole[2];
    std::vector<double> area, lat, lon;
    std::vector<std::uint8_t> outside;
    block_map map;
};

void makeMap(const scratch_folder &dir, made_map *m) {
    writeText(dir.path("b.geojson"),
              collectionJson(
                  {featureJson(R"("name":"A")", polygonJson({rectangleRing(E, N - 150, E + 200, N)})),
                   featureJson(R"("name":"B")", polygonJson({rectangleRing(E + 100, N - 250, E + 300, N - 100)})),
                   featureJson(R"("name":"Row, \"3\"")", polygonJson({rectangleRing(E + 350, N - 50, E + 400, N)}))},
                  "urn:ogc:def:crs:EPSG::32610"));
    std::string why;
    ASSERT_TRUE(readParcel(dir.path("b.geojson"), kUtm, &m->p, &why)) << why;
    const parcel_grid grid = squareGrid(E, N, 10.0, W, H);
    ASSERT_TRUE(blockCells(&m->p, &grid, &m->cells, &why)) << why;
    const size_t n = W * H;
    std::mt19937 random(24);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    m->gdd.resize(n), m->irr.resize(n), m->shadow.resize(n), m->outside.resize(n);
    for (int k = 3; k <= 9; k++) m->months[k][0].resize(n), m->months[k][1].resize(n);
    m->whole[0].resize(n), m->whole[1].resize(n);
    for (size_t i = 0; i < n; i++) {
        m->gdd[i] = m->cells[i] == 0 ? 5000.0f : 900.0f + 800.0f * u(random);
        m->irr[i] = 3000.0f + 1000.0f * u(random);
        m->shadow[i] = 600.0f * u(random);
        m->outside[i] = u(random) < 0.3f;
        for (int k = 3; k <= 9; k++)
            m->months[k][0][i] = 400.0f + 300.0f * u(random), m->months[k][1][i] = 100.0f + 200.0f * u(random);
        m->whole[0][i] = m->months[3][0][i] * 2.0f, m->whole[1][i] = m->months[9][0][i] * 3.0f;
        // The third block has no data at all; elsewhere both kinds of nodata.
        const bool none = m->cells[i] == 3 || i % 17 == 0 || i % 23 == 0;
        const float mark = m->cells[i] == 3 || i % 17 == 0 ? -9999.0f : NAN;
        if (none) {
            m->gdd[i] = m->irr[i] = m->shadow[i] = m->whole[0][i] = m->whole[1][i] = mark;
            for (int k = 3; k <= 9; k++) m->months[k][0][i] = m->months[k][1][i] = mark;
        }
    }
    for (int r = 0; r < H; r++) m->area.push_back(100.0 - 0.5 * r);   // a row area of its own, as on a grid in degrees
    m->lat.assign(n, 44.52);
    m->lon.assign(n, -123.0);
    block_map &b = m->map;
    b.width = W, b.height = H;
    b.block_of_cell = m->cells.data();
    b.season_gdd = m->gdd.data(), b.season_irradiation = m->irr.data(), b.shadow_minutes = m->shadow.data();
    b.season = {2025, 15, 4, 10, 10};
    for (int k = 3; k <= 9; k++)
        b.month_irradiation[k] = m->months[k][0].data(), b.month_gdd[k] = m->months[k][1].data();
    b.whole_first_month = m->whole[0].data(), b.whole_last_month = m->whole[1].data();
    b.row_area = m->area.data();
    b.latitude = m->lat.data(), b.longitude = m->lon.data();
    b.outside_calibration = m->outside.data();
}

bool hasData(float v) { return !std::isnan(v) && v != -9999.0f; }

TEST(BlockFigures, EachFigureAgainstADirectCountOverTheBlocksCells) {
    scratch_folder dir;
    made_map m;
    makeMap(dir, &m);
    const float threshold = 1300.0f;
    std::vector<block_figures> figures;
    std::string why;
    ASSERT_TRUE(blockFigures(&m.p, nullptr, &m.map, threshold, &figures, &why)) << why;
    ASSERT_EQ(figures.size(), 3u);
    for (int b = 1; b <= 2; b++) {
        SCOPED_TRACE(b);
        double ha = 0, data = 0, reach = 0, gdd = 0, irr = 0, shadow = 0, out = 0, lo = 1e9, hi = -1e9, apr = 0,
               jul = 0;
        long cells = 0;
        for (int r = 0; r < H; r++)
            for (int c = 0; c < W; c++) {
                const size_t i = static_cast<size_t>(r * W + c);
                if (m.cells[i] != b) continue;
                ha += m.area[static_cast<size_t>(r)] / 1e4;
                if (!hasData(m.gdd[i])) continue;
                cells++;
                data += m.area[static_cast<size_t>(r)] / 1e4;
                reach += m.gdd[i] >= threshold ? m.area[static_cast<size_t>(r)] / 1e4 : 0.0;
                gdd += m.gdd[i], irr += m.irr[i], shadow += m.shadow[i], out += m.outside[i];
                lo = std::min<double>(lo, m.gdd[i]), hi = std::max<double>(hi, m.gdd[i]);
                apr += m.months[3][0][i], jul += m.months[6][1][i];
            }
        const block_figures &f = figures[static_cast<size_t>(b - 1)];
        const struct {
            const char *what;
            double got, want;
        } rows[] = {
            {"hectares", f.hectares, ha},
            {"hectares with data", f.hectares_with_data, data},
            {"hectares reaching", f.hectares_reaching, reach},
            {"share reaching", f.share_reaching, reach / data},
            {"gdd min", f.gdd_min, lo},
            {"gdd mean", f.gdd_mean, gdd / cells},
            {"gdd max", f.gdd_max, hi},
            {"irradiation mean", f.irradiation_mean_mj_m2, irr / cells},
            {"shadow minutes mean", f.shadow_minutes_mean, shadow / cells},
            {"share outside calibration", f.share_outside_calibration, out / cells},
            {"April irradiation", f.month_irradiation_mj_m2[3], apr / cells},
            {"July degree days", f.month_gdd[6], jul / cells},
        };
        for (const auto &row : rows) EXPECT_NEAR(row.got, row.want, 1e-9 * std::fabs(row.want)) << row.what;
        EXPECT_GT(cells, 100);
        EXPECT_EQ(f.threshold_gdd, threshold);
        EXPECT_TRUE(f.in_season[3] && f.in_season[9] && !f.in_season[2] && !f.in_season[10]);
    }
    // A block without data has its area and no figures.
    EXPECT_NEAR(figures[2].hectares, 5 * (100.0 + 99.5 + 99.0 + 98.5 + 98.0) / 1e4, 1e-12);
    EXPECT_EQ(figures[2].hectares_with_data, 0.0);
    EXPECT_TRUE(std::isnan(figures[2].gdd_mean) && std::isnan(figures[2].share_reaching));
}

TEST(BlockFigures, TheDefaultThresholdIsTheBlocksMedianRoundedDownAndAnOutsideBlockIsLeftOut) {
    scratch_folder dir;
    made_map m;
    makeMap(dir, &m);
    std::vector<float> inside;
    for (size_t i = 0; i < m.cells.size(); i++)
        if (m.cells[i] != 0 && hasData(m.gdd[i])) inside.push_back(m.gdd[i]);
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(parcelThreshold(&m.map), std::floor(inside[(inside.size() - 1) / 2]));

    parcel_placement place;
    place.outside_hectares = {0.0, 1.5, 0.0};
    place.wholly_outside = {false, true, false};
    std::vector<block_figures> figures;
    ASSERT_TRUE(blockFigures(&m.p, &place, &m.map, 1000.0f, &figures, nullptr));
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[1].block, 3);
}

// The season starts on the 15th of a month whose whole irradiation lies
// where the formula falls while the half taken does not: the whole decides.
TEST(BlockFigures, APartMonthIsFlaggedByTheWholeMonthsIrradiation) {
    gdd_falls falls;
    findGddFalls(&falls);
    int month = 0;
    float falling = 0, rising = 0;
    for (int mo = 1; mo <= 11 && month == 0; mo++)
        for (float x = 1.0f; x < 1500.0f && month == 0; x += 1.0f)
            if (gddFalls(&falls, 1, mo, x) && !gddFalls(&falls, 1, mo, 0.5f * x))
                month = mo, falling = x, rising = 0.5f * x;
    ASSERT_NE(month, 0) << "no falling range in the north zone";
    scratch_folder dir;
    made_map m;
    makeMap(dir, &m);
    const size_t n = m.cells.size();
    std::vector<float> part(n, rising), whole(n, falling), gdd(n, 100.0f);
    block_map map = m.map;
    for (int k = 0; k < 12; k++) map.month_irradiation[k] = map.month_gdd[k] = nullptr;
    map.season = {2025, 15, month, 28, month + 1};
    map.month_irradiation[month - 1] = map.month_irradiation[month] = part.data();
    map.month_gdd[month - 1] = map.month_gdd[month] = gdd.data();
    map.whole_last_month = nullptr;
    for (bool wholeGiven : {true, false}) {
        map.whole_first_month = wholeGiven ? whole.data() : nullptr;
        std::vector<block_figures> figures;
        ASSERT_TRUE(blockFigures(&m.p, nullptr, &map, 1000.0f, &figures, nullptr));
        EXPECT_EQ(figures[0].month_backwards[month - 1], wholeGiven) << "month " << month;
    }
}

std::string readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(BlockFiles, EveryFormatCarriesTheNamedFiguresAndTheGeoPackageReadsBack) {
    scratch_folder dir;
    made_map m;
    makeMap(dir, &m);
    std::vector<block_figures> figures;
    ASSERT_TRUE(blockFigures(&m.p, nullptr, &m.map, 1234.0f, &figures, nullptr));
    const block_file_context context{"farm.tif", {2025, 15, 4, 10, 10}, "32 directions within 5000 m"};
    const char *const names[] = {"block",
                                 "name",
                                 "hectares",
                                 "hectares_with_data",
                                 "threshold_gdd",
                                 "hectares_reaching",
                                 "share_reaching",
                                 "gdd_min",
                                 "gdd_mean",
                                 "gdd_max",
                                 "irradiation_mean_mj_m2",
                                 "shadow_minutes_mean",
                                 "share_outside_calibration"};
    std::string why;

    ASSERT_TRUE(writeBlockFile(dir.path("b.csv"), &m.p, figures, &context, &why)) << why;
    const std::string csv = readAll(dir.path("b.csv"));
    std::string header;
    for (const char *name : names) header += std::string(header.empty() ? "" : ",") + name;
    EXPECT_EQ(csv.substr(0, header.size() + 1), header + ",");
    char row3[160];
    std::snprintf(row3, sizeof row3, "\r\n3,\"Row, \"\"3\"\"\",%.4f,0.0000,1234.00,0.0000,,,,,,,,0.0000,",
                  figures[2].hectares);
    EXPECT_NE(csv.find(row3), std::string::npos) << csv;
    EXPECT_NE(csv.find(",2025-04-15,2025-10-10,32 directions within 5000 m,"), std::string::npos);

    for (const char *file : {"b.gpkg", "b.geojson"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(writeBlockFile(dir.path(file), &m.p, figures, &context, &why)) << why;
        std::unique_ptr<GDALDataset> ds(GDALDataset::Open(dir.path(file).c_str(), GDAL_OF_VECTOR));
        ASSERT_TRUE(ds);
        OGRLayer *layer = ds->GetLayer(0);
        ASSERT_NE(layer, nullptr);
        OGRFeatureDefn *defn = layer->GetLayerDefn();
        for (int i = 0; i < 13; i++) {
            EXPECT_STREQ(defn->GetFieldDefn(i)->GetNameRef(), names[i]);
            EXPECT_EQ(defn->GetFieldDefn(i)->GetType(), i == 0 ? OFTInteger : i == 1 ? OFTString : OFTReal) << names[i];
        }
        OGRSpatialReference want;
        want.SetFromUserInput(std::string(file) == "b.gpkg" ? kUtm : "EPSG:4326");
        const char *const sameCrs[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
        EXPECT_TRUE(layer->GetSpatialRef() != nullptr && layer->GetSpatialRef()->IsSame(&want, sameCrs));
        size_t k = 0;
        for (auto &feature : *layer) {
            ASSERT_LT(k, figures.size());
            const block_figures &f = figures[k++];
            EXPECT_EQ(feature->GetFieldAsInteger("block"), f.block);
            EXPECT_EQ(std::string(feature->GetFieldAsString("name")), f.name);
            if (std::isnan(f.gdd_mean))
                EXPECT_TRUE(feature->IsFieldNull(feature->GetFieldIndex("gdd_mean")));
            else
                EXPECT_NEAR(feature->GetFieldAsDouble("gdd_mean"), f.gdd_mean, 1e-7 * f.gdd_mean);
            EXPECT_NEAR(feature->GetFieldAsDouble("hectares"), f.hectares, 1e-12);
            OGREnvelope e;
            feature->GetGeometryRef()->getEnvelope(&e);
            if (std::string(file) == "b.gpkg") {
                const double areas[] = {200.0 * 150.0, 200.0 * 150.0, 50.0 * 50.0};
                EXPECT_NEAR(OGR_G_Area(OGRGeometry::ToHandle(feature->GetGeometryRef())), areas[k - 1], 1e-6);
            } else {
                // RFC 7946: longitude, latitude.
                EXPECT_TRUE(e.MinX > -123.01 && e.MaxX < -122.99 && e.MinY > 44.5 && e.MaxY < 44.6);
            }
        }
        EXPECT_EQ(k, figures.size());
    }

    const struct {
        const char *file;
        const char *says;
    } refused[] = {{"b.txt", "block files end in .csv, .gpkg or .geojson"},
                   {"missing/b.gpkg", "no file can be created in that folder (No such file or directory)"}};
    for (const auto &r : refused) {
        EXPECT_FALSE(writeBlockFile(dir.path(r.file), &m.p, figures, &context, &why));
        EXPECT_EQ(why, r.says);
    }
}

}   // namespace
