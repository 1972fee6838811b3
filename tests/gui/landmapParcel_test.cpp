// A parcel in the map window, driven through the running program: only its
// blocks' cells computed and counted, equal to the whole land's map there;
// the block table against the parcel core's own figures; a selected block's
// months; the block files read back with OGR; closing the parcel; the
// session's parcel maps; a refusal keeping the parcel open before; a land
// too large for memory shown coarsely and an area of it mapped.
#include "gui_support.h"
#include "landmapDriving.h"

#include "demFiles.h"

#include "landmap/landmapArea.h"
#include "landmap/landmapBlocks.h"
#include "landmap/landmapElevation.h"
#include "landmap/landmapParcel.h"
#include "landmap/landmapWindow.h"
#include "model/degreeDayTarget.h"
#include "model/winklerRegions.h"
#include "shell/shell.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ogr_api.h>
#include <string>
#include <vector>

namespace {

// Two blocks over the example land (UTM 10N), the second with a hole, and
// a point that is left out with a note.
const char *const kTwoBlocks = R"({"type": "FeatureCollection",
 "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32610"}},
 "features": [
  {"type": "Feature", "properties": {"name": "Upper Terrace"}, "geometry": {"type": "Polygon", "coordinates":
   [[[471600, 4933500], [472200, 4933500], [472200, 4933150], [471600, 4933150], [471600, 4933500]]]}},
  {"type": "Feature", "properties": {"name": "Creek Block"}, "geometry": {"type": "Polygon", "coordinates":
   [[[472350, 4933000], [472900, 4932950], [472850, 4932550], [472400, 4932600], [472350, 4933000]],
    [[472550, 4932800], [472650, 4932800], [472650, 4932700], [472550, 4932700], [472550, 4932800]]]}},
  {"type": "Feature", "properties": {"name": "Well"}, "geometry": {"type": "Point", "coordinates": [472000, 4933000]}}
 ]})";

const char *const kOnlyPoints = R"({"type": "FeatureCollection",
 "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32610"}},
 "features": [{"type": "Feature", "properties": {}, "geometry": {"type": "Point", "coordinates": [472000, 4933000]}}]})";

GtkWidget *part(LandmapWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }

std::string label(LandmapWindow *w, const char *id) { return gtk_label_get_text(GTK_LABEL(part(w, id))); }

std::string here(const char *name) { return (std::filesystem::current_path() / name).string(); }

bool await(LandmapWindow *w) { return landmapAwait(w); }

// The example land open, June shaded within 300 m: quick, and shaded.
LandmapWindow *exampleWindow() {
    LandmapWindow *w = landmapOpenWindow();
    if (w == nullptr) return nullptr;
    gui::click(part(w, "landmap_example"));
    EXPECT_TRUE(await(w));
    landmapSetSeason(w, "1", 6, "30", 6, true);
    gui::setText(part(w, "landmap_distance"), "300");
    return w;
}

bool openParcel(LandmapWindow *w, const char *name, const char *content) {
    gui::writeFile(name, content);
    landmap_window_open_parcel(w, here(name).c_str());
    return await(w);
}

bool compute(LandmapWindow *w) {
    gui::click(part(w, "landmap_compute"));
    return await(w);
}

}  // namespace

