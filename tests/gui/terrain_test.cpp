// The terrain map window driven through the running program: opening a DEM
// and refusing what cannot be used, Compute equal to the terrain core's own
// map, a click selecting the cell under it, the GeoTIFF export read back and
// equal to veranta-map's file, a changed DEM computed again, and closing by
// the window manager while a map computes.
#include "gui_support.h"

#include "demFiles.h"

#include "landmap/landmap.h"
#include "terrain/internals.h"
#include "model/model.h"
#include "shell/shell.h"
#include "slopes/slopesWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gdal.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// A small projected DEM (UTM 10N, 44.5 N 123.3 W): a slope rising to the
// north with a bump, a nodata hole, optional second band and CRS.
std::string writeDem(const char *name, int cols, int rows, bool crs = true, int bands = 1) {
    std::vector<float> z(static_cast<size_t>(cols) * rows);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < cols; c++)
            z[r * cols + c] = static_cast<float>(150.0 + 4.0 * (rows - r) + 30.0 * std::sin(c * 0.3) * std::cos(r * 0.2));
    z[(rows / 2) * cols + cols / 3] = -9999.0f;
    EXPECT_TRUE(writeDemFile(name, cols, rows, z, crs ? "EPSG:32610" : nullptr, 10.0, 476000.0, 4928000.0, bands));
    return (std::filesystem::current_path() / name).string();
}

lm_window *openWindow() {
    gui::start();
    gui::activate(terrain);
    return terrain_open;
}

// Waits for the computation under way to be taken in.
bool awaitRun(lm_window *w, double seconds = 100) {
    gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(seconds * G_USEC_PER_SEC);
    while (terrain_open == w && (w->running != nullptr || w->exporting != nullptr) &&
           g_get_monotonic_time() < deadline) {
        gtk_main_iteration_do(FALSE);
        if (!gtk_events_pending()) g_usleep(2000);
    }
    gui::pump();
    return terrain_open != w || (w->running == nullptr && w->exporting == nullptr);
}

std::string label(GtkWidget *l) { return gtk_label_get_text(GTK_LABEL(l)); }

void compute(lm_window *w, const char *first, int firstMonth, const char *last, int lastMonth, bool shade) {
    gui::setText(w->entry_startday, first);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->combo_startmonth), firstMonth - 1);
    gui::setText(w->entry_stopday, last);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->combo_stopmonth), lastMonth - 1);
    gtk_switch_set_active(GTK_SWITCH(w->shade), shade);
    gui::click(w->button_compute);
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(Terrain, OpensFromTheMenuOneAtATimeAndEscapeCloses) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(w->window)), GTK_WINDOW(window));
    for (GtkWidget *item : {terrain, slopes, oneday, months, locale, about}) {
        gui::activate(item);
        EXPECT_EQ(terrain_open, w);
        EXPECT_EQ(slopes_open, nullptr);
    }
    GdkEvent *key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(w->window)));
    key->key.keyval = GDK_KEY_Escape;
    gtk_widget_event(w->window, key);
    gdk_event_free(key);
    gui::pump();
    EXPECT_EQ(terrain_open, nullptr);
    EXPECT_EQ(in_use, 0);
}

TEST(Terrain, OpensADemAndSaysWhyAFileCannotBeUsed) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    struct Case {
        std::string path;
        const char *says;   // in the land's description, or in the refusal
        bool usable;
    };
    gui::writeFile("notes.txt", "not a raster\n");
    const Case cases[] = {
        {writeDem("land.tif", 40, 30), "40 × 30 cells of 10.0 × 10.0 m, 12.0 ha\nWGS 84 / UTM zone 10N", true},
        {writeDem("nocrs.tif", 20, 20, false), "coordinate reference system", false},
        {writeDem("two.tif", 20, 20, true, 2), "band", false},
        {(std::filesystem::current_path() / "notes.txt").string(), "notes.txt cannot be used", false},
        {"/nonexistent/land.tif", "land.tif cannot be used", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        lm_OpenLand(w, c.path.c_str());
        gui::pump();
        EXPECT_EQ(w->land.usable, c.usable);
        EXPECT_EQ(gui::visible(w->refusal), !c.usable);
        std::string shown = label(c.usable ? w->land_info : w->refusal);
        EXPECT_NE(shown.find(c.says), std::string::npos) << shown;
    }
    // A refused file leaves nothing to compute.
    gui::click(w->button_compute);
    EXPECT_EQ(w->running, nullptr);
}

