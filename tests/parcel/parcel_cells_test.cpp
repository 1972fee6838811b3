// Reading outlines and laying blocks on a grid: the centre rule, holes,
// multipolygons, overlaps, names, every format from a WGS 84 KML onto a UTM
// grid, blocks beyond the DEM, and the refusals.
#include "parcelFixtures.h"

#include <gtest/gtest.h>

#include <ogr_geometry.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const kUtm = "EPSG:32610";
const char *const kUtmName = "urn:ogc:def:crs:EPSG::32610";
// 40 x 30 cells of 10 m; the centre of cell (c, r) is (E + 5 + 10c, N - 5 - 10r).
const double E = 500000.0, N = 4930000.0;

parcel readJson(const scratch_folder &dir, const std::vector<std::string> &features, const char *crs = kUtmName,
                const char *target = kUtm) {
    const std::string file = dir.path("blocks.geojson");
    writeText(file, collectionJson(features, crs));
    parcel p;
    std::string why;
    EXPECT_TRUE(readParcel(file, target, &p, &why)) << why;
    return p;
}

long countCells(const std::vector<std::int32_t> &cells, std::int32_t block) {
    long n = 0;
    for (std::int32_t b : cells) n += b == block;
    return n;
}

struct CentreCase {
    const char *name;
    std::string geometry;
    long cells;
};

TEST(ParcelCells, ACellBelongsToABlockWhenItsCentreLiesInside) {
    const CentreCase cases[] = {
        {"square on cell edges", polygonJson({rectangleRing(E + 20, N - 100, E + 60, N - 60)}), 16},
        // 48 m across: every cell it touches would be 36, its centres are 16.
        {"square with edges between centres", polygonJson({rectangleRing(E + 16, N - 104, E + 64, N - 56)}), 16},
        {"sliver between two columns of centres", polygonJson({rectangleRing(E + 26, N - 300, E + 34, N)}), 0},
        {"hole excluded",
         polygonJson({rectangleRing(E, N - 200, E + 200, N), rectangleRing(E + 50, N - 150, E + 150, N - 50)}), 300},
        {"multipolygon",
         multiPolygonJson({{rectangleRing(E, N - 40, E + 40, N)}, {rectangleRing(E + 300, N - 300, E + 340, N - 260)}}),
         32},
        {"slanted triangle",
         polygonJson(
             {ringJson({{E + 3.3, N - 2.1}, {E + 297.7, N - 151.9}, {E + 101.3, N - 296.6}, {E + 3.3, N - 2.1}})}),
         -1},
    };
    scratch_folder dir;
    const parcel_grid grid = squareGrid(E, N, 10.0, 40, 30);
    for (const CentreCase &k : cases) {
        SCOPED_TRACE(k.name);
        parcel p = readJson(dir, {featureJson(R"("name":"A")", k.geometry)});
        ASSERT_EQ(p.blocks.size(), 1u);
        std::vector<std::int32_t> cells;
        std::string why;
        ASSERT_TRUE(blockCells(&p, &grid, &cells, &why)) << why;
        long mismatches = 0, inside = 0;
        for (int r = 0; r < grid.height; r++)
            for (int c = 0; c < grid.width; c++) {
                const bool centre = pointInBlock(p.blocks[0], E + 5 + 10 * c, N - 5 - 10 * r);
                inside += centre;
                mismatches += centre != (cells[static_cast<size_t>(r * grid.width + c)] == 1);
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(countCells(cells, 1), k.cells >= 0 ? k.cells : inside);
        if (k.cells < 0) {
            EXPECT_GT(inside, 100);
        }
    }
}

TEST(ParcelCells, ACellInTwoBlocksCountsForTheFirst) {
    scratch_folder dir;
    const std::string a = featureJson(R"("name":"A")", polygonJson({rectangleRing(E, N - 100, E + 100, N)}));
    const std::string b = featureJson(R"("name":"B")", polygonJson({rectangleRing(E + 50, N - 150, E + 150, N - 50)}));
    const parcel_grid grid = squareGrid(E, N, 10.0, 40, 30);
    const size_t overlap = 7 * 40 + 7;   // cell (7, 7) lies in both
    for (bool aFirst : {true, false}) {
        SCOPED_TRACE(aFirst ? "A first" : "B first");
        parcel p = aFirst ? readJson(dir, {a, b}) : readJson(dir, {b, a});
        std::vector<std::int32_t> cells;
        ASSERT_TRUE(blockCells(&p, &grid, &cells, nullptr));
        EXPECT_EQ(cells[overlap], 1);
        EXPECT_EQ(countCells(cells, 1) + countCells(cells, 2), 100 + 100 - 25);
    }
}

TEST(ParcelRead, BlocksAreNamedByTheFirstNameFieldInFileOrder) {
    const struct {
        const char *properties;
        const char *name;
    } cases[] = {
        {R"("name":"North")", "North"},
        {R"("id":"7","Name":"Upper")", "Upper"},
        {R"("block":"b","NAME":"Capitals")", "Capitals"},
        {R"("NAME":"  ","block":"B3")", "B3"},
        {R"("Block":"Q","id":"9")", "Q"},
        {R"("id":"9")", "9"},
        {R"("nAme":"not a name field","block":"B8")", "B8"},
        {R"("nom":"ignored")", "Block 8"},
    };
    scratch_folder dir;
    std::vector<std::string> features;
    for (const auto &k : cases)
        features.push_back(featureJson(k.properties, polygonJson({rectangleRing(E, N - 10, E + 10, N)})));
    parcel p = readJson(dir, features);
    ASSERT_EQ(p.blocks.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); i++) EXPECT_EQ(p.blocks[i].name, cases[i].name) << cases[i].properties;
}