// The parcel's map holds the whole land's values, bit for bit, in every
// block's cell and nothing elsewhere; the answer and the table count only
// the blocks, as the parcel core counts them.
TEST(LandmapParcel, OnlyTheBlocksAreComputedAndCounted) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(compute(w));
    const std::shared_ptr<const land_map> whole = landmap_window_get_map(w);
    ASSERT_NE(whole, nullptr);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    EXPECT_NE(label(w, "landmap_parcel_info").find("2 blocks (Upper Terrace, Creek Block)"), std::string::npos);
    EXPECT_NE(label(w, "landmap_parcel_info").find("were left out: only polygons are blocks."), std::string::npos)
        << "the well's point is said to be left out";
    EXPECT_EQ(landmap_window_get_map(w), nullptr) << "the whole land's map is not the parcel's";
    ASSERT_TRUE(compute(w));
    const auto pm = landmap_window_get_parcel_map(w);
    ASSERT_NE(pm, nullptr);
    const land_map &m = *pm->map;
    EXPECT_LT(m.grid.cells(), whole->grid.cells() / 2) << "only the blocks' window is computed";

    // Every band of the whole land's, then the block band as veranta-map writes it.
    long wrong = 0, inside = 0, numbered = 0;
    for (int b = 0; b < whole->layout.count(); b++) {
        const float *band = m.band(whole->layout[b].quantity, whole->layout[b].month);
        ASSERT_NE(band, nullptr) << b;
        for (int r = 0; r < m.grid.height; r++)
            for (int c = 0; c < m.grid.width; c++) {
                const long i = static_cast<long>(r) * m.grid.width + c;
                const long j = static_cast<long>(r + m.grid.y0) * whole->grid.width + c + m.grid.x0;
                const float got = band[i], want = pm->block_of_cell[i] != 0 ? whole->band(b)[j] : kMapNodata;
                wrong += std::memcmp(&got, &want, sizeof got) != 0;
                inside += b == 0 && pm->block_of_cell[i] != 0;
            }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(inside, 1000);
    const float *blocks = m.band(map_quantity::block_number);
    ASSERT_NE(blocks, nullptr);
    for (long i = 0; i < m.grid.cells(); i++)
        numbered += blocks[i] != static_cast<float>(pm->block_of_cell[static_cast<size_t>(i)]);
    EXPECT_EQ(numbered, 0);

    // The core's figures on the same map, at the window's threshold.
    const block_map bm = landmap_block_map(*pm);
    std::vector<block_figures> core;
    std::string why;
    ASSERT_TRUE(blockFigures(&pm->parcel->blocks, &pm->parcel->placement, &bm, landmap_window_get_threshold(w), &core, &why))
        << why;
    const std::vector<block_figures> shown = landmap_window_get_blocks(w);
    ASSERT_EQ(shown.size(), 2u);
    double parcel_ha = 0.0, reaching_ha = 0.0;
    for (size_t k = 0; k < shown.size(); k++) {
        EXPECT_EQ(shown[k].hectares, core[k].hectares) << k;
        EXPECT_EQ(shown[k].hectares_reaching, core[k].hectares_reaching) << k;
        parcel_ha += core[k].hectares;
        reaching_ha += core[k].hectares_reaching;
    }
    const std::string answer = label(w, "landmap_answer");
    const std::string expect = decimalString(reaching_ha, reaching_ha < 10 ? 2 : 1) + " ha of your " +
                               decimalString(parcel_ha, parcel_ha < 10 ? 2 : 1) + " ha parcel";
    EXPECT_EQ(answer.rfind(expect, 0), 0u) << answer;
    EXPECT_NE(answer.find("centre lies inside a block"), std::string::npos) << answer;
    // The threshold starts at the parcel's median, as the core's rule says.
    EXPECT_EQ(landmap_window_get_threshold(w), parcelThreshold(&bm));
    EXPECT_EQ(gtk_tree_model_iter_n_children(
                  gtk_tree_view_get_model(GTK_TREE_VIEW(part(w, "landmap_blocks_view"))), nullptr),
              2);
}

// Selecting a row shows that block's mean months; the pointer's readout
// names the block under it; a click on a cell gives the cell's months back.
TEST(LandmapParcel, ARowShowsItsBlocksMonthsAndTheReadoutNamesTheBlock) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    GtkTreeView *view = GTK_TREE_VIEW(part(w, "landmap_blocks_view"));
    landmap_blocks_select(view, 2);
    gui::pump();
    EXPECT_EQ(landmap_window_get_selected_block(w), 2);
    EXPECT_EQ(label(w, "landmap_selected"), "Creek Block: the block's mean months");
    // June is not the Winkler regions' season, and the map has no target.
    for (int c = LANDMAP_BLOCK_REGION; c < LANDMAP_BLOCK_YEAR; c++)
        EXPECT_FALSE(gtk_tree_view_column_get_visible(landmap_blocks_column(view, c))) << c;
    const block_figures f = landmap_window_get_blocks(w)[1];
    GtkTreeModel *months = GTK_TREE_MODEL(gui::templateObject(GTK_WIDGET(w), "landmap_months_store"));
    GtkTreeIter it;
    ASSERT_TRUE(gtk_tree_model_get_iter_first(months, &it));
    gchar *irr = nullptr, *gdd = nullptr;
    gtk_tree_model_get(months, &it, 2, &irr, 3, &gdd, -1);
    month_rows rows = landmap_block_months(f, landmap_window_get_parcel_map(w)->map->options.season);
    EXPECT_EQ(rows.month[0], 6);
    // As the table rounds them (the other block's differ by more).
    EXPECT_NEAR(std::stod(irr), f.month_irradiation_mj_m2[5], 0.05);
    EXPECT_NEAR(std::stod(gdd), f.month_gdd[5], 0.005);
    g_free(irr);
    g_free(gdd);

    // Over a cell of block 1, then outside every block.
    const auto pm = landmap_window_get_parcel_map(w);
    const int cols = pm->map->grid.width;
    long in1 = -1, out = -1;
    for (long i = 0; i < pm->map->grid.cells(); i++) {
        if (in1 < 0 && pm->block_of_cell[i] == 1) in1 = i;
        if (out < 0 && pm->block_of_cell[i] == 0) out = i;
    }
    ASSERT_GE(in1, 0);
    ASSERT_GE(out, 0);
    const std::string spot = landmap_parcel_spot(*pm, in1 % cols, in1 / cols);
    EXPECT_EQ(spot.rfind("Upper Terrace · ", 0), 0u) << spot;
    EXPECT_NE(landmap_parcel_spot(*pm, out % cols, out / cols).find("outside every block"), std::string::npos);
}

