// The map window's Winkler regions and degree-day target, driven through the
// running program: a map coloured by region draws each cell in its region's
// colour and one coloured by date marks the cells that never reach the
// target; the colourings are offered only where the map allows them and say
// why not; the presets set the threshold to the bounds between regions; the
// readout gives a cell's date; the hectares per region are said for the
// regions' own season only.
#include "gui_support.h"
#include "landmapDriving.h"

#include "demFiles.h"

#include "landmap/landmapColouring.h"
#include "landmap/landmapWindow.h"
#include "model/degreeDayTarget.h"
#include "model/winklerRegions.h"
#include "shell/shell.h"
#include "slopes/slopesWindow.h"
#include "terrain/mapTexts.h"

#include <gtest/gtest.h>
// After GoogleTest: X11 defines names it uses.
#include <gdk/gdkx.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// A small projected DEM (UTM 10N, 44.5 N 123.3 W), rising steeply to the
// north so that its cells span more than one region, with a nodata hole.
std::string writeSlope(const char *name, int cols, int rows) {
    std::vector<float> z(static_cast<size_t>(cols) * rows);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < cols; c++)
            z[r * cols + c] = static_cast<float>(100.0 + 18.0 * (rows - r) + 25.0 * std::sin(c * 0.4));
    z[(rows / 2) * cols + cols / 3] = -9999.0f;
    EXPECT_TRUE(writeDemFile(name, cols, rows, z, "EPSG:32610", 10.0, 476000.0, 4928000.0, 1));
    return (std::filesystem::current_path() / name).string();
}

GtkWidget *part(LandmapWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }

std::string label(GtkWidget *l) { return gtk_label_get_text(GTK_LABEL(l)); }

bool awaitIdle(LandmapWindow *w) { return landmapAwait(w); }

// The window with the land open and a map of the season computed, the
// target as typed ("" for none).
LandmapWindow *mapOf(int firstDay, int firstMonth, int lastDay, int lastMonth, const char *target) {
    LandmapWindow *w = landmapOpenWindow();
    if (w == nullptr) return nullptr;
    gtk_window_resize(GTK_WINDOW(w), 1024, 768);
    landmap_window_open_land(w, writeSlope("slope.tif", 30, 24).c_str());
    if (!awaitIdle(w)) return nullptr;
    landmapSetSeason(w, std::to_string(firstDay).c_str(), firstMonth, std::to_string(lastDay).c_str(), lastMonth, false);
    gui::setText(part(w, "landmap_target"), target);
    gui::click(part(w, "landmap_compute"));
    if (!awaitIdle(w) || landmap_window_get_map(w) == nullptr) return nullptr;
    return w;
}

// Every cell in full colour: a threshold below the whole land.
void thresholdToZero(LandmapWindow *w) {
    gui::setText(part(w, "landmap_threshold_entry"), "0");
    g_signal_emit_by_name(part(w, "landmap_threshold_entry"), "activate");
    gui::pump();
}

// The map's area as it draws itself now, and one pixel of it at a cell's
// centre as red, green and blue (0 to 255).
struct rgb {
    double r, g, b;
};
rgb pixelOfCell(LandmapWindow *w, int col, int row) {
    GtkWidget *area = part(w, "landmap_map_area");
    const int width = gtk_widget_get_allocated_width(area), height = gtk_widget_get_allocated_height(area);
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t *cr = cairo_create(surface);
    gtk_widget_draw(area, cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const map_frame f = landmap_window_get_frame(w);
    const int x = static_cast<int>(f.x + (col + 0.5) * f.scale), y = static_cast<int>(f.y + (row + 0.5) * f.scale);
    rgb p{-1, -1, -1};
    if (x >= 0 && y >= 0 && x < width && y < height) {
        const guint32 v = reinterpret_cast<const guint32 *>(cairo_image_surface_get_data(surface) +
                                                            y * cairo_image_surface_get_stride(surface))[x];
        p = {static_cast<double>(v >> 16 & 0xff), static_cast<double>(v >> 8 & 0xff), static_cast<double>(v & 0xff)};
    }
    cairo_surface_destroy(surface);
    return p;
}

// How far apart two colours are in hue and saturation, whatever their
// lightness: the hillshade darkens or lightens a colour, it does not turn it.
double chromaDistance(const rgb &a, double r, double g, double b) {
    const double sa = a.r + a.g + a.b, sb = r + g + b;
    return std::hypot(a.r / sa - r / sb, a.g / sa - g / sb);
}

}  // namespace

