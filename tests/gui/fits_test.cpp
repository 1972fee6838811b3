// Every window of ours on a 1024 × 768 screen, in each state a grower can
// bring about, errors included: what it needs (its narrowest width, and its
// least height at 1024 pixels wide) fits the screen, so it never grows past
// it; long notes wrap, status lines keep to one line. With VERANTA_SHOTS set
// to a folder, each state is also photographed there as w23-<window>-<state>
// -<theme>.png (the theme from GTK_THEME, light when unset).
#include "gui_support.h"

#include "demFiles.h"

#include "landmap/landmapBlocks.h"
#include "landmap/landmapWindow.h"
#include "model/model.h"
#include "oneday/oneday.h"
#include "season/season.h"
#include "shell/shell.h"
#include "slopes/slopesWindow.h"
#include "stationwindow/stationWindow.h"

#include <gtest/gtest.h>
// After GoogleTest: X11 defines names it uses.
#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kScreenWidth = 1024, kScreenHeight = 768;

// Two blocks over the example land (UTM 10N), one with a hole.
const char *const kTwoBlocks = R"({"type": "FeatureCollection",
 "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32610"}},
 "features": [
  {"type": "Feature", "properties": {"name": "Upper Terrace"}, "geometry": {"type": "Polygon", "coordinates":
   [[[471600, 4933500], [472200, 4933500], [472200, 4933150], [471600, 4933150], [471600, 4933500]]]}},
  {"type": "Feature", "properties": {"name": "Creek Block"}, "geometry": {"type": "Polygon", "coordinates":
   [[[472350, 4933000], [472900, 4932950], [472850, 4932550], [472400, 4932600], [472350, 4933000]],
    [[472550, 4932800], [472650, 4932800], [472650, 4932700], [472550, 4932700], [472550, 4932800]]]}}]})";

const char *const kSite = "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";

// What a window needs: its least width, and its least height at that width,
// which is what GTK holds the window to (its size hints), whatever width the
// window has.
struct need {
    int width, height;
};

need needOf(GtkWidget *window) {
    GtkRequisition least;
    gtk_widget_get_preferred_size(window, &least, nullptr);
    return {least.width, least.height};
}

using gui::await;

// The window at the screen's size in its top-left corner, once X has made it so.
void toScreenSize(GtkWidget *window) {
    gtk_window_move(GTK_WINDOW(window), 0, 0);
    gtk_window_resize(GTK_WINDOW(window), kScreenWidth, kScreenHeight);
    ASSERT_TRUE(await([window] {
        return gtk_widget_get_allocated_width(window) == kScreenWidth &&
               gtk_widget_get_allocated_height(window) == kScreenHeight;
    })) << gtk_widget_get_allocated_width(window) << " × " << gtk_widget_get_allocated_height(window);
}

std::string themeName() {
    const char *theme = std::getenv("GTK_THEME");
    return theme != nullptr && std::string(theme).find("dark") != std::string::npos ? "dark" : "light";
}

// A photograph of the window as it is drawn now, when asked for.
void shot(GtkWidget *window, const std::string &name) {
    const char *folder = std::getenv("VERANTA_SHOTS");
    if (folder == nullptr) return;
    // Drawn twice over: the layout of the state, then its frame.
    for (int i = 0; i < 2; i++) {
        gtk_widget_queue_draw(window);
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_updates(gtk_widget_get_window(window), TRUE);
        G_GNUC_END_IGNORE_DEPRECATIONS
        gdk_display_sync(gdk_display_get_default());
        gui::pump();
    }
    const std::string path = std::string(folder) + "/w23-" + name + "-" + themeName() + ".png";
    gchar *command = g_strdup_printf("import -window 0x%lx '%s'",
                                     static_cast<unsigned long>(gdk_x11_window_get_xid(gtk_widget_get_window(window))),
                                     path.c_str());
    EXPECT_EQ(std::system(command), 0) << command;
    g_free(command);
}

// The window fits the screen in this state (and is photographed in it).
void expectFits(GtkWidget *window, const std::string &name) {
    gui::pump();
    const need n = needOf(window);
    EXPECT_LE(n.width, kScreenWidth) << name;
    EXPECT_LE(n.height, kScreenHeight) << name;
    shot(window, name);
}