// 1 April to 31 October with a target: the Winkler and target columns
// shown, each row's region, hectares per region, date and share as the
// parcel core gives them for the window's threshold.
TEST(LandmapParcel, TheRegionsSeasonWithATargetShowsRegionsAndTheTarget) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    // Unshaded: seven shaded months of the example land take minutes under
    // the sanitizers, and shading changes nothing the table is checked for.
    landmapSetSeason(w, "1", 4, "31", 10, false);
    gui::setText(part(w, "landmap_target"), "1240");
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    const auto pm = landmap_window_get_parcel_map(w);
    ASSERT_NE(pm, nullptr) << label(w, "landmap_status");
    GtkTreeView *view = GTK_TREE_VIEW(part(w, "landmap_blocks_view"));
    for (int c = LANDMAP_BLOCK_REGION; c < LANDMAP_BLOCK_YEAR; c++)
        EXPECT_TRUE(gtk_tree_view_column_get_visible(landmap_blocks_column(view, c))) << c;

    const block_map bm = landmap_block_map(*pm);
    std::vector<block_figures> core;
    std::string why;
    ASSERT_TRUE(blockFigures(&pm->parcel->blocks, &pm->parcel->placement, &bm, landmap_window_get_threshold(w), &core, &why))
        << why;
    ASSERT_EQ(core.size(), 2u);
    ASSERT_TRUE(core[0].winkler_season);
    ASSERT_TRUE(core[0].has_target) << "the window's blocks are given the target's days";
    GtkTreeModel *model = gtk_tree_view_get_model(view);
    const int year = pm->map->options.season.year;
    double regions_ha = 0.0;
    for (int k = 0; k < 2; k++) {
        const block_figures &f = core[static_cast<size_t>(k)];
        const winkler_class *region = winklerClass(f.winkler_region);
        ASSERT_NE(region, nullptr) << k;
        EXPECT_EQ(landmap_blocks_text(view, LANDMAP_BLOCK_REGION, k), region->name) << k;
        GtkTreeIter it;
        ASSERT_TRUE(gtk_tree_model_iter_nth_child(model, &it, nullptr, k));
        for (int r = 0; r < WINKLER_REGIONS; r++) {
            double ha = NAN;
            gtk_tree_model_get(model, &it, LANDMAP_BLOCK_REGION_HA + r, &ha, -1);
            EXPECT_EQ(ha, f.hectares_region[r]) << k << ", " << winklerClass(r)->name;
            regions_ha += ha;
        }
        const std::string date = f.target_day_of_mean < 0 ? "–" : targetDateText(year, f.target_day_of_mean);
        EXPECT_EQ(landmap_blocks_text(view, LANDMAP_BLOCK_TARGET_DAY, k), date) << k;
        EXPECT_EQ(landmap_blocks_text(view, LANDMAP_BLOCK_REACHING_TARGET, k),
                  decimalString(f.share_reaching_target * 100.0, 1))
            << k;
    }
    EXPECT_GT(regions_ha, 1.0) << "the blocks' hectares lie in their regions";
}