// Coloured by region, a cell of each region the land has is drawn in that
// region's colour, none nearer another region's; the legend's place keeps
// its bounds.
TEST(LandmapColouring, ByRegionEachCellIsDrawnInItsRegionsColour) {
    LandmapWindow *w = mapOf(1, 4, 31, 10, "");
    ASSERT_NE(w, nullptr);
    const land_map &m = *landmap_window_get_map(w);
    ASSERT_TRUE(gui::sensitive(part(w, "landmap_colour_region")));
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_region")), TRUE);
    thresholdToZero(w);
    // One cell of each region on the land, away from the edges.
    std::map<int, long> cellOf;
    const float *gdd = m.band(map_quantity::degree_days);
    for (int r = 2; r < m.grid.height - 2; r++)
        for (int c = 2; c < m.grid.width - 2; c++) {
            const long i = static_cast<long>(r) * m.grid.width + c;
            if (m.hasData(i)) cellOf.emplace(winklerRegion(gdd[i]), i);
        }
    ASSERT_GE(cellOf.size(), 2u) << "the land spans two regions at least";
    for (const auto &[region, cell] : cellOf) {
        const rgb p = pixelOfCell(w, static_cast<int>(cell % m.grid.width), static_cast<int>(cell / m.grid.width));
        ASSERT_GE(p.r, 0.0);
        int nearest = -1;
        double best = 1e9;
        for (int k = 0; k < WINKLER_REGIONS; k++) {
            double r, g, b;
            landmap_region_colour(k, &r, &g, &b);
            const double d = chromaDistance(p, r, g, b);
            if (d < best) best = d, nearest = k;
        }
        EXPECT_EQ(nearest, region) << "cell " << cell << ", " << gdd[cell] << " degree days";
    }
    // The hectares per region are said under the answer, with the source in the tooltip.
    EXPECT_TRUE(gui::visible(part(w, "landmap_regions")));
    EXPECT_NE(label(part(w, "landmap_regions")).find(winklerClass(cellOf.begin()->first)->name), std::string::npos);
    gchar *tip = gtk_widget_get_tooltip_text(part(w, "landmap_regions"));
    EXPECT_NE(std::string(tip != nullptr ? tip : "").find(winklerNoteText()), std::string::npos);
    g_free(tip);
}

// Coloured by date, the cells that never reach the target are drawn in the
// one colour the legend names, and the readout says a cell's date as the
// core gives it.
TEST(LandmapColouring, ByDateTheCellsNotReachingItAreMarkedAndTheReadoutSaysTheDate) {
    LandmapWindow *w = mapOf(1, 4, 31, 10, "");
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(gui::sensitive(part(w, "landmap_colour_date"))) << "no target, no dates";
    // A target between the land's least and most degree days.
    const land_map &plain = *landmap_window_get_map(w);
    const value_range range = valueRange(plain.band(map_quantity::degree_days), plain.grid.cells());
    const std::string target = std::to_string(std::lround((range.low + range.high) / 2.0));
    gui::setText(part(w, "landmap_target"), target.c_str());
    gui::click(part(w, "landmap_compute"));
    ASSERT_TRUE(awaitIdle(w));
    const land_map &m = *landmap_window_get_map(w);
    ASSERT_EQ(m.options.target, std::stod(target));
    ASSERT_TRUE(gui::sensitive(part(w, "landmap_colour_date")));
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_date")), TRUE);
    thresholdToZero(w);
    const float *days = m.band(map_quantity::target_day);
    long never = -1, reached = -1;
    for (long i = 0; i < m.grid.cells(); i++) {
        if (!m.hasData(i)) continue;
        if (days[i] == 0.0f && never < 0) never = i;
        if (days[i] > 0.0f && reached < 0) reached = i;
    }
    ASSERT_GE(never, 0);
    ASSERT_GE(reached, 0);
    const rgb p = pixelOfCell(w, static_cast<int>(never % m.grid.width), static_cast<int>(never / m.grid.width));
    EXPECT_LT(chromaDistance(p, kLandmapNotReached[0], kLandmapNotReached[1], kLandmapNotReached[2]), 0.01);

    // The readout over a cell that reaches it ends with its date.
    const int col = static_cast<int>(reached % m.grid.width), row = static_cast<int>(reached / m.grid.width);
    GtkWidget *area = part(w, "landmap_map_area");
    const map_frame f = landmap_window_get_frame(w);
    GdkEvent *e = gdk_event_new(GDK_MOTION_NOTIFY);
    e->motion.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(area)));
    e->motion.x = f.x + (col + 0.5) * f.scale;
    e->motion.y = f.y + (row + 0.5) * f.scale;
    gdk_event_set_device(e, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_widget_event(area, e);
    gdk_event_free(e);
    // Read at once: the handler has set it, and a crossing event from another
    // window on a shared display could reset it before the next look.
    const std::string said = label(part(w, "landmap_readout"));
    const std::string date = "; " + target + " degree days: " + targetDateText(m.options.season.year,
                                                                               static_cast<int>(days[reached]));
    ASSERT_GE(said.size(), date.size());
    EXPECT_EQ(said.substr(said.size() - date.size()), date);
}