// A status line keeps to one line, cut short where it must be, its whole
// text in its tooltip.
void expectOneLineStatus(GtkWidget *status, const std::string &name) {
    EXPECT_FALSE(gtk_label_get_line_wrap(GTK_LABEL(status))) << name;
    EXPECT_NE(gtk_label_get_ellipsize(GTK_LABEL(status)), PANGO_ELLIPSIZE_NONE) << name;
    gchar *tip = gtk_widget_get_tooltip_text(status);
    EXPECT_STREQ(tip, gtk_label_get_text(GTK_LABEL(status))) << name;
    g_free(tip);
}

}  // namespace

TEST(Fits, SlopesWindow) {
    gui::start();
    gui::writeFile("locale.txt", kSite);
    gui::activate(slopes);
    SlopesWindow *w = slopes_open;
    ASSERT_NE(w, nullptr);
    GtkWidget *win = GTK_WIDGET(w);
    toScreenSize(win);
    auto part = [w](const char *id) { return gui::templateChild(GTK_WIDGET(w), id); };
    auto compare = [&] {
        gui::click(part("slopes_compare"));
        ASSERT_TRUE(await([w] { return !slopes_window_is_comparing(w); }));
    };
    expectFits(win, "slopes-opened");
    gui::setText(part("slopes_lat"), "44,13 degrees north of the equator");
    gui::setText(part("slopes_startday"), "31");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("slopes_startmonth")), 5);
    gui::setText(part("slopes_year"), "twenty twenty-five");
    gui::setText(part("slopes_target"), "twelve hundred degree days");
    compare();
    expectFits(win, "slopes-bad-entries");
    gui::setText(part("slopes_lat"), "95");
    gui::setText(part("slopes_startday"), "1");
    gui::setText(part("slopes_year"), "2025");
    compare();
    expectFits(win, "slopes-refused-site");
    gui::setText(part("slopes_lat"), "44.133");
    gui::setText(part("slopes_target"), "");
    compare();
    expectFits(win, "slopes-compared");
    // The region and the date the target is reached under the selected slope.
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("slopes_startmonth")), 3);
    gui::setText(part("slopes_target"), "1150");
    compare();
    expectFits(win, "slopes-target");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part("slopes_rank_irradiation")), TRUE);
    expectFits(win, "slopes-by-irradiation");
    slopes_window_export_to(w, false, ("/nonexistent-folder/" + std::string(200, 'x') + ".csv").c_str());
    expectFits(win, "slopes-failed-export");
    expectOneLineStatus(part("slopes_status"), "slopes-failed-export");
}