// A parcel's map computed while the settings' column is scrolled part of
// the way brings the block table fully into view.
TEST(LandmapParcel, ANewParcelMapBringsTheBlockTableIntoView) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    gtk_window_resize(GTK_WINDOW(w), 1024, 768);
    const gint64 deadline = g_get_monotonic_time() + 100 * G_USEC_PER_SEC;
    while (gtk_widget_get_allocated_height(GTK_WIDGET(w)) != 768 && g_get_monotonic_time() < deadline)
        gtk_main_iteration_do(TRUE);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    GtkWidget *frame = gtk_widget_get_ancestor(part(w, "landmap_blocks_view"), GTK_TYPE_FRAME);
    ASSERT_NE(frame, nullptr);
    GtkWidget *column = gtk_widget_get_ancestor(frame, GTK_TYPE_SCROLLED_WINDOW);
    ASSERT_NE(column, nullptr);
    GtkAdjustment *down = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(column));
    GtkWidget *content = gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(column))));
    auto bottom = [&] {
        int x = 0, y = 0;
        gtk_widget_translate_coordinates(frame, content, 0, 0, &x, &y);
        return y + gtk_widget_get_allocated_height(frame);
    };
    ASSERT_GT(bottom(), gtk_adjustment_get_page_size(down)) << "the column scrolls at 1024 × 768";
    gtk_adjustment_set_value(down, (bottom() - gtk_adjustment_get_page_size(down)) * 0.75);
    gui::setText(part(w, "landmap_distance"), "200");
    ASSERT_TRUE(compute(w));
    EXPECT_LE(bottom(), gtk_adjustment_get_value(down) + gtk_adjustment_get_page_size(down));
}

// Without a map: the table's target column on made-up blocks: the date of
// the season's year, "not reached" and unknown as said, sorted by the day
// with unreached after every date and unknown last either way; the columns
// shown only where the figures give them a meaning.
TEST(LandmapParcel, TheTargetDateSortsByItsDayAndColumnsShowWithTheirMeaning) {
    gui::start();
    GtkTreeView *view = GTK_TREE_VIEW(g_object_ref_sink(gtk_tree_view_new()));
    landmap_blocks_setup(view);
    const struct {
        const char *name;
        int day;
        const char *shown;
    } blocks[] = {{"late", 200, "19 July"}, {"unknown", -1, "–"}, {"never", 0, "not reached in this season"},
                  {"early", 60, "1 March"}};   // 2023: not a leap year
    std::vector<block_figures> figures;
    for (const auto &b : blocks) {
        block_figures f;
        f.block = static_cast<int>(figures.size()) + 1;
        f.name = b.name;
        f.hectares = f.hectares_with_data = 1.0;
        f.has_target = true;
        f.target_gdd = 1000.0;
        f.target_day_of_mean = b.day;
        figures.push_back(f);
    }
    landmap_blocks_fill(view, figures, season_range{2023, 1, 4, 31, 10});
    for (int k = 0; k < 4; k++)
        EXPECT_EQ(landmap_blocks_text(view, LANDMAP_BLOCK_TARGET_DAY, k), blocks[k].shown) << blocks[k].name;

    GtkTreeSortable *sortable = GTK_TREE_SORTABLE(gtk_tree_view_get_model(view));
    const struct {
        GtkSortType order;
        const char *names;
    } sorts[] = {{GTK_SORT_ASCENDING, "early late never unknown"}, {GTK_SORT_DESCENDING, "never late early unknown"}};
    for (const auto &c : sorts) {
        gtk_tree_sortable_set_sort_column_id(sortable, LANDMAP_BLOCK_TARGET_DAY, c.order);
        std::string names;
        for (int k = 0; k < 4; k++) names += (k ? " " : "") + landmap_blocks_text(view, LANDMAP_BLOCK_NAME, k);
        EXPECT_EQ(names, c.names) << c.order;
    }

    const struct {
        bool regions_season, target;
    } meanings[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto &c : meanings) {
        for (block_figures &f : figures) f.winkler_season = c.regions_season, f.has_target = c.target;
        landmap_blocks_fill(view, figures, season_range{2023, 1, 4, 31, 10});
        for (int col = LANDMAP_BLOCK_REGION; col < LANDMAP_BLOCK_YEAR; col++) {
            const bool regional = col < LANDMAP_BLOCK_TARGET_DAY;
            EXPECT_EQ(gtk_tree_view_column_get_visible(landmap_blocks_column(view, col)),
                      regional ? c.regions_season : c.target)
                << col << " with regions " << c.regions_season << ", target " << c.target;
        }
    }
    // Every header says what its column is; the target's the target itself.
    for (int col = LANDMAP_BLOCK_NAME; col < LANDMAP_BLOCK_YEAR; col++) {
        gchar *tip = gtk_widget_get_tooltip_text(gtk_tree_view_column_get_widget(landmap_blocks_column(view, col)));
        const std::string said = tip != nullptr ? tip : "";
        g_free(tip);
        EXPECT_FALSE(said.empty()) << col;
        if (col == LANDMAP_BLOCK_TARGET_DAY || col == LANDMAP_BLOCK_REACHING_TARGET) {
            EXPECT_NE(said.find("1000 degree days"), std::string::npos) << col << ": " << said;
        }
    }
    g_object_unref(view);
}