TEST(Terrain, ComputeEqualsTheCoreAndAClickSelectsTheCellUnderIt) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    std::string path = writeDem("land.tif", 36, 28);
    lm_OpenLand(w, path.c_str());
    compute(w, "10", 5, "20", 7, true);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_NE(w->map, nullptr) << label(w->status);

    dem_source dem;
    std::string refusal;
    ASSERT_EQ(openDem(path, 0, &dem, &refusal), TERRAIN_OK);
    map_options o;
    o.season = {w->map->options.season.year, 10, 5, 20, 7};
    land_map core;
    ASSERT_EQ(computeMap(&dem, &o, nullptr, nullptr, nullptr, &core, &refusal), TERRAIN_OK);
    closeDem(&dem);
    const land_map &m = *w->map;
    const long cells = m.grid.cells();
    ASSERT_EQ(core.layout.count(), 5 + 2 * 3);
    ASSERT_EQ(m.layout.count(), core.layout.count());
    ASSERT_EQ(cells, 36L * 28);
    int differ = 0;
    for (size_t i = 0; i < core.values.size(); i++) differ += !sameBits(m.values[i], core.values[i]);
    EXPECT_EQ(differ, 0);

    // The threshold starts at the median, rounded down: at least half the land reaches it.
    threshold_area a = thresholdArea(m.band(map_quantity::degree_days), m.grid.width, m.grid.height,
                                     m.grid.row_area.data(), w->threshold);
    EXPECT_GE(a.at_least_ha, a.total_ha / 2.0);
    EXPECT_NEAR(a.total_ha, (cells - 1) * 100.0 / 1e4, 1e-9);

    // Clicks at fitted and zoomed frames select the cell under them.
    for (double factor : {1.0, 3.0, 2.5}) {
        w->frame = mapZoom(&w->frame, factor, 120.0, 90.0);
        for (int c : {0, 17, 35}) {
            int r = (c * 7) % 28;
            double x = w->frame.x + (c + 0.5) * w->frame.scale, y = w->frame.y + (r + 0.5) * w->frame.scale;
            if (x < 0 || y < 0 || x >= gtk_widget_get_allocated_width(w->map_area) ||
                y >= gtk_widget_get_allocated_height(w->map_area))
                continue;
            for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
                GdkEvent *e = gdk_event_new(type);
                e->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(w->map_area)));
                e->button.x = x;
                e->button.y = y;
                e->button.button = GDK_BUTTON_PRIMARY;
                gdk_event_set_device(e, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
                gtk_widget_event(w->map_area, e);
                gdk_event_free(e);
            }
            gui::pump();
            EXPECT_EQ(w->selected_col, c) << factor;
            EXPECT_EQ(w->selected_row, r) << factor;
        }
    }
    // The selected cell's months are the map's own.
    GtkTreeIter it;
    ASSERT_TRUE(gtk_tree_model_get_iter_first(GTK_TREE_MODEL(w->months_store), &it));
    gchar *gdd = nullptr;
    gtk_tree_model_get(GTK_TREE_MODEL(w->months_store), &it, 3, &gdd, -1);
    gchar *expect = decimalText(m.band(map_quantity::degree_days, 5)[w->selected_row * m.grid.width + w->selected_col], 2);
    EXPECT_STREQ(gdd, expect);
    g_free(gdd);
    g_free(expect);
}

