// Get elevation in the map window against a real web server on loopback
// (nginx serving a made-up 3DEP tile): a parcel opened without a land,
// its elevation fetched through the dialog and opened as the land, the
// source and its credit said under the map and under the saved map; the
// dialog closing on Escape and saying a failure in one sentence.
#include "gui_support.h"

#include "../elevation/loopbackServer.h"
#include "demFiles.h"

#include "landmap/landmapElevation.h"
#include "landmap/landmapWindow.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

// After GoogleTest: X11 defines names it uses.
#include <gdk/gdkx.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <gdal.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// A parcel of about 150 × 110 m in the tile n45w124 (44°-45° N, 124°-123° W).
const char *const kParcel = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"name": "Hill Block"}, "geometry": {"type": "Polygon", "coordinates":
  [[[-123.502, 44.501], [-123.500, 44.501], [-123.500, 44.502], [-123.502, 44.502], [-123.502, 44.501]]]}}]})";

// A COG of the 1° square (south, west) at 10″, a plane rising east.
void writeTile(const std::string &path, int south, int west) {
    const int n = 360;
    std::vector<float> z(static_cast<size_t>(n) * n);
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) z[static_cast<size_t>(j) * n + i] = static_cast<float>(200.0 + 2.0 * i + 0.5 * j);
    const char *const options[] = {"BLOCKSIZE=128", nullptr};
    ASSERT_TRUE(writeCogFile(path, n, n, z, "EPSG:4326", 1.0 / n, west, south + 1.0, options)) << path;
}

// A photograph of a window, when VERANTA_SHOTS names a folder for it.
void shot(GtkWidget *window, const char *name) {
    const char *folder = std::getenv("VERANTA_SHOTS");
    if (folder == nullptr) return;
    gtk_window_resize(GTK_WINDOW(window), 1, 1);
    for (int i = 0; i < 20; i++) {
        gui::pump();
        g_usleep(10000);
    }
    const char *theme = std::getenv("GTK_THEME");
    const std::string path = std::string(folder) + "/" + name +
                             (theme != nullptr && std::string(theme).find("dark") != std::string::npos ? "-dark" : "-light") +
                             ".png";
    gchar *command = g_strdup_printf("import -window 0x%lx '%s'",
                                     static_cast<unsigned long>(gdk_x11_window_get_xid(gtk_widget_get_window(window))),
                                     path.c_str());
    EXPECT_EQ(std::system(command), 0) << command;
    g_free(command);
}

GtkWidget *part(GtkWidget *w, const char *id) { return gui::templateChild(w, id); }

std::string label(GtkWidget *w, const char *id) { return gtk_label_get_text(GTK_LABEL(part(w, id))); }

// The Get elevation dialog open now, or null.
LandmapElevation *dialog() {
    LandmapElevation *found = nullptr;
    GList *all = gtk_window_list_toplevels();
    for (GList *l = all; l != nullptr; l = l->next)
        if (LANDMAP_IS_ELEVATION(l->data) && gtk_widget_get_visible(GTK_WIDGET(l->data)))
            found = LANDMAP_ELEVATION(l->data);
    g_list_free(all);
    return found;
}

using gui::await;

class elevation_window : public ::testing::Test {
public:
    std::string root;
    std::unique_ptr<loopback_server> server;
    LandmapWindow *w = nullptr;

    void SetUp() override {
        gui::start();
        GDALAllRegister();
        root = std::filesystem::current_path().string();
        for (const char *sub : {"/www", "/www/3dep", "/www/3dep/n45w124", "/www/copernicus", "/server", "/cache"})
            mkdir((root + sub).c_str(), 0700);
        writeTile(root + "/www/3dep/n45w124/USGS_13_n45w124.tif", 44, -124);
        server = std::make_unique<loopback_server>(root + "/www", root + "/server");
        std::string error;
        ASSERT_TRUE(server->start(&error)) << error;
        // Never the real services.
        setenv("VERANTA_3DEP_URL", (server->url() + "/3dep").c_str(), 1);
        setenv("VERANTA_COPERNICUS_URL", (server->url() + "/copernicus").c_str(), 1);
        setenv("VERANTA_CACHE_DIR", (root + "/cache").c_str(), 1);
        gui::activate(landmap);
        w = landmap_open;
        ASSERT_NE(w, nullptr);
        gui::setText(part(GTK_WIDGET(w), "landmap_distance"), "300");
    }
    bool idle() {
        return !landmap_window_is_computing(w) && !landmap_window_is_opening(w) && !landmap_window_is_exporting(w);
    }
};

}  // namespace