// The block files at the window's threshold, read back: the GeoPackage's
// two polygons with their figures, the CSV with its header.
TEST(LandmapParcel, ExportsTheBlocksAsGeoPackageAndCsv) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    ASSERT_TRUE(landmap_window_export_to(w, LANDMAP_BLOCKS, here("blocks.gpkg").c_str()));
    ASSERT_TRUE(await(w));
    ASSERT_TRUE(landmap_window_export_to(w, LANDMAP_BLOCKS, here("blocks.csv").c_str()));
    ASSERT_TRUE(await(w));
    const std::vector<block_figures> shown = landmap_window_get_blocks(w);

    OGRRegisterAll();
    OGRDataSourceH ds = OGROpen(here("blocks.gpkg").c_str(), FALSE, nullptr);
    ASSERT_NE(ds, nullptr);
    OGRLayerH layer = OGR_DS_GetLayer(ds, 0);
    ASSERT_EQ(OGR_L_GetFeatureCount(layer, TRUE), 2);
    OGR_L_ResetReading(layer);
    for (size_t k = 0; k < 2; k++) {
        OGRFeatureH f = OGR_L_GetNextFeature(layer);
        ASSERT_NE(f, nullptr);
        EXPECT_STREQ(OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, "name")), shown[k].name.c_str());
        EXPECT_NEAR(OGR_F_GetFieldAsDouble(f, OGR_F_GetFieldIndex(f, "hectares_reaching")),
                    shown[k].hectares_reaching, 1e-6);
        OGR_F_Destroy(f);
    }
    OGR_DS_Destroy(ds);
    bool exists = false;
    const std::string csv = gui::readFile("blocks.csv", &exists);
    ASSERT_TRUE(exists);
    EXPECT_NE(csv.find("Creek Block"), std::string::npos);
    EXPECT_NE(csv.find("hectares_reaching"), std::string::npos);
}

// The report of a parcel's map: the parcel's answer and each block named,
// as the window's table names them, on three pages or more.
TEST(LandmapParcel, TheReportCarriesTheParcelAndItsBlocks) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    ASSERT_TRUE(landmap_window_export_to(w, LANDMAP_REPORT, here("report.pdf").c_str()));
    ASSERT_TRUE(await(w));
    ASSERT_EQ(std::system("pdftotext report.pdf report.txt && pdfinfo report.pdf > info.txt"), 0);
    const std::string text = gui::readFile("report.txt"), info = gui::readFile("info.txt");
    EXPECT_NE(text.find("ha of your"), std::string::npos) << text.substr(0, 800);
    for (const block_figures &b : landmap_window_get_blocks(w)) EXPECT_NE(text.find(b.name), std::string::npos) << b.name;
    const size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos);
    EXPECT_GE(std::atoi(info.c_str() + pages + 6), 3) << info;
}

// Closing the parcel gives the whole land's map back; opening it again and
// computing takes the session's map at once.
TEST(LandmapParcel, ClosingReturnsToTheWholeLandAndTheSessionKeepsTheParcelMap) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(compute(w));
    const auto whole = landmap_window_get_map(w);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    const auto first = landmap_window_get_parcel_map(w);
    ASSERT_NE(first, nullptr);
    gui::click(part(w, "landmap_parcel_close"));
    EXPECT_EQ(landmap_window_get_parcel_map(w), nullptr);
    EXPECT_EQ(landmap_window_get_map(w), whole);
    EXPECT_EQ(label(w, "landmap_answer").find("parcel"), std::string::npos);
    landmap_window_open_parcel(w, here("blocks.geojson").c_str());
    ASSERT_TRUE(await(w));
    EXPECT_EQ(landmap_window_get_parcel_map(w), first) << "same land, parcel and settings: at once";
    // An outline changed since is read and computed again.
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    EXPECT_EQ(landmap_window_get_parcel_map(w), nullptr);
}