TEST(Fits, LandmapWindow) {
    gui::start();
    gui::writeFile("locale.txt", kSite);
    gui::activate(landmap);
    LandmapWindow *w = landmap_open;
    ASSERT_NE(w, nullptr);
    GtkWidget *win = GTK_WIDGET(w);
    toScreenSize(win);
    auto part = [w](const char *id) { return gui::templateChild(GTK_WIDGET(w), id); };
    auto busy = [w] { return landmap_window_is_busy(w); };
    expectFits(win, "landmap-opened");
    gui::writeFile("notes.txt", "not a raster\n");
    const std::string refused = (std::filesystem::current_path() / "notes.txt").string();
    landmap_window_open_land(w, refused.c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    expectFits(win, "landmap-refused-land");
    gui::click(part("landmap_example"));
    ASSERT_TRUE(await([&] { return !busy(); }));
    gui::setText(part("landmap_directions"), "many directions");
    gui::setText(part("landmap_distance"), "far");
    gui::setText(part("landmap_stopday"), "31");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("landmap_stopmonth")), 8);
    gui::setText(part("landmap_target"), "twelve hundred degree days");
    gui::click(part("landmap_compute"));
    expectFits(win, "landmap-bad-entries");
    gui::setText(part("landmap_target"), "");
    gui::setText(part("landmap_directions"), "32");
    gui::setText(part("landmap_distance"), "5000");
    // June, shaded: quick enough under the sanitizers too.
    gui::setText(part("landmap_startday"), "1");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("landmap_startmonth")), 5);
    gui::setText(part("landmap_stopday"), "30");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("landmap_stopmonth")), 5);
    gui::click(part("landmap_compute"));
    ASSERT_TRUE(await([&] { return !busy(); }));
    ASSERT_NE(landmap_window_get_map(w), nullptr);
    expectFits(win, "landmap-computed");
    // A parcel of two blocks over the example land: opened, computed, a
    // block chosen in the table.
    gui::writeFile("blocks.geojson", kTwoBlocks);
    landmap_window_open_parcel(w, (std::filesystem::current_path() / "blocks.geojson").c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    expectFits(win, "landmap-parcel-opened");
    gui::click(part("landmap_compute"));
    ASSERT_TRUE(await([&] { return !busy(); }));
    ASSERT_NE(landmap_window_get_parcel_map(w), nullptr);
    expectFits(win, "landmap-parcel-computed");
    landmap_blocks_select(GTK_TREE_VIEW(part("landmap_blocks_view")), 2);
    expectFits(win, "landmap-block-selected");
    gui::click(part("landmap_parcel_close"));
    expectFits(win, "landmap-parcel-closed");
    // A land too large to map whole, shown coarsely, an area chosen.
    std::vector<float> small(40 * 30);
    for (size_t i = 0; i < small.size(); i++) small[i] = static_cast<float>(200 + i % 40 + i / 40);
    ASSERT_TRUE(writeDemFile("small.tif", 40, 30, small, "EPSG:32610", 10.0, 476000.0 + 200000.0, 4928000.0 - 300000.0));
    gui::writeFile("huge.vrt",
                   "<VRTDataset rasterXSize=\"100000\" rasterYSize=\"100000\">"
                   "<SRS>EPSG:32610</SRS><GeoTransform>476000, 10, 0, 4928000, 0, -10</GeoTransform>"
                   "<VRTRasterBand dataType=\"Float32\" band=\"1\"><NoDataValue>-9999</NoDataValue>"
                   "<SimpleSource><SourceFilename relativeToVRT=\"1\">small.tif</SourceFilename>"
                   "<SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"40\" ySize=\"30\"/>"
                   "<DstRect xOff=\"20000\" yOff=\"30000\" xSize=\"40000\" ySize=\"30000\"/></SimpleSource>"
                   "</VRTRasterBand></VRTDataset>\n");
    landmap_window_open_land(w, (std::filesystem::current_path() / "huge.vrt").c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    ASSERT_TRUE(landmap_window_is_coarse(w));
    expectFits(win, "landmap-coarse");
    landmap_window_choose_area(w, 30000, 40000, 30, 20);
    expectFits(win, "landmap-area-chosen");
    landmap_window_open_land(w, refused.c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    expectFits(win, "landmap-refused-after-a-map");
    landmap_window_export_to(w, LANDMAP_AREA_TABLE,
                             ("/nonexistent-folder/" + std::string(200, 'x') + ".csv").c_str());
    expectFits(win, "landmap-failed-export");
    expectOneLineStatus(part("landmap_status"), "landmap-failed-export");
    // The regions' own season with a target: the hectares per region under
    // the answer, the map by region and by date. A small land, unshaded:
    // quick enough under the sanitizers too.
    std::vector<float> z(40 * 30);
    for (int r = 0; r < 30; r++)
        for (int c = 0; c < 40; c++) z[r * 40 + c] = static_cast<float>(100.0 + 15.0 * (30 - r) + 20.0 * std::sin(c * 0.4));
    ASSERT_TRUE(writeDemFile("slope.tif", 40, 30, z, "EPSG:32610", 10.0, 476000.0, 4928000.0, 1));
    landmap_window_open_land(w, (std::filesystem::current_path() / "slope.tif").c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("landmap_startmonth")), 3);
    gui::setText(part("landmap_stopday"), "31");
    gtk_combo_box_set_active(GTK_COMBO_BOX(part("landmap_stopmonth")), 9);
    gtk_switch_set_active(GTK_SWITCH(part("landmap_shade")), FALSE);
    gui::setText(part("landmap_target"), "1250");
    gui::click(part("landmap_compute"));
    ASSERT_TRUE(await([&] { return !busy(); }));
    ASSERT_NE(landmap_window_get_map(w), nullptr);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part("landmap_colour_region")), TRUE);
    expectFits(win, "landmap-by-region");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part("landmap_colour_date")), TRUE);
    expectFits(win, "landmap-by-date");
    // Two blocks on that land, the same season and target: the block
    // table's widest state (regions and target), then scrolled to its last
    // column.
    gui::writeFile("halves.geojson", R"({"type": "FeatureCollection",
 "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32610"}},
 "features": [
  {"type": "Feature", "properties": {"name": "West half"}, "geometry": {"type": "Polygon", "coordinates":
   [[[476010, 4927710], [476190, 4927710], [476190, 4927990], [476010, 4927990], [476010, 4927710]]]}},
  {"type": "Feature", "properties": {"name": "East half"}, "geometry": {"type": "Polygon", "coordinates":
   [[[476210, 4927710], [476390, 4927710], [476390, 4927990], [476210, 4927990], [476210, 4927710]]]}}]})");
    landmap_window_open_parcel(w, (std::filesystem::current_path() / "halves.geojson").c_str());
    ASSERT_TRUE(await([&] { return !busy(); }));
    gui::click(part("landmap_compute"));
    ASSERT_TRUE(await([&] { return !busy(); }));
    ASSERT_NE(landmap_window_get_parcel_map(w), nullptr);
    expectFits(win, "landmap-blocks-regions-target");
    GtkWidget *table = gtk_widget_get_ancestor(part("landmap_blocks_view"), GTK_TYPE_SCROLLED_WINDOW);
    GtkAdjustment *across = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(table));
    gtk_adjustment_set_value(across, gtk_adjustment_get_upper(across));
    expectFits(win, "landmap-blocks-scrolled");
}

