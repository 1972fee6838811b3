// The measured degree days window driven through the running program:
// opened from the menu one at a time, a station's file opened and its table
// read, a file without a unit read once the unit is chosen, a refusal said.
#include "gui_support.h"

#include "model/model.h"
#include "model/sweepSeason.h"
#include "shell/shell.h"
#include "stationwindow/stationWindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

StationWindow *openWindow() {
    gui::start();
    gui::activate(station);
    return station_open;
}

GObject *part(StationWindow *w, const char *name) {
    return gtk_widget_get_template_child(GTK_WIDGET(w), STATION_TYPE_WINDOW, (std::string("station_") + name).c_str());
}
GtkWidget *widget(StationWindow *w, const char *name) { return GTK_WIDGET(part(w, name)); }

bool awaitRun(StationWindow *w, double seconds = 60) {
    return gui::await([w] { return station_open != w || !station_window_busy(w); }, seconds) && station_open == w;
}

// The text of a row and column of a list store.
std::string cellText(GObject *store, int row, int column) {
    GtkTreeIter it;
    if (!gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(store), &it, nullptr, row)) return "<no row>";
    gchar *text = nullptr;
    gtk_tree_model_get(GTK_TREE_MODEL(store), &it, column, &text, -1);
    std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
}

std::string label(GtkWidget *l) { return gtk_label_get_text(GTK_LABEL(l)); }

// GHCN-Daily access rows, 1 April to 31 October of 2020 and 2021 at 25.0 /
// 10.0 °C (7.5 degree days a day), 2021 without 10 to 14 May.
std::string accessFile() {
    std::string text = "\"STATION\",\"DATE\",\"LATITUDE\",\"LONGITUDE\",\"ELEVATION\",\"NAME\",\"TMAX\",\"TMAX_ATTRIBUTES\","
                       "\"TMIN\",\"TMIN_ATTRIBUTES\"\n";
    const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int year : {2020, 2021})
        for (int m = 4; m <= 10; m++)
            for (int d = 1; d <= lengths[m - 1]; d++) {
                char row[256];
                const bool gone = year == 2021 && m == 5 && d >= 10 && d <= 14;
                std::snprintf(row, sizeof row,
                              "\"USC00351862\",\"%04d-%02d-%02d\",\"44.6342\",\"-123.19\",\"150.0\",\"CORVALLIS, OR US\","
                              "\"%s\",\",,7,0700\",\"100\",\",,7,0700\"\n",
                              year, m, d, gone ? "" : "250");
                text += row;
            }
    return text;
}

}  // namespace

TEST(Station, OpensFromTheMenuOneAtATimeAndEscapeCloses) {
    StationWindow *w = openWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(w)), GTK_WINDOW(window));
    for (GtkWidget *item : {station, slopes, landmap, oneday, locale}) {
        gui::activate(item);
        EXPECT_EQ(station_open, w);
    }
    GdkEvent *key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(w))));
    key->key.keyval = GDK_KEY_Escape;
    gtk_widget_event(GTK_WIDGET(w), key);
    gdk_event_free(key);
    gui::pump();
    EXPECT_EQ(station_open, nullptr);
    EXPECT_EQ(in_use, 0);
}