// A WGS 84 outline near 44.52 N, 123.0 W: a 600 m block with a 300 m hole
// and a smaller one beside it, on a UTM grid of 10 m.
struct farm {
    std::vector<std::vector<parcel_point>> north, south;
};
farm farmInDegrees() {
    auto square = [](double lon, double lat, double dlon, double dlat) {
        return std::vector<parcel_point>{
            {lon, lat}, {lon + dlon, lat}, {lon + dlon, lat + dlat}, {lon, lat + dlat}, {lon, lat}};
    };
    farm f;
    f.north = {square(-123.0, 44.52, 0.0076, 0.0054), square(-122.9981, 44.5213, 0.0038, 0.0027)};
    f.south = {square(-123.0, 44.513, 0.005, 0.004)};
    return f;
}

// Area and perimeter of rings of (longitude, latitude) in UTM 10N, m² and m.
void utmAreaAndPerimeter(const std::vector<std::vector<parcel_point>> &rings, double *area, double *perimeter) {
    OGRSpatialReference wgs, utm;
    wgs.SetFromUserInput("EPSG:4326");
    utm.SetFromUserInput(kUtm);
    wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    utm.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRPolygon polygon;
    for (const auto &ring : rings) {
        OGRLinearRing r;
        for (const parcel_point &q : ring) r.addPoint(q.x, q.y);
        polygon.addRing(&r);
    }
    std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&wgs, &utm));
    ASSERT_EQ(polygon.transform(t.get()), OGRERR_NONE);
    *area = polygon.get_Area();
    *perimeter = 0.0;
    for (const OGRLinearRing *r : polygon) *perimeter += r->get_Length();
}

TEST(ParcelRead, EveryFormatOfAWgs84OutlineGivesTheBlocksOnAUtmGrid) {
    scratch_folder dir;
    const farm f = farmInDegrees();
    const std::string kml = dir.path("farm.kml");
    writeText(kml, kmlDocument({{"North block", kmlPolygon(f.north)}, {"South", kmlPolygon(f.south)}}));
    ASSERT_TRUE(convertOutline(kml, dir.path("farm.geojson"), "GeoJSON"));
    ASSERT_TRUE(convertOutline(kml, dir.path("farm.gpkg"), "GPKG"));
    ASSERT_EQ(mkdir(dir.path("shp").c_str(), 0700), 0);
    ASSERT_TRUE(convertOutline(kml, dir.path("shp/farm.shp"), "ESRI Shapefile"));
    ASSERT_TRUE(zipFiles(dir.path("farm.zip"), {dir.path("shp/farm.shp"), dir.path("shp/farm.shx"),
                                                dir.path("shp/farm.dbf"), dir.path("shp/farm.prj")}));
    ASSERT_TRUE(zipFiles(dir.path("farm.kmz"), {kml}));

    double area[2], perimeter[2];
    utmAreaAndPerimeter(f.north, &area[0], &perimeter[0]);
    utmAreaAndPerimeter(f.south, &area[1], &perimeter[1]);
    // The UTM grid around the farm, 10 m cells.
    const parcel_grid grid = squareGrid(499700.0, 4930500.0, 10.0, 200, 250);
    for (const char *file : {"farm.kml", "farm.kmz", "farm.geojson", "shp/farm.shp", "farm.zip", "farm.gpkg"}) {
        SCOPED_TRACE(file);
        parcel p;
        std::string why;
        ASSERT_TRUE(readParcel(dir.path(file), kUtm, &p, &why)) << why;
        ASSERT_EQ(p.blocks.size(), 2u);
        EXPECT_EQ(p.blocks[0].name, "North block");
        EXPECT_EQ(p.blocks[1].name, "South");
        std::vector<std::int32_t> cells;
        ASSERT_TRUE(blockCells(&p, &grid, &cells, &why)) << why;
        for (int b = 0; b < 2; b++) {
            // Within a strip a cell wide along the perimeter (holes included).
            const double m2 = 100.0 * countCells(cells, b + 1);
            EXPECT_NEAR(m2, area[b], perimeter[b] * 10.0) << "block " << b + 1;
        }
    }
}