// An outline without a polygon is refused in one sentence, and the parcel
// open before stays with its map.
TEST(LandmapParcel, ARefusedOutlineKeepsTheParcelOpenBefore) {
    LandmapWindow *w = exampleWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(openParcel(w, "blocks.geojson", kTwoBlocks));
    ASSERT_TRUE(compute(w));
    const auto before = landmap_window_get_parcel_map(w);
    ASSERT_TRUE(openParcel(w, "well.geojson", kOnlyPoints));
    EXPECT_TRUE(gtk_widget_get_visible(part(w, "landmap_refusal")));
    const std::string said = label(w, "landmap_refusal");
    EXPECT_EQ(said.rfind("well.geojson cannot be used: ", 0), 0u) << said;
    EXPECT_NE(said.find("blocks.geojson stays open."), std::string::npos) << said;
    EXPECT_EQ(landmap_window_get_parcel_map(w), before);
}

// Without a display: which dropped files are outlines.
TEST(LandmapParcelFiles, OutlinesAreToldByTheirEnding) {
    const struct {
        const char *path;
        bool outline;
    } cases[] = {{"farm.kml", true},    {"farm.KMZ", true},  {"farm.geojson", true}, {"farm.shp", true},
                 {"farm-shp.zip", true}, {"farm.gpkg", true}, {"farm.tif", false},    {"farm.vrt", false},
                 {"kml", false}};
    for (const auto &c : cases) EXPECT_EQ(landmap_parcel_file(c.path), c.outline) << c.path;
}

// A land of 100,000 × 100,000 cells (a VRT over one small file) opens
// coarsely without reading it whole; a small area chosen on it computes at
// full resolution, equal cell for cell to the small file's own map there; an
// area still too large is said and not taken.
TEST(LandmapParcel, ALandTooLargeOpensCoarselyAndAChosenAreaComputes) {
    gui::start();
    gui::activate(landmap);
    LandmapWindow *w = landmap_open;
    ASSERT_NE(w, nullptr);
    std::vector<float> z(40 * 30);
    for (int r = 0; r < 30; r++)
        for (int c = 0; c < 40; c++) z[r * 40 + c] = static_cast<float>(200.0 + 3.0 * r + 10.0 * std::sin(c * 0.4));
    const double x0 = 476000.0 + 50000 * 10.0, y0 = 4928000.0 - 50000 * 10.0;
    ASSERT_TRUE(writeDemFile("small.tif", 40, 30, z, "EPSG:32610", 10.0, x0, y0));
    gui::writeFile("huge.vrt",
                   "<VRTDataset rasterXSize=\"100000\" rasterYSize=\"100000\">"
                   "<SRS>EPSG:32610</SRS><GeoTransform>476000, 10, 0, 4928000, 0, -10</GeoTransform>"
                   "<VRTRasterBand dataType=\"Float32\" band=\"1\"><NoDataValue>-9999</NoDataValue>"
                   "<SimpleSource><SourceFilename relativeToVRT=\"1\">small.tif</SourceFilename>"
                   "<SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"40\" ySize=\"30\"/>"
                   "<DstRect xOff=\"50000\" yOff=\"50000\" xSize=\"40\" ySize=\"30\"/></SimpleSource>"
                   "</VRTRasterBand></VRTDataset>\n");
    landmap_window_open_land(w, here("huge.vrt").c_str());
    ASSERT_TRUE(await(w));
    ASSERT_TRUE(landmap_window_land_usable(w)) << label(w, "landmap_refusal");
    ASSERT_TRUE(landmap_window_is_coarse(w));
    EXPECT_NE(label(w, "landmap_land_info").find("Shift+drag"), std::string::npos);

    EXPECT_FALSE(landmap_window_choose_area(w, 0, 0, 100000, 100000));
    EXPECT_NE(label(w, "landmap_status").find("still too large"), std::string::npos);
    gui::setText(part(w, "landmap_startday"), "1");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(w, "landmap_startmonth")), 5);
    gui::setText(part(w, "landmap_stopday"), "30");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(w, "landmap_stopmonth")), 5);
    gtk_switch_set_active(GTK_SWITCH(part(w, "landmap_shade")), FALSE);
    gui::click(part(w, "landmap_compute"));
    EXPECT_EQ(landmap_window_get_map(w), nullptr) << "no area chosen yet";
    ASSERT_TRUE(landmap_window_choose_area(w, 50005, 50004, 20, 15));
    ASSERT_TRUE(compute(w));
    const auto m = landmap_window_get_map(w);
    ASSERT_NE(m, nullptr) << label(w, "landmap_status");
    EXPECT_EQ(m->grid.x0, 50005);
    EXPECT_EQ(m->grid.y0, 50004);
    ASSERT_EQ(m->grid.width, 20);
    ASSERT_EQ(m->grid.height, 15);

    dem_source dem;
    std::string why;
    ASSERT_EQ(openDem(here("small.tif"), 0, &dem, &why), TERRAIN_OK) << why;
    land_map small;
    const map_window inside{5, 4, 20, 15};
    map_wants wants;
    ASSERT_EQ(computeMap(&dem, &m->options, &inside, &wants, nullptr, &small, &why), TERRAIN_OK) << why;
    closeDem(&dem);
    ASSERT_EQ(small.values.size(), m->values.size());
    EXPECT_EQ(std::memcmp(small.values.data(), m->values.data(), small.values.size() * sizeof(float)), 0);
}