TEST(Station, OpensAStationsFileAndShowsItsYearsBesideTheEstimate) {
    StationWindow *w = openWindow();
    ASSERT_NE(w, nullptr);
    gui::writeFile("station.csv", accessFile());
    gui::setText(widget(w, "target"), "300");
    station_window_open_file(w, (std::filesystem::current_path() / "station.csv").c_str());
    ASSERT_TRUE(awaitRun(w));
    EXPECT_NE(label(widget(w, "file_label")).find("NOAA GHCN-Daily access CSV"), std::string::npos);
    EXPECT_EQ(gui::text(widget(w, "latitude")), "44.6342");   // the site from the file

    GObject *years = part(w, "year_store");
    const struct {
        int row, column;
        const char *text;
    } cells[] = {
        {0, 0, "2020"},
        {0, 4, "225.0"},          // April: 30 days of 7.5
        {0, 13, "1605.0"},        // the season, 214 days
        {0, 15, "10 May"},        // 300 reached on the 40th day
        {1, 5, "195.0 *"},        // May 2021: 5 days missing, incomplete
        {1, 13, "1567.5 *"},
        {1, 14, "5"},
        {1, 15, "15 May"},        // the missing days add nothing
    };
    for (const auto &c : cells) EXPECT_EQ(cellText(years, c.row, c.column), c.text) << c.row << "," << c.column;

    // Beside the estimate: the season row (after April to October) over the
    // one complete year, its estimate the season calculator's figure.
    const site_location site = {44.6342f, -123.19f, 150.0f};
    const season_range season = {2020, 1, 4, 31, 10};
    const slope flat = {180.0f, 0.0f};
    slope_season expected;
    ASSERT_EQ(sweepSeason(&site, &season, &flat, 1, &expected), 0);
    char estimate[32];
    std::snprintf(estimate, sizeof estimate, "%.1f", static_cast<double>(expected.season_degree_days));
    GObject *compared = part(w, "compare_store");
    EXPECT_EQ(cellText(compared, 7, 0), "Season");
    EXPECT_EQ(cellText(compared, 7, 1), "1");
    EXPECT_EQ(cellText(compared, 7, 2), "1605.0");
    EXPECT_EQ(cellText(compared, 7, 3), estimate);
    EXPECT_NE(label(widget(w, "summary")).find("capped at 30 °C"), std::string::npos);
    EXPECT_TRUE(gtk_widget_is_sensitive(widget(w, "export_button")));
}

TEST(Station, AsksTheUnitOfAPlainFileAndSaysWhyAFileCannotBeUsed) {
    StationWindow *w = openWindow();
    ASSERT_NE(w, nullptr);
    gui::writeFile("logger.csv", "date,tmax,tmin\n2022-04-01,77,50\n2022-04-02,86,59\n");
    station_window_open_file(w, (std::filesystem::current_path() / "logger.csv").c_str());
    ASSERT_TRUE(awaitRun(w));
    EXPECT_TRUE(gui::visible(widget(w, "unit_bar")));
    gui::click(widget(w, "fahrenheit_button"));
    ASSERT_TRUE(awaitRun(w));
    EXPECT_FALSE(gui::visible(widget(w, "unit_bar")));
    // 77 / 50 °F are 25 / 10 °C: 7.5; 86 / 59 °F are 30 / 15 °C: 12.5.
    EXPECT_EQ(cellText(part(w, "year_store"), 0, 4), "20.0 *");

    gui::writeFile("notes.txt", "not temperatures\n");
    station_window_open_file(w, (std::filesystem::current_path() / "notes.txt").c_str());
    ASSERT_TRUE(awaitRun(w));
    EXPECT_TRUE(gui::visible(widget(w, "refusal")));
    EXPECT_NE(label(widget(w, "refusal")).find("notes.txt cannot be used: it is not a daily temperature file"),
              std::string::npos);
    EXPECT_FALSE(gtk_widget_is_sensitive(widget(w, "export_button")));
}

TEST(Station, ClosingWhileAFileIsReadLetsTheWorkerEndAndFreesTheWindow) {
    StationWindow *w = openWindow();
    ASSERT_NE(w, nullptr);
    gui::writeFile("station.csv", accessFile());
    gui::setText(widget(w, "target"), "300");
    station_window_open_file(w, (std::filesystem::current_path() / "station.csv").c_str());
    ASSERT_TRUE(station_window_busy(w));
    gpointer alive = w;
    g_object_add_weak_pointer(G_OBJECT(w), &alive);
    gtk_window_close(GTK_WINDOW(w));   // as the window manager closes it
    gui::await([&] { return alive == nullptr; }, 60);
    EXPECT_EQ(alive, nullptr);   // the worker's task let go of it, its result thrown away
    EXPECT_EQ(station_open, nullptr);
    EXPECT_EQ(in_use, 0);
}