TEST(Fits, StationWindow) {
    gui::start();
    gui::activate(station);
    StationWindow *w = station_open;
    ASSERT_NE(w, nullptr);
    GtkWidget *win = GTK_WIDGET(w);
    toScreenSize(win);
    expectFits(win, "station-opened");
    gui::writeFile(std::string(120, 'n').append(".csv").c_str(), "not, a, station\n1,2,3\n");
    station_window_open_file(w, (std::filesystem::current_path() / (std::string(120, 'n') + ".csv")).string().c_str());
    ASSERT_TRUE(await([w] { return !station_window_busy(w); }));
    expectFits(win, "station-refused-file");
}

TEST(Fits, Calculators) {
    gui::start();
    gui::writeFile("locale.txt", kSite);
    gui::activate(oneday);
    ASSERT_NE(c1_window, nullptr);
    expectFits(c1_window, "oneday-opened");
    // A day calculated, its times also on this computer's clock, then a
    // site that gives no figures.
    setenv("TZ", "America/Los_Angeles", 1);
    tzset();
    const std::vector<GtkWidget *> g = gui::grids(c1_window);
    ASSERT_EQ(g.size(), 3u);
    gui::setText(gui::cell(g[0], 4, 2), "21");
    gui::choose(gui::cell(g[0], 4, 3), "June");
    gui::setText(gui::cell(g[0], 4, 4), "2025");
    gui::click(gui::cell(g[2], 1, 0));
    expectFits(c1_window, "oneday-calculated");
    error_watch = 0;
    gui::setText(gui::cell(g[0], 1, 3), "-3e38");
    gui::click(gui::cell(g[2], 1, 0));
    expectFits(c1_window, "oneday-out-of-range");
    gtk_widget_destroy(c1_window);
    gui::pump();
    gui::activate(months);
    ASSERT_NE(c2_window, nullptr);
    expectFits(c2_window, "season-opened");
}

namespace {

struct rgb {
    double r, g, b;
};

double distance(const rgb &a, const rgb &b) {
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b));
}

// The mean colour of a square of the screen.
rgb meanOf(GdkPixbuf *shot, int x0, int y0, int size) {
    rgb sum{0, 0, 0};
    const int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
    const guchar *pixels = gdk_pixbuf_get_pixels(shot);
    for (int y = y0; y < y0 + size; y++)
        for (int x = x0; x < x0 + size; x++) {
            const guchar *p = pixels + y * stride + x * channels;
            sum.r += p[0] / 255.0;
            sum.g += p[1] / 255.0;
            sum.b += p[2] / 255.0;
        }
    const double n = static_cast<double>(size) * size;
    return {sum.r / n, sum.g / n, sum.b / n};
}

// How a radio button's indicator looks on the screen now: its fill, a few
// pixels inside its left edge on the row through its middle (between the
// edge and a selected one's dot), and the paper at the button's corner.
struct ring {
    rgb fill, paper;
    bool found;
};