TEST_F(elevation_window, AParcelsElevationIsFetchedOpenedAndCredited) {
    gui::writeFile("hill.geojson", kParcel);
    landmap_window_open_parcel(w, (root + "/hill.geojson").c_str());
    ASSERT_TRUE(await([&] { return idle(); }));
    EXPECT_NE(label(GTK_WIDGET(w), "landmap_parcel_info").find("Get elevation"), std::string::npos);
    gui::click(part(GTK_WIDGET(w), "landmap_get_elevation"));
    LandmapElevation *d = dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(d)), GTK_WINDOW(w));
    EXPECT_FALSE(gtk_widget_get_visible(part(GTK_WIDGET(d), "elevation_area_grid"))) << "the parcel gives the area";
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(GTK_WIDGET(d), "elevation_source")), 2);
    EXPECT_NE(label(GTK_WIDGET(d), "elevation_licence").find("public domain"), std::string::npos)
        << label(GTK_WIDGET(d), "elevation_licence");
    EXPECT_EQ(label(GTK_WIDGET(d), "elevation_size_said").rfind("To fetch: ", 0), 0u)
        << label(GTK_WIDGET(d), "elevation_size_said");
    shot(GTK_WIDGET(d), "elevation-dialog");
    gui::click(part(GTK_WIDGET(d), "elevation_fetch"));
    ASSERT_TRUE(await([&] { return dialog() == nullptr && idle(); }));
    ASSERT_TRUE(landmap_window_land_usable(w)) << label(GTK_WIDGET(w), "landmap_refusal");
    EXPECT_NE(label(GTK_WIDGET(w), "landmap_land_info").find("UTM zone 10N"), std::string::npos);
    const std::string credit = label(GTK_WIDGET(w), "landmap_credit");
    EXPECT_TRUE(gtk_widget_get_visible(part(GTK_WIDGET(w), "landmap_credit")));
    EXPECT_NE(credit.find("bare earth"), std::string::npos) << credit;
    EXPECT_NE(credit.find("U.S. Geological Survey, 3D Elevation Program"), std::string::npos) << credit;
    // The credit under the map leaves the window within 1024 × 768.
    int width = 0, height = 0;
    gtk_widget_get_preferred_width(GTK_WIDGET(w), &width, nullptr);
    gtk_widget_get_preferred_height_for_width(GTK_WIDGET(w), 1024, &height, nullptr);
    EXPECT_LE(width, 1024);
    EXPECT_LE(height, 768);
    // The parcel is placed on the fetched land and computes.
    EXPECT_EQ(label(GTK_WIDGET(w), "landmap_parcel_info").find("Get elevation"), std::string::npos);
    gui::click(part(GTK_WIDGET(w), "landmap_compute"));
    ASSERT_TRUE(await([&] { return idle(); }));
    ASSERT_NE(landmap_window_get_parcel_map(w), nullptr) << label(GTK_WIDGET(w), "landmap_status");
    shot(GTK_WIDGET(w), "elevation-fetched");
    // The saved map carries the credit under it: a taller page.
    ASSERT_TRUE(landmap_window_export_to(w, LANDMAP_SAVED_MAP, (root + "/map.png").c_str()));
    cairo_surface_t *png = cairo_image_surface_create_from_png((root + "/map.png").c_str());
    EXPECT_EQ(cairo_image_surface_get_height(png), 64 + 700 + 40);
    cairo_surface_destroy(png);
}

TEST_F(elevation_window, TheDialogSaysAFailureInOneSentenceAndEscapeCloses) {
    gui::click(part(GTK_WIDGET(w), "landmap_get_elevation"));
    LandmapElevation *d = dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(gtk_widget_get_visible(part(GTK_WIDGET(d), "elevation_area_grid"))) << "no parcel: a centre";
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(GTK_WIDGET(d), "elevation_source")), 2);
    gui::setText(part(GTK_WIDGET(d), "elevation_latitude"), "44.5");
    gui::setText(part(GTK_WIDGET(d), "elevation_longitude"), "-120.5");   // no tile served there
    gui::setText(part(GTK_WIDGET(d), "elevation_size"), "500");
    gui::click(part(GTK_WIDGET(d), "elevation_fetch"));
    ASSERT_TRUE(await([&] { return !landmap_elevation_is_fetching(d); }));
    const std::string said = label(GTK_WIDGET(d), "elevation_status");
    EXPECT_FALSE(said.empty());
    EXPECT_FALSE(landmap_window_land_usable(w));
    GdkEvent *key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(d))));
    key->key.keyval = GDK_KEY_Escape;
    gtk_widget_event(GTK_WIDGET(d), key);
    gdk_event_free(key);
    gui::pump();
    EXPECT_EQ(dialog(), nullptr);
}