// For another season the region colouring, the region hectares and the
// presets are not offered, and the colouring's tooltip says why; a region
// colouring chosen before falls back to the degree days.
TEST(LandmapColouring, AnotherSeasonOffersNoRegionsAndSaysWhy) {
    LandmapWindow *w = mapOf(1, 4, 31, 10, "");
    ASSERT_NE(w, nullptr);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_region")), TRUE);
    gui::setText(part(w, "landmap_startday"), "2");
    gui::click(part(w, "landmap_compute"));
    ASSERT_TRUE(awaitIdle(w));
    ASSERT_EQ(landmap_window_get_map(w)->options.season.start_day, 2);
    EXPECT_FALSE(gui::sensitive(part(w, "landmap_colour_region")));
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_gdd"))));
    gchar *tip = gtk_widget_get_tooltip_text(part(w, "landmap_colour_region"));
    EXPECT_EQ(std::string(tip != nullptr ? tip : ""), winklerOffSeasonText(landmap_window_get_map(w)->options.season));
    g_free(tip);
    EXPECT_FALSE(gui::visible(part(w, "landmap_regions")));
    EXPECT_FALSE(gui::sensitive(part(w, "landmap_presets")));
    EXPECT_TRUE(gui::sensitive(part(w, "landmap_threshold_entry")));
}

// Each preset sets the threshold, the entry and the answer to its bound.
TEST(LandmapColouring, PresetsSetTheThresholdToTheBoundsBetweenRegions) {
    LandmapWindow *w = mapOf(1, 4, 31, 10, "");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(gui::sensitive(part(w, "landmap_presets")));
    GtkMenu *menu = gtk_menu_button_get_popup(GTK_MENU_BUTTON(part(w, "landmap_presets")));
    ASSERT_NE(menu, nullptr);
    GList *items = gtk_container_get_children(GTK_CONTAINER(menu));
    ASSERT_EQ(static_cast<int>(g_list_length(items)), kWinklerBounds);
    int k = 0;
    for (GList *item = items; item != nullptr; item = item->next, k++) {
        gtk_menu_item_activate(GTK_MENU_ITEM(item->data));
        gui::pump();
        const float bound = static_cast<float>(winklerBound(k));
        EXPECT_EQ(landmap_window_get_threshold(w), bound) << k;
        EXPECT_EQ(gui::text(part(w, "landmap_threshold_entry")), std::to_string(static_cast<int>(bound)));
        EXPECT_EQ(label(part(w, "landmap_answer")), answerText(*landmap_window_get_map(w), bound)) << k;
    }
    g_list_free(items);
}

// A target that cannot be used says why and computes nothing.
TEST(LandmapColouring, TargetsThatCannotBeUsedSayWhy) {
    gui::start();
    gui::activate(landmap);
    LandmapWindow *w = landmap_open;
    ASSERT_NE(w, nullptr);
    landmap_window_open_land(w, writeSlope("slope.tif", 12, 10).c_str());
    ASSERT_TRUE(awaitIdle(w));
    const struct {
        const char *typed, *note;
    } cases[] = {{"0", "above 0 and at most 10000"}, {"10001", "above 0 and at most 10000"}, {"a lot", "not a number"}};
    for (const auto &c : cases) {
        gui::setText(part(w, "landmap_target"), c.typed);
        gui::click(part(w, "landmap_compute"));
        ASSERT_TRUE(awaitIdle(w));
        EXPECT_EQ(label(part(w, "landmap_target_msg")), c.note) << c.typed;
        EXPECT_EQ(landmap_window_get_map(w), nullptr) << c.typed;
    }
}

namespace {

// A made-up map of four cells of one hectare in a row: the degree days and
// target days given, a season and a target (0: none).
land_map fourCells(const season_range &season, double target, const float gdd[4], const float days[4]) {
    land_map m;
    m.grid.width = 4;
    m.grid.height = 1;
    m.grid.row_area = {10000.0};
    m.options.season = season;
    m.options.target = target;
    m.layout = band_layout(m.options);
    m.values.assign(static_cast<size_t>(m.layout.count()) * 4, 0.0f);
    for (int i = 0; i < 4; i++) {
        m.values[static_cast<size_t>(m.layout.find(map_quantity::degree_days)) * 4 + i] = gdd[i];
        if (target > 0.0) m.values[static_cast<size_t>(m.layout.find(map_quantity::target_day)) * 4 + i] = days[i];
    }
    return m;
}

}  // namespace