ring ringOf(GtkWidget *window, GtkWidget *radio) {
    // The window drawn as it is now into an image of its own, not read off
    // the screen, where another test's window may lie over it.
    GtkAllocation a;
    gtk_widget_get_allocation(radio, &a);
    int x = 0, y = 0;
    gtk_widget_translate_coordinates(radio, window, 0, 0, &x, &y);
    cairo_surface_t *image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, gtk_widget_get_allocated_width(window),
                                                        gtk_widget_get_allocated_height(window));
    cairo_t *cr = cairo_create(image);
    gtk_widget_draw(window, cr);
    cairo_destroy(cr);
    GdkPixbuf *shot = gdk_pixbuf_get_from_surface(image, x, y, a.width, a.height);
    cairo_surface_destroy(image);
    ring r{};
    if (shot == nullptr) return r;
    r.paper = meanOf(shot, 0, 0, 2);
    const int middle = a.height / 2;
    for (int i = 0; i + 5 < a.width && !r.found; i++)
        if (distance(meanOf(shot, i, middle, 1), r.paper) > 0.05) {
            r.fill = meanOf(shot, i + 3, middle - 1, 2);
            r.found = true;
        }
    g_object_unref(shot);
    return r;
}

void useTheme(bool dark) {
    g_object_set(gtk_settings_get_default(), "gtk-theme-name", "Adwaita", "gtk-application-prefer-dark-theme",
                 dark ? TRUE : FALSE, "gtk-enable-animations", FALSE, nullptr);
    gui::pump();
}

// Unselected, a radio button reads as an empty ring: its fill is much the
// paper around it; selected, its fill is far from that.
void expectRadiosToldApart(GtkWidget *window, GtkWidget *one, GtkWidget *other, const char *what) {
    for (bool dark : {false, true}) {
        SCOPED_TRACE(std::string(what) + (dark ? ", dark theme" : ", light theme"));
        useTheme(dark);
        for (GtkWidget *selected : {one, other}) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(selected), TRUE);
            gui::pump();
            GtkWidget *unselected = selected == one ? other : one;
            const ring on = ringOf(window, selected), off = ringOf(window, unselected);
            ASSERT_TRUE(on.found && off.found);
            EXPECT_LT(distance(off.fill, off.paper), 0.2) << "an unselected ring looks filled";
            EXPECT_GT(distance(on.fill, off.fill), 0.35) << "selected and unselected look alike";
        }
    }
}

}  // namespace

TEST(Looks, RadioButtonsAreToldApartInEitherTheme) {
    gui::start();
    gui::writeFile("locale.txt", kSite);
    gui::activate(slopes);
    ASSERT_NE(slopes_open, nullptr);
    GtkWidget *w = GTK_WIDGET(slopes_open);
    toScreenSize(w);
    expectRadiosToldApart(w, gui::templateChild(w, "slopes_rank_degree_days"),
                          gui::templateChild(w, "slopes_rank_irradiation"), "the explorer's ranking");
    gtk_widget_destroy(w);
    gui::pump();
    gui::activate(landmap);
    ASSERT_NE(landmap_open, nullptr);
    w = GTK_WIDGET(landmap_open);
    toScreenSize(w);
    gui::click(gui::templateChild(w, "landmap_example"));
    ASSERT_TRUE(await([] { return !landmap_window_is_opening(landmap_open); }));
    // Unshaded and one month: the map is here only to make the switch speak,
    // and is quick under the sanitizers on a busy machine too.
    gtk_switch_set_active(GTK_SWITCH(gui::templateChild(w, "landmap_shade")), FALSE);
    gui::setText(gui::templateChild(w, "landmap_startday"), "1");
    gtk_combo_box_set_active(GTK_COMBO_BOX(gui::templateChild(w, "landmap_startmonth")), 5);
    gui::setText(gui::templateChild(w, "landmap_stopday"), "30");
    gtk_combo_box_set_active(GTK_COMBO_BOX(gui::templateChild(w, "landmap_stopmonth")), 5);
    gui::click(gui::templateChild(w, "landmap_compute"));
    ASSERT_TRUE(await([] { return !landmap_window_is_computing(landmap_open); }));
    expectRadiosToldApart(w, gui::templateChild(w, "landmap_colour_gdd"), gui::templateChild(w, "landmap_colour_irr"),
                          "the map's colouring");
}