TEST(Terrain, ExportsTheGeoTiffAndSaysWhenAWriteFails) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    std::string path = writeDem("land.tif", 24, 20);
    lm_OpenLand(w, path.c_str());
    compute(w, "1", 6, "30", 7, false);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_NE(w->map, nullptr);

    std::string out = (std::filesystem::current_path() / "map.tif").string();
    lm_ExportTo(w, 0, out.c_str());
    ASSERT_TRUE(awaitRun(w));
    EXPECT_NE(label(w->status).find("GeoTIFF written"), std::string::npos) << label(w->status);
    GDALDatasetH ds = GDALOpen(out.c_str(), GA_ReadOnly);
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(GDALGetRasterCount(ds), 5 + 4);
    std::vector<float> gdd(24 * 20), july(24 * 20);
    ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, 24, 20, gdd.data(), 24, 20, GDT_Float32, 0, 0), CE_None);
    ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 9), GF_Read, 0, 0, 24, 20, july.data(), 24, 20, GDT_Float32, 0, 0), CE_None);
    GDALClose(ds);
    int differ = 0;
    for (int i = 0; i < 24 * 20; i++)
        differ += !sameBits(w->map->band(map_quantity::degree_days)[i], gdd[i]) +
                  !sameBits(w->map->band(map_quantity::degree_days, 7)[i], july[i]);
    EXPECT_EQ(differ, 0);

    // It is the file veranta-map writes for the same land, season and
    // shading: metadata, band descriptions and every pixel, shaded or not.
    for (bool shade : {false, true}) {
        SCOPED_TRACE(shade ? "shaded" : "unshaded");
        if (shade) {
            compute(w, "1", 6, "30", 7, true);
            ASSERT_TRUE(awaitRun(w));
            lm_ExportTo(w, 0, out.c_str());
            ASSERT_TRUE(awaitRun(w));
        }
        const map_options &s = w->map->options;
        ASSERT_EQ(s.shade, shade);
        const std::string cli = (std::filesystem::current_path() / "cli.tif").string();
        gchar *command = g_strdup_printf("'%s' --quiet --year %d --from 1/6 --to 30/7 %s --directions %d --distance %g '%s' '%s'",
                                         VERANTA_MAP_EXE, s.season.year, shade ? "" : "--no-shade", s.directions,
                                         static_cast<double>(s.distance), path.c_str(), cli.c_str());
        ASSERT_EQ(std::system(command), 0) << command;
        g_free(command);
        const std::string written = mapFileText(cli);
        ASSERT_NE(written.find(shade ? "SHADING=terrain" : "SHADING=none"), std::string::npos);
        EXPECT_TRUE(mapFileText(out) == written);
    }

    // Into a folder that is not there: said in the window, no file left.
    for (int kind : {0, 1, 2}) {
        lm_ExportTo(w, kind, "/nonexistent-folder/out.tif");
        ASSERT_TRUE(awaitRun(w));
        EXPECT_NE(label(w->status).find("Not written"), std::string::npos) << kind;
    }
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder"));
}

// The session's maps are kept by file, not by name only: a DEM edited or
// replaced under the same name is computed again, an unchanged one is not.
TEST(Terrain, AChangedDemIsComputedAgain) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    std::string path = writeDem("land.tif", 16, 12);
    lm_OpenLand(w, path.c_str());
    compute(w, "1", 6, "30", 7, false);
    ASSERT_TRUE(awaitRun(w));
    auto setModified = [&](time_t seconds) {
        struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    };
    const struct {
        const char *what;
        std::function<void()> change;
        bool again;
    } cases[] = {
        {"unchanged", [] {}, false},
        {"modified later", [&] { setModified(time(nullptr) + 60); }, true},
        {"grown, same time", [&] {
             struct stat st;
             stat(path.c_str(), &st);
             gui::writeFile("land.tif", std::string(std::filesystem::file_size(path) + 4, '\0'));
             setModified(st.st_mtim.tv_sec);
         }, true},
    };
    for (const auto &c : cases) {
        c.change();
        gui::click(w->button_compute);
        EXPECT_EQ(w->running != nullptr, c.again) << c.what;
        ASSERT_TRUE(awaitRun(w));
    }
}

TEST(Terrain, ClosingWhileAMapComputesCancelsIt) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    std::string path = writeDem("land.tif", 300, 300);
    lm_OpenLand(w, path.c_str());
    compute(w, "1", 4, "31", 10, true);
    ASSERT_NE(w->running, nullptr);
    g_usleep(300000);
    gui::pump();
    gtk_window_close(GTK_WINDOW(w->window));
    gui::pump();
    EXPECT_EQ(terrain_open, nullptr);
    EXPECT_EQ(in_use, 0);
    // The worker stops at its next check, long before the seconds the whole
    // season of 90,000 shaded cells takes; the window opens again meanwhile.
    gint64 closed = g_get_monotonic_time();
    while (lm_RunsUnderWay() > 0 && g_get_monotonic_time() - closed < 20 * G_USEC_PER_SEC) {
        gtk_main_iteration_do(FALSE);
        g_usleep(2000);
    }
    EXPECT_EQ(lm_RunsUnderWay(), 0);
    EXPECT_LT(g_get_monotonic_time() - closed, 1500000);
    gui::activate(terrain);
    ASSERT_NE(terrain_open, nullptr);
    gtk_widget_destroy(terrain_open->window);
    gui::pump();
}