TEST(ParcelRead, PointsAndLinesAreLeftOutWithANoteAndACrossingBlockIsRepaired) {
    scratch_folder dir;
    const std::string bowtie = R"({"type":"Polygon","coordinates":[[[0,0],[100,100],[100,0],[0,100],[0,0]]]})";
    parcel p =
        readJson(dir, {featureJson(R"("name":"Well")", R"({"type":"Point","coordinates":[5,5]})"),
                       featureJson(R"("name":"Bow")", bowtie),
                       featureJson(R"("name":"Track")", R"({"type":"LineString","coordinates":[[0,0],[9,9]]})")});
    ASSERT_EQ(p.blocks.size(), 1u);
    EXPECT_EQ(p.blocks[0].name, "Bow");
    EXPECT_TRUE(p.blocks[0].repaired);
    EXPECT_EQ(p.blocks[0].polygons.size(), 2u);   // the two triangles of the bow tie
    ASSERT_EQ(p.notes.size(), 2u);
    EXPECT_EQ(p.notes[0], "1 point and 1 line of the file were left out: only polygons are blocks.");
    EXPECT_NE(p.notes[1].find("repaired"), std::string::npos);
}

TEST(ParcelRead, AFileThatCannotBeUsedIsRefusedInOneSentenceAndNothingOnStderr) {
    scratch_folder dir;
    writeText(dir.path("points.geojson"),
              collectionJson({featureJson("", R"({"type":"Point","coordinates":[5,5]})")}, kUtmName));
    writeText(dir.path("cut.geojson"),
              collectionJson({featureJson("", polygonJson({rectangleRing(0, 0, 9, 9)}))}, kUtmName).substr(0, 90));
    writeText(dir.path("huge.geojson"), "");
    ASSERT_EQ(truncate(dir.path("huge.geojson").c_str(), kParcelFileBytes + 1), 0);
    ASSERT_EQ(mkfifo(dir.path("pipe.kml").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(dir.path("shp").c_str(), 0700), 0);
    writeText(dir.path("a.geojson"),
              collectionJson({featureJson("", polygonJson({rectangleRing(0, 0, 9, 9)}))}, kUtmName));
    ASSERT_TRUE(convertOutline(dir.path("a.geojson"), dir.path("shp/a.shp"), "ESRI Shapefile"));
    ASSERT_EQ(unlink(dir.path("shp/a.prj").c_str()), 0);
    const struct {
        const char *file;
        const char *says;
    } cases[] = {
        {"points.geojson", "it holds no polygon to take as a block, only 1 point and 0 lines"},
        {"cut.geojson",
         "it is not an outline of KML, KMZ, GeoJSON, Shapefile or GeoPackage that can be read (Failed to read GeoJSON "
         "data)"},
        {"huge.geojson", "it is larger than an outline can be (256 MB)"},
        {"pipe.kml", "it is not a regular file"},
        {"missing.kml", "it cannot be read (No such file or directory)"},
        {"shp/a.shp", "its layer “a” has no coordinate reference system (a Shapefile keeps it in its .prj)"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.file);
        parcel p;
        std::string why;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(readParcel(dir.path(k.file), kUtm, &p, &why));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(why, k.says);
        EXPECT_TRUE(p.blocks.empty());
    }
}

// A block partly (over the left edge, then the right) and one wholly beyond
// the DEM, on a projected and on a geographic grid: what lies beyond in hectares, what is left out, and the
// extent against the cells the blocks hold on the whole DEM.
TEST(ParcelPlacement, BlocksBeyondTheDemAreMeasuredOrLeftOut) {
    // The geographic grid: 0.0001° cells from 44.52 N, 123.0 W; a lat/lon
    // strip's area from the WGS 84 radii of curvature at its latitude.
    const double radian = M_PI / 180.0, f = 1 / 298.257223563, e2 = f * (2 - f), a = 6378137.0;
    auto stripM2 = [&](double dlon, double lat0, double lat1) {
        const double s = std::sin(0.5 * (lat0 + lat1) * radian), w = 1 - e2 * s * s;
        return (a / std::sqrt(w)) * std::cos(0.5 * (lat0 + lat1) * radian) * dlon * radian *
               (a * (1 - e2) / (w * std::sqrt(w))) * (lat1 - lat0) * radian;
    };
    const struct {
        const char *name;
        const char *crs;      // of the outline (null: WGS 84)
        const char *target;   // of the grid
        parcel_grid grid;
        std::string partly, wholly;
        double beyond_m2;
    } cases[] = {
        {"projected", kUtmName, kUtm, squareGrid(E, N, 10.0, 40, 30),
         polygonJson({rectangleRing(E - 55, N - 193, E + 47, N - 97)}),
         polygonJson({rectangleRing(E + 500, N - 100, E + 600, N)}), 55.0 * 96.0},
        // Oregon Lambert in international feet: the area still in m².
        {"projected in feet", "urn:ogc:def:crs:EPSG::2992", "EPSG:2992", squareGrid(1300000.0, 1000000.0, 10.0, 40, 30),
         polygonJson({rectangleRing(1300353.0, 999807.0, 1300455.0, 999903.0)}),
         polygonJson({rectangleRing(1299000.0, 999000.0, 1299100.0, 999100.0)}), 55.0 * 96.0 * 0.3048 * 0.3048},
        {"geographic", nullptr, "EPSG:4326", squareGrid(-123.0, 44.523, 0.0001, 40, 30),
         polygonJson({rectangleRing(-122.99657, 44.5212, -122.9954, 44.5223)}),
         polygonJson({rectangleRing(-122.99, 44.52, -122.98, 44.53)}), stripM2(0.0006, 44.5212, 44.5223)},
    };
    scratch_folder dir;
    for (const auto &k : cases) {
        SCOPED_TRACE(k.name);
        parcel p = readJson(dir, {featureJson(R"("name":"Out")", k.wholly), featureJson(R"("name":"Edge")", k.partly)},
                            k.crs, k.target);
        parcel_placement place;
        std::string why;
        ASSERT_TRUE(placeParcel(&p, &k.grid, &place, &why)) << why;
        EXPECT_TRUE(place.wholly_outside[0]);
        EXPECT_FALSE(place.wholly_outside[1]);
        EXPECT_NEAR(place.outside_hectares[1] * 10000.0, k.beyond_m2, 1e-3 * k.beyond_m2);
        ASSERT_EQ(place.notes.size(), 2u);
        EXPECT_EQ(place.notes[0], "The block “Out” lies wholly outside the elevation model and is left out.");

        // The extent is the bounding box of the cells the blocks hold on the whole DEM.
        std::vector<std::int32_t> whole, window;
        ASSERT_TRUE(blockCells(&p, &k.grid, &whole, &why)) << why;
        int c0 = k.grid.width, c1 = -1, r0 = k.grid.height, r1 = -1;
        for (int r = 0; r < k.grid.height; r++)
            for (int c = 0; c < k.grid.width; c++)
                if (whole[static_cast<size_t>(r * k.grid.width + c)] != 0) {
                    c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
                }
        EXPECT_EQ(place.x0, c0);
        EXPECT_EQ(place.y0, r0);
        EXPECT_EQ(place.window.width, c1 - c0 + 1);
        EXPECT_EQ(place.window.height, r1 - r0 + 1);
        // The window's cells are the whole DEM's, cell for cell.
        ASSERT_TRUE(blockCells(&p, &place.window, &window, &why)) << why;
        long differ = 0;
        for (int r = 0; r < place.window.height; r++)
            for (int c = 0; c < place.window.width; c++)
                differ += window[static_cast<size_t>(r * place.window.width + c)] !=
                          whole[static_cast<size_t>((r + place.y0) * k.grid.width + c + place.x0)];
        EXPECT_EQ(differ, 0);

        parcel gone = readJson(dir, {featureJson(R"("name":"Out")", k.wholly)}, k.crs, k.target);
        EXPECT_FALSE(placeParcel(&gone, &k.grid, &place, &why));
        EXPECT_EQ(why, "every block lies outside the elevation model");
    }
}

}   // namespace