// Without a display: a rectangle dragged on a coarse picture becomes the
// land's cells under it, in any drag direction, clipped to the land.
TEST(LandmapArea, ARectangleOnTheCoarsePictureIsTheLandsCellsUnderIt) {
    landmap_preview p;
    p.width = 500;
    p.height = 400;
    p.dem_width = 100000;
    p.dem_height = 80000;
    p.cell_width = p.cell_height = 10.0;
    const struct {
        const char *what;
        double x0, y0, x1, y1;
        map_window want;
    } cases[] = {
        {"down and right", 10, 20, 12, 23, {2000, 4000, 400, 600}},
        {"up and left", 12, 23, 10, 20, {2000, 4000, 400, 600}},
        {"past the edges", -5, -5, 600, 500, {0, 0, 100000, 80000}},
        {"a click", 10, 10, 10, 10, {0, 0, 0, 0}},
        {"beyond the land", 510, 10, 520, 20, {0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        const map_window a = landmap_area_of(p, c.x0, c.y0, c.x1, c.y1);
        EXPECT_TRUE(a.x0 == c.want.x0 && a.y0 == c.want.y0 && a.width == c.want.width && a.height == c.want.height)
            << c.what << ": " << a.x0 << ", " << a.y0 << ", " << a.width << " × " << a.height;
    }
    std::string why;
    EXPECT_TRUE(landmap_area_fits(p, {2000, 4000, 400, 600}, 8e9, &why)) << why;
    EXPECT_FALSE(landmap_area_fits(p, {0, 0, 100000, 80000}, 8e9, &why));
    EXPECT_FALSE(landmap_area_fits(p, {0, 0, 0, 0}, 8e9, &why));
}

// Without a display: the centre and size the dialog takes, each limit on
// both sides.
TEST(LandmapElevationArea, ACentreAndSizeOutOfRangeAreRefused) {
    const struct {
        double latitude, longitude, size;
        bool taken;
    } cases[] = {
        {44.5, -123.3, 1000, true},  {84.0, 180.0, 100, true},    {-80.0, -180.0, 100000, true},
        {84.1, 0, 1000, false},      {-80.1, 0, 1000, false},     {0, 180.1, 1000, false},
        {0, -180.1, 1000, false},    {0, 0, 99, false},           {0, 0, 100001, false},
        {NAN, 0, 1000, false},
    };
    for (const auto &c : cases) {
        elevation_area a;
        std::string why;
        EXPECT_EQ(landmap_centre_area(c.latitude, c.longitude, c.size, &a, &why), c.taken)
            << c.latitude << ", " << c.longitude << ", " << c.size << ": " << why;
        if (c.taken) {
            EXPECT_EQ(a.margin_metres, c.size / 2.0);
        }
    }
}