// The cell-months CSV flags each month whose degree days come from where the
// formula runs backwards; a season from 20 July takes its July degree days
// from the whole July, so the whole July decides, as the slope sweep of that
// cell over whole months says (without shading the cell is that sweep).
TEST(Terrain, CellMonthsCsvFlagsAPartMonthByTheWholeMonth) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    lm_OpenLand(w, writeDem("land.tif", 24, 20).c_str());
    compute(w, "20", 7, "31", 8, false);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_NE(w->map, nullptr);
    const land_map &m = *w->map;
    gdd_falls falls;
    findGddFalls(&falls);
    const season_range whole = {m.options.season.year, 1, 7, 31, 8};
    slope_season s{};
    int zone = 0;
    for (long i = 0; i < m.grid.cells() && w->selected_col < 0; i++) {
        if (!m.hasData(i)) continue;
        site_location site{0.0f, 0.0f, m.elevation[i]};
        blockPoint(m.latitude[i], m.longitude[i], &site.latitude, &site.longitude);
        const slope sl = {m.band(map_quantity::aspect)[i], m.band(map_quantity::tilt)[i]};
        ASSERT_EQ(sweepSeason(&site, &whole, &sl, 1, &s), 0);
        zone = gddZone(site.latitude);
        if (!gddFalls(&falls, zone, 7, s.month_irradiation[6])) continue;
        w->selected_col = static_cast<int>(i % m.grid.width);
        w->selected_row = static_cast<int>(i / m.grid.width);
    }
    ASSERT_GE(w->selected_col, 0) << "no cell whose whole July lies beyond the turn";
    std::string path = (std::filesystem::current_path() / "cell.csv").string();
    ASSERT_TRUE(lm_ExportTo(w, 3, path.c_str())) << label(w->status);
    bool exists = false;
    std::string csv = gui::readFile(path.c_str(), &exists);
    ASSERT_TRUE(exists);
    std::vector<std::string> rows;
    for (size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
        rows.push_back(csv.substr(at, end - at));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(rows[0].find(",fewer degree days for more sun (1 yes)"), std::string::npos) << rows[0];
    for (int k = 0; k < 2; k++) {
        const std::string &row = rows[1 + k];
        const bool want = gddFalls(&falls, zone, 7 + k, s.month_irradiation[6 + k]);
        EXPECT_EQ(row.substr(row.rfind(',') + 1), want ? "1" : "0") << row;
    }
    EXPECT_EQ(rows[3].back(), ',') << "the season row has no flag";
}

// A real-looking land for the screenshots and the measured run: hills and
// valleys of several sizes (value noise, six octaves) on n × n cells of 10 m,
// 150 to 550 m, west of Corvallis.
std::string writeRollingDem(const char *name, int n) {
    auto hash = [](int x, int y, int o) {
        unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u + o * 2246822519u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return ((h ^ (h >> 16)) & 0xffffff) / 16777215.0;
    };
    auto noise = [&](double x, double y, int o) {
        int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        double fx = x - ix, fy = y - iy, sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        double a = hash(ix, iy, o), b = hash(ix + 1, iy, o), c = hash(ix, iy + 1, o), d = hash(ix + 1, iy + 1, o);
        return a + (b - a) * sx + (c - a) * sy + (a - b - c + d) * sx * sy;
    };
    std::vector<float> z(static_cast<size_t>(n) * n);
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            double v = 0, amp = 1, total = 0;
            for (int o = 0; o < 6; o++, amp *= 0.5) {
                double f = 3.0 * (1 << o) / 1000.0;
                v += amp * noise(c * f, r * f, o);
                total += amp;
            }
            v /= total;
            z[static_cast<size_t>(r) * n + c] = static_cast<float>(150.0 + 400.0 * std::clamp((v - 0.2) / 0.6, 0.0, 1.0));
        }
    EXPECT_TRUE(writeDemFile(name, n, n, z, "EPSG:32610", 10.0, 470000.0, 4910000.0));
    return (std::filesystem::current_path() / name).string();
}