// Without a display: the dates' span, the hectares per region and why a
// colouring is not offered, on made-up maps.
TEST(LandmapColouring, SpanHectaresAndRefusalsOfAMadeUpMap) {
    const season_range winkler = {2024, 1, 4, 31, 10}, other = {2024, 1, 4, 30, 10};
    const float gdd[4] = {849.9f, 1111.0f, 1388.9f, kMapNodata};
    const float days[4] = {0.0f, 200.0f, 180.0f, kMapNodata};
    const land_map m = fourCells(winkler, 1150.0, gdd, days);
    landmap_day_span span{-1, -1, false};
    ASSERT_TRUE(landmap_target_span(m, &span));
    EXPECT_EQ(span.first, 180);
    EXPECT_EQ(span.last, 200);
    EXPECT_TRUE(span.some_not_reached);
    EXPECT_FALSE(landmap_target_span(fourCells(winkler, 0.0, gdd, days), &span)) << "no target, no span";

    // A bound belongs to the warmer region; the cell without data counts nowhere.
    EXPECT_EQ(landmap_region_hectares_text(m), "Winkler regions: too cool 1.00, Ib 2.00 ha.");
    EXPECT_EQ(landmap_region_hectares_text(fourCells(other, 0.0, gdd, days)), "") << "another season";

    const land_map noTarget = fourCells(winkler, 0.0, gdd, days), otherSeason = fourCells(other, 1150.0, gdd, days);
    const struct {
        const char *what;
        const land_map *map;
        landmap_colour_by by;
        bool offered;
    } cases[] = {
        {"a map to come, by region", nullptr, LANDMAP_BY_REGION, true},
        {"a map to come, by date", nullptr, LANDMAP_BY_TARGET_DATE, true},
        {"1 April to 31 October, by region", &m, LANDMAP_BY_REGION, true},
        {"another season, by region", &otherSeason, LANDMAP_BY_REGION, false},
        {"another season with a target, by date", &otherSeason, LANDMAP_BY_TARGET_DATE, true},
        {"no target, by date", &noTarget, LANDMAP_BY_TARGET_DATE, false},
    };
    for (const auto &c : cases) EXPECT_EQ(landmap_colouring_refusal(c.map, c.by).empty(), c.offered) << c.what;
}

namespace {

// Photographs a window as it is drawn now, 1024 × 768, into folder/name.
void photograph(GtkWidget *window, const std::string &path) {
    for (int i = 0; i < 40; i++) {
        gui::pump();
        g_usleep(20000);
    }
    gchar *command = g_strdup_printf("import -window 0x%lx '%s'",
                                     static_cast<unsigned long>(gdk_x11_window_get_xid(gtk_widget_get_window(window))),
                                     path.c_str());
    EXPECT_EQ(std::system(command), 0) << command;
    g_free(command);
}

std::string shotName(const char *what) {
    const char *theme = std::getenv("GTK_THEME");
    const bool dark = theme != nullptr && std::string(theme).find("dark") != std::string::npos;
    return std::string(std::getenv("VERANTA_SHOTS")) + "/winkler26_" + what + (dark ? "_dark.png" : "_light.png");
}

}  // namespace

// Not a check: photographs of the map window with the example land coloured
// by region and by date, and of the explorer with a target (run with
// --gtest_also_run_disabled_tests and VERANTA_SHOTS=folder, GTK_THEME for
// the theme).
TEST(LandmapColouring, DISABLED_Screenshots) {
    ASSERT_NE(std::getenv("VERANTA_SHOTS"), nullptr);
    gui::start();
    gui::writeFile("locale.txt", "latitude  44.5493\nlongitude  -123.3530\nelevation  240\naspect  180\ntilt  10\n");
    gui::activate(landmap);
    LandmapWindow *w = landmap_open;
    ASSERT_NE(w, nullptr);
    gtk_window_move(GTK_WINDOW(w), 0, 0);
    gtk_window_resize(GTK_WINDOW(w), 1024, 768);
    gui::click(part(w, "landmap_example"));
    ASSERT_TRUE(awaitIdle(w));
    gui::setText(part(w, "landmap_target"), "1250");
    gui::click(part(w, "landmap_compute"));
    ASSERT_TRUE(awaitIdle(w));
    ASSERT_NE(landmap_window_get_map(w), nullptr);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_region")), TRUE);
    photograph(GTK_WIDGET(w), shotName("landmap_region"));
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "landmap_colour_date")), TRUE);
    photograph(GTK_WIDGET(w), shotName("landmap_date"));
    gtk_widget_destroy(GTK_WIDGET(w));
    gui::pump();

    gui::activate(slopes);
    ASSERT_NE(slopes_open, nullptr);
    GtkWidget *e = GTK_WIDGET(slopes_open);
    gtk_window_move(GTK_WINDOW(e), 0, 0);
    gtk_window_resize(GTK_WINDOW(e), 1024, 768);
    gui::setText(gui::templateChild(e, "slopes_target"), "1250");
    gui::click(gui::templateChild(e, "slopes_compare"));
    gui::await([] { return !slopes_window_is_comparing(slopes_open); });
    photograph(e, shotName("explorer"));
}