// Not a check: makes the README's screenshot (run with
// --gtest_also_run_disabled_tests, VERANTA_SHOT=file.png, on a 1024 × 768
// display; the example land, or VERANTA_SHOT_DEM=N cells of rolling land).
TEST(Terrain, DISABLED_Screenshot) {
    const char *shot = std::getenv("VERANTA_SHOT");
    ASSERT_NE(shot, nullptr);
    gui::start();
    gui::writeFile("locale.txt", "latitude  44.5493\nlongitude  -123.3530\nelevation  240\naspect  180\ntilt  10\n");
    gui::activate(terrain);
    lm_window *w = terrain_open;
    ASSERT_NE(w, nullptr);
    gtk_window_move(GTK_WINDOW(w->window), 0, 0);
    gtk_window_resize(GTK_WINDOW(w->window), 1024, 768);
    const char *size = std::getenv("VERANTA_SHOT_DEM");
    if (size != nullptr)
        lm_OpenLand(w, writeRollingDem("rolling.tif", std::atoi(size)).c_str());
    else
        gui::click(w->button_example);
    gui::click(w->button_compute);
    ASSERT_TRUE(awaitRun(w, 600));
    ASSERT_NE(w->map, nullptr);
    for (int i = 0; i < 30; i++) {
        gui::pump();
        g_usleep(20000);
    }
    const land_map &m = *w->map;
    w->selected_col = m.grid.width * 2 / 5;
    w->selected_row = m.grid.height * 3 / 5;
    lm_ShowCell(w);
    gtk_label_set_text(GTK_LABEL(w->readout), spotText(&m, m.grid.width / 2, m.grid.height / 3).c_str());
    gtk_widget_queue_draw(w->map_area);
    for (int i = 0; i < 30; i++) {
        gui::pump();
        g_usleep(20000);
    }
    std::string command = std::string("import -window root ") + shot;
    EXPECT_EQ(std::system(command.c_str()), 0);
    const char *saved = std::getenv("VERANTA_SHOT_MAP");
    if (saved != nullptr) {
        EXPECT_TRUE(lm_ExportTo(w, 1, saved));
    }
}

// Not a check: the README's speed figures, measured in the real window on a
// 1,000 × 1,000 land: the compute, the longest main-loop stall meanwhile,
// showing the result, and frames of panning and zooming (run as above).
TEST(Terrain, DISABLED_MeasureSpeed) {
    lm_window *w = openWindow();
    ASSERT_NE(w, nullptr);
    gtk_window_resize(GTK_WINDOW(w->window), 1024, 768);
    lm_OpenLand(w, writeRollingDem("rolling.tif", 1000).c_str());
    gint64 start = g_get_monotonic_time(), last = start, stall = 0;
    gui::click(w->button_compute);
    while (w->running != nullptr) {
        gtk_main_iteration_do(FALSE);
        gint64 now = g_get_monotonic_time();
        stall = std::max(stall, now - last);
        last = now;
        if (!gtk_events_pending()) g_usleep(1000);
    }
    std::printf("compute of 1,000,000 cells, shaded: %.1f s; longest main-loop stall: %.1f ms\n",
                (g_get_monotonic_time() - start) / 1e6, stall / 1e3);
    ASSERT_NE(w->map, nullptr);
    std::shared_ptr<const land_map> map = w->map;
    auto frame = [&]() {
        gint64 t = g_get_monotonic_time();
        gtk_widget_queue_draw(w->map_area);
        // Drawn now rather than on the next frame clock tick, to be timed.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_updates(gtk_widget_get_window(w->map_area), TRUE);
        G_GNUC_END_IGNORE_DEPRECATIONS
        gdk_display_sync(gdk_display_get_default());
        return (g_get_monotonic_time() - t) / 1e3;
    };
    gint64 t = g_get_monotonic_time();
    lm_ShowMap(w, map);
    double first = frame();
    std::printf("showing the map (threshold, image, histogram) and its first frame: %.1f ms\n",
                (g_get_monotonic_time() - t) / 1e3 + first);
    for (double factor : {1.0, 2.0, 8.0}) {
        if (factor > 1.0) w->frame = mapZoom(&w->frame, factor, 300, 200);
        double worst = 0, sum = 0;
        for (int i = 0; i < 40; i++) {
            w->frame.x += (i % 2 ? -9 : 9);
            double ms = frame();
            worst = std::max(worst, ms);
            sum += ms;
        }
        std::printf("pan at %.2f px a cell: mean %.1f ms, worst %.1f ms a frame\n", w->frame.scale, sum / 40, worst);
    }
    double worst = 0, sum = 0;
    for (int i = 0; i < 20; i++) {
        w->frame = mapZoom(&w->frame, i < 10 ? 0.8 : 1.25, 300, 200);
        double ms = frame();
        worst = std::max(worst, ms);
        sum += ms;
    }
    std::printf("zoom by the wheel's step: mean %.1f ms, worst %.1f ms a frame\n", sum / 20, worst);
    t = g_get_monotonic_time();
    lm_SetThreshold(w, w->threshold + 10);
    std::printf("moving the threshold (answer, image, histogram) and a frame: %.1f ms\n",
                (g_get_monotonic_time() - t) / 1e3 + frame());
}
