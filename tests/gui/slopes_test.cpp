// The slope explorer driven through the running program: opening under the
// one-at-a-time rule, a comparison of the stored site, selecting a slope,
// the checks of its entries, exports read back (also on a decimal-comma
// desktop), failed exports, and closing by the window manager mid-sweep.
#include "gui_support.h"

#include "model/model.h"
#include "shell/shell.h"
#include "slopes/slopes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

const char *const kSite = "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";

sl_window *openExplorer(const char *locale = kSite) {
    gui::start();
    if (locale != nullptr) gui::writeFile("locale.txt", locale);
    gui::activate(slopes);
    return slopes_open;
}

// Waits for the sweep under way to be taken in; false when it never ends.
bool awaitRun(sl_window *w) {
    gint64 deadline = g_get_monotonic_time() + 100 * G_USEC_PER_SEC;
    while (slopes_open == w && w->running != nullptr && g_get_monotonic_time() < deadline) {
        gtk_main_iteration_do(FALSE);
        if (!gtk_events_pending()) g_usleep(2000);
    }
    gui::pump();
    return slopes_open != w || w->running == nullptr;
}

void setSeason(sl_window *w, const char *first, int firstMonth, const char *last, int lastMonth, const char *year) {
    gui::setText(w->entry_startday, first);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->combo_startmonth), firstMonth - 1);
    gui::setText(w->entry_stopday, last);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->combo_stopmonth), lastMonth - 1);
    gui::setText(w->entry_year, year);
}

std::string label(GtkWidget *l) { return gtk_label_get_text(GTK_LABEL(l)); }

std::string number(double value, int decimals) {
    gchar *t = decimalText(value, decimals);
    std::string s = t;
    g_free(t);
    return s;
}

// The month table's rows, each as its four texts.
std::vector<std::vector<std::string>> tableRows(sl_window *w) {
    std::vector<std::vector<std::string>> rows;
    GtkTreeModel *model = GTK_TREE_MODEL(w->months_store);
    GtkTreeIter it;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
        std::vector<std::string> row;
        for (int c = 0; c < 4; c++) {
            gchar *v = nullptr;
            gtk_tree_model_get(model, &it, c, &v, -1);
            row.push_back(v != nullptr ? v : "");
            g_free(v);
        }
        rows.push_back(row);
    }
    return rows;
}

void pressAt(GtkWidget *area, double x, double y) {
    GdkEvent *event = gdk_event_new(GDK_BUTTON_PRESS);
    event->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(area)));
    event->button.x = x;
    event->button.y = y;
    event->button.button = GDK_BUTTON_PRIMARY;
    gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_widget_event(area, event);
    gdk_event_free(event);
    gui::pump();
}

// The compass's layout once its size has settled: showing or hiding the
// progress bar or a longer label resizes it on a later frame, not at once.
sl_compass_layout compassLayout(sl_window *w) {
    int width = -1, height = -1, steady = 0;
    for (int i = 0; i < 200 && steady < 5; i++) {
        gui::pump();
        g_usleep(10000);
        int nw = gtk_widget_get_allocated_width(w->compass), nh = gtk_widget_get_allocated_height(w->compass);
        steady = (nw == width && nh == height) ? steady + 1 : 0;
        width = nw;
        height = nh;
    }
    return sl_CompassLayout(width, height);
}

std::vector<std::string> split(const std::string &text, const std::string &by) {
    std::vector<std::string> parts;
    size_t start = 0, at;
    while ((at = text.find(by, start)) != std::string::npos) {
        parts.push_back(text.substr(start, at - start));
        start = at + by.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::vector<std::string> filesIn(const std::string &folder) {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    return names;
}

}  // namespace

TEST(Slopes, OpensFromTheMenuOneAtATime) {
    gui::start();
    gui::writeFile("locale.txt", kSite);
    GtkWidget *const c1Before = c1_window;
    GtkWidget *const c2Before = c2_window;
    gui::activate(slopes);
    sl_window *w = slopes_open;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(gui::visible(w->window));
    EXPECT_EQ(in_use, 1);
    // The empty compass's legend speaks of what the switch says.
    EXPECT_EQ(w->view.by, BY_DEGREE_DAYS);
    // Every other opener, and the explorer itself, does nothing now.
    for (GtkWidget *item : {slopes, oneday, months, locale, testoneinstant, tutorial, about}) {
        gui::activate(item);
        EXPECT_EQ(slopes_open, w) << gtk_buildable_get_name(GTK_BUILDABLE(item));
    }
    EXPECT_EQ(c1_window, c1Before);
    EXPECT_EQ(c2_window, c2Before);
    EXPECT_FALSE(gui::visible(locale_frame));
    GList *tops = gtk_window_list_toplevels();
    int explorers = 0;
    for (GList *l = tops; l != nullptr; l = l->next)
        explorers += g_strcmp0(gtk_window_get_title(GTK_WINDOW(l->data)), "Compare slopes") == 0 ? 1 : 0;
    g_list_free(tops);
    EXPECT_EQ(explorers, 1);

    gui::click(w->button_close);
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
    // And while another window is open, the explorer does not open.
    gui::activate(months);
    gui::activate(slopes);
    EXPECT_EQ(slopes_open, nullptr);
}

TEST(Slopes, ComparesTheStoredSiteOverTheUsualSeason) {
    sl_window *w = openExplorer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(gui::text(w->entry_lat), "44.133");
    EXPECT_EQ(gui::text(w->entry_lon), "-123.214");
    EXPECT_EQ(gui::text(w->entry_elev), "114.0");
    EXPECT_EQ(gui::text(w->entry_aspect), "180.0");
    EXPECT_EQ(gui::text(w->entry_tilt), "10.0");
    GDateTime *now = g_date_time_new_now_local();
    EXPECT_EQ(gui::text(w->entry_year), std::to_string(g_date_time_get_year(now)));
    g_date_time_unref(now);
    EXPECT_EQ(gui::text(w->entry_startday), "1");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w->combo_startmonth)), 3);
    EXPECT_EQ(gui::text(w->entry_stopday), "31");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w->combo_stopmonth)), 9);
    EXPECT_FALSE(gui::sensitive(w->button_export));

    gui::setText(w->entry_year, "2007");
    // Typed east, taken as west, as the calculators do.
    gui::setText(w->entry_lon, "123.214");
    gui::click(w->button_compare);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(w->view.have);
    EXPECT_FALSE(gui::visible(w->message));
    // The typed longitude is positive, so the site is outside the region as typed.
    EXPECT_TRUE(gui::visible(w->banner));

    // Exactly what the sweep gives for the stored site, every slope and the stored one.
    site_location site{44.133f, -123.214f, 114.0f};
    season_range season{2007, 1, 4, 31, 10};
    std::vector<slope> wanted(SL_SLOPES);
    for (int i = 0; i < SL_GRID; i++) wanted[i] = {15.0f * (i / 13), 2.5f * (i % 13)};
    wanted[SL_STORED] = {180.0f, 10.0f};
    std::vector<slope_season> direct(SL_SLOPES);
    ASSERT_EQ(sweepSeason(&site, &season, wanted.data(), SL_SLOPES, direct.data()), 0);
    EXPECT_EQ(std::memcmp(direct.data(), w->view.results, sizeof w->view.results), 0);

    int best = 0;
    for (int i = 1; i < SL_GRID; i++)
        if (direct[i].season_degree_days > direct[best].season_degree_days) best = i;
    EXPECT_EQ(w->view.best, best);
    EXPECT_EQ(w->view.selected, best);
    // Seven months and the season's total, the first and last as the season window shows them.
    auto rows = tableRows(w);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"April", "1 - 30", number(direct[best].month_irradiation[3], 1),
                                                 number(direct[best].month_degree_days[3], 2)}));
    EXPECT_EQ(rows[6][0], "October");
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Season", "214 days", number(direct[best].season_irradiation, 1),
                                                 number(direct[best].season_degree_days, 2)}));
    EXPECT_TRUE(gui::sensitive(w->button_export));
    EXPECT_TRUE(gui::sensitive(w->button_chart));

    // Inside the region as typed, no banner.
    gui::setText(w->entry_lon, "-123.214");
    gui::click(w->button_compare);
    ASSERT_TRUE(awaitRun(w));
    EXPECT_FALSE(gui::visible(w->banner));
    EXPECT_EQ(std::memcmp(direct.data(), w->view.results, sizeof w->view.results), 0);
}

TEST(Slopes, ClickingASlopeSelectsItAndFillsItsMonths) {
    sl_window *w = openExplorer();
    ASSERT_NE(w, nullptr);
    setSeason(w, "15", 3, "10", 6, "2010");
    gui::click(w->button_compare);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(w->view.have);
    struct Case {
        float aspect, tilt;
        int index;
        const char *title;
    };
    const Case cases[] = {
        {90.0f, 20.0f, 6 * 13 + 8, "aspect 90° (east), tilt 20°"},
        {0.0f, 30.0f, 0 * 13 + 12, "aspect 0° (north), tilt 30°"},
        {255.0f, 7.5f, 17 * 13 + 3, "aspect 255°, tilt 7.5°"},
        {0.0f, 0.0f, 0, "flat ground (tilt 0°)"},
    };
    const slope_season &stored = w->view.results[SL_STORED];
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        sl_compass_layout l = compassLayout(w);
        double x, y;
        sl_SlopePlace(&l, c.aspect, c.tilt, &x, &y);
        pressAt(w->compass, x, y);
        ASSERT_EQ(w->view.selected, c.index);
        EXPECT_NE(label(w->selected_title).find(c.title), std::string::npos) << label(w->selected_title);
        const slope_season &s = w->view.results[c.index];
        auto rows = tableRows(w);
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"March", "15 - 31", number(s.month_irradiation[2], 1),
                                                     number(s.month_degree_days[2], 2)}));
        EXPECT_EQ(rows[3][1], "1 - 10");
        EXPECT_EQ(rows[4][1], "88 days");
        double delta = static_cast<double>(s.season_degree_days) - stored.season_degree_days;
        std::string percent = number(100.0 * delta / stored.season_degree_days, 1);
        EXPECT_NE(label(w->difference).find(number(delta, 2) + " degree days"), std::string::npos)
            << label(w->difference);
        EXPECT_NE(label(w->difference).find(percent + " %"), std::string::npos) << label(w->difference);
    }
    // The stored slope's mark selects the stored slope itself.
    sl_compass_layout l = compassLayout(w);
    double x, y;
    sl_SlopePlace(&l, 180.0f, 10.0f, &x, &y);
    pressAt(w->compass, x, y);
    EXPECT_EQ(w->view.selected, SL_STORED);
    EXPECT_EQ(tableRows(w)[4][3], number(stored.season_degree_days, 2));
    // Outside the compass nothing changes.
    pressAt(w->compass, 2.0, 2.0);
    EXPECT_EQ(w->view.selected, SL_STORED);
}

TEST(Slopes, BadEntriesAndSitesSayWhyAndShowNoNumbers) {
    struct Case {
        const char *name;
        GtkWidget *sl_window::*entry;
        const char *text;
        GtkWidget *sl_window::*note;   // nullptr: the window's message says why
        const char *says;
    };
    const Case cases[] = {
        {"decimal comma", &sl_window::entry_lat, "44,133", &sl_window::msg_lat, "not a number"},
        {"empty", &sl_window::entry_elev, "", &sl_window::msg_elev, "enter a number"},
        {"not finite", &sl_window::entry_tilt, "1e999", &sl_window::msg_tilt, "not a number"},
        {"nan", &sl_window::entry_aspect, "nan", &sl_window::msg_aspect, "not a number"},
        {"year", &sl_window::entry_year, "1999", &sl_window::msg_year, "a year from 2000 to 2050"},
        {"year text", &sl_window::entry_year, "2010x", &sl_window::msg_year, "not a whole number"},
        {"day", &sl_window::entry_stopday, "32", &sl_window::msg_stop, "not a day of this month"},
        {"latitude", &sl_window::entry_lat, "95", nullptr, "latitude must lie between -90 and 90"},
        {"longitude", &sl_window::entry_lon, "-200", nullptr, "longitude must lie between -180 and 180"},
    };
    sl_window *w = openExplorer();
    ASSERT_NE(w, nullptr);
    setSeason(w, "1", 4, "30", 4 + 1, "2010");
    gui::click(w->button_compare);
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(w->view.have);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string before = gui::text(w->*c.entry);
        gui::setText(w->*c.entry, c.text);
        gui::click(w->button_compare);
        EXPECT_EQ(w->running, nullptr);
        EXPECT_FALSE(w->view.have);
        EXPECT_FALSE(gui::sensitive(w->button_export));
        EXPECT_TRUE(tableRows(w).empty());
        EXPECT_TRUE(gui::visible(w->message));
        if (c.note != nullptr) {
            EXPECT_TRUE(gui::visible(w->*c.note));
            EXPECT_EQ(label(w->*c.note), c.says);
        } else {
            EXPECT_NE(label(w->message).find(c.says), std::string::npos) << label(w->message);
        }
        gui::setText(w->*c.entry, before.c_str());
        gui::click(w->button_compare);
        ASSERT_TRUE(awaitRun(w));
        EXPECT_TRUE(w->view.have);
        if (c.note != nullptr) {
            EXPECT_FALSE(gui::visible(w->*c.note));
        }
        EXPECT_FALSE(gui::visible(w->message));
    }
    // A stop month not after the start month.
    setSeason(w, "1", 6, "30", 6, "2010");
    gui::click(w->button_compare);
    EXPECT_EQ(label(w->msg_stop), "must be a later month than the start");
    EXPECT_FALSE(w->view.have);
}

namespace {

// Exports the table and reads it back: a header with units, then 313 rows
// of as many fields, CRLF line ends, decimal points only.
void expectTableReadsBack(sl_window *w) {
    std::string path = std::filesystem::current_path() / "slopes.csv";
    ASSERT_TRUE(sl_ExportTo(w, false, path.c_str()));
    EXPECT_NE(label(w->status).find("Table written to"), std::string::npos) << label(w->status);
    bool exists = false;
    std::string csv = gui::readFile(path.c_str(), &exists);
    ASSERT_TRUE(exists);
    ASSERT_GE(csv.size(), 2u);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    std::vector<std::string> lines = split(csv.substr(0, csv.size() - 2), "\r\n");
    ASSERT_EQ(lines.size(), 1u + SL_SLOPES);
    EXPECT_EQ(lines[0], "aspect (deg),tilt (deg),season irradiation (MJ/m2 clear-sky direct beam),"
                        "season degree days (degC above 10 degC),May irradiation (MJ/m2),May degree days,"
                        "May fewer degree days for more sun (1 yes),June irradiation (MJ/m2),June degree days,"
                        "June fewer degree days for more sun (1 yes)");
    gdd_falls falls;
    findGddFalls(&falls);
    for (int s = 0; s < SL_SLOPES; s++) {
        std::vector<std::string> f = split(lines[1 + s], ",");
        ASSERT_EQ(f.size(), 10u) << lines[1 + s];
        const slope_season &r = w->view.results[s];
        float aspect = s == SL_STORED ? 172.35f : sl_GridAspect(s);
        float tilt = s == SL_STORED ? 12.5f : sl_GridTilt(s);
        EXPECT_FLOAT_EQ(static_cast<float>(g_ascii_strtod(f[0].c_str(), nullptr)), aspect) << f[0];
        EXPECT_EQ(g_ascii_strtod(f[1].c_str(), nullptr), tilt) << f[1];
        const float values[8] = {r.season_irradiation,   r.season_degree_days,    r.month_irradiation[4],
                                 r.month_degree_days[4], 0.0f,                    r.month_irradiation[5],
                                 r.month_degree_days[5], 0.0f};
        for (int i = 0; i < 8; i++) {
            if (i == 4 || i == 7) {
                int month = i == 4 ? 5 : 6;
                bool back = gddFalls(&falls, gddZone(w->view.site.latitude), month, r.month_whole_irradiation[month - 1]);
                EXPECT_EQ(f[2 + i], back ? "1" : "0") << lines[1 + s];
            } else {
                EXPECT_NEAR(g_ascii_strtod(f[2 + i].c_str(), nullptr), values[i], 0.005) << f[2 + i];
            }
        }
    }
    EXPECT_EQ(split(lines[1], ",")[0], "0");
    EXPECT_EQ(split(lines[1 + 3], ",")[1], "7.5");
    EXPECT_EQ(split(lines[SL_SLOPES], ",")[0], "172.35");
}

void expectChartsRead(sl_window *w) {
    struct Kind {
        const char *name;
        std::string start;
    };
    const Kind kinds[] = {{"chart.png", "\x89PNG\r\n"}, {"chart.SVG", "<?xml"}, {"chart.pdf", "%PDF-"}};
    for (const Kind &k : kinds) {
        ASSERT_TRUE(sl_ExportTo(w, true, k.name)) << k.name << ": " << label(w->status);
        std::string bytes = gui::readFile(k.name);
        EXPECT_EQ(bytes.substr(0, k.start.size()), k.start) << k.name;
        EXPECT_GT(bytes.size(), 5000u) << k.name;
    }
    EXPECT_NE(gui::readFile("chart.SVG").find("<svg"), std::string::npos);
}

sl_window *compareForExport() {
    sl_window *w = openExplorer();
    if (w == nullptr) return nullptr;
    setSeason(w, "20", 5, "9", 6, "2012");
    gui::setText(w->entry_aspect, "172.35");
    gui::setText(w->entry_tilt, "12.5");
    gui::click(w->button_compare);
    if (!awaitRun(w) || !w->view.have) return nullptr;
    return w;
}

}  // namespace

TEST(Slopes, ExportsReadBack) {
    sl_window *w = compareForExport();
    ASSERT_NE(w, nullptr);
    expectTableReadsBack(w);
    expectChartsRead(w);
}

TEST(Slopes, ExportsKeepTheDecimalPointOnADecimalCommaDesktop) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    sl_window *w = compareForExport();
    ASSERT_NE(w, nullptr);
    // Whatever the program set, numbers now print with a comma here.
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");
    expectTableReadsBack(w);
    expectChartsRead(w);
    // The window's own numbers too.
    sl_ShowSelection(w);
    for (const auto &row : tableRows(w))
        for (int c = 2; c < 4; c++) EXPECT_EQ(row[c].find(','), std::string::npos) << row[c];
}

TEST(Slopes, AFailedExportSaysSoAndLeavesNoFile) {
    sl_window *w = compareForExport();
    ASSERT_NE(w, nullptr);
    std::string folder = std::filesystem::current_path();
    gui::writeFile("keep.csv", "old");
    std::filesystem::create_directory("taken.csv");
    std::vector<std::string> before = filesIn(folder);

    struct Case {
        bool chart;
        std::string path;
    };
    const Case cases[] = {
        {false, folder + "/keep.csv/inside.csv"},    // a file where a folder should be
        {false, folder + "/missing/slopes.csv"},     // no such folder
        {false, folder + "/taken.csv"},              // a folder in the way of the rename
        {true, folder + "/taken.csv"},               // not a chart format
        {true, folder + "/missing/chart.png"},
        {true, folder + "/chart.gif"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        gtk_label_set_text(GTK_LABEL(w->status), "");
        EXPECT_FALSE(sl_ExportTo(w, c.chart, c.path.c_str()));
        EXPECT_EQ(label(w->status).rfind("Not written:", 0), 0u) << label(w->status);
        EXPECT_TRUE(gtk_style_context_has_class(gtk_widget_get_style_context(w->status), "failed"));
        // Nothing new, no temporary file left behind, the old file untouched.
        EXPECT_EQ(filesIn(folder), before);
        EXPECT_TRUE(std::filesystem::is_empty(folder + "/taken.csv"));
        EXPECT_EQ(gui::readFile("keep.csv"), "old");
    }
    // A good write afterwards clears the failure's look.
    EXPECT_TRUE(sl_ExportTo(w, false, "keep.csv"));
    EXPECT_FALSE(gtk_style_context_has_class(gtk_widget_get_style_context(w->status), "failed"));
    EXPECT_NE(gui::readFile("keep.csv"), "old");
}

TEST(Slopes, ReplacingAFileKeepsItsModeAndAProtectedFileIsRefused) {
    sl_window *w = compareForExport();
    ASSERT_NE(w, nullptr);
    gui::writeFile("private.csv", "old");
    ASSERT_EQ(chmod("private.csv", 0600), 0);
    ASSERT_TRUE(sl_ExportTo(w, false, "private.csv")) << label(w->status);
    struct stat st;
    ASSERT_EQ(stat("private.csv", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    gui::writeFile("kept.png", "old");
    ASSERT_EQ(chmod("kept.png", 0444), 0);
    std::vector<std::string> before = filesIn(".");
    EXPECT_FALSE(sl_ExportTo(w, true, "kept.png"));
    EXPECT_NE(label(w->status).find("write-protected"), std::string::npos) << label(w->status);
    EXPECT_EQ(gui::readFile("kept.png"), "old");
    EXPECT_EQ(filesIn("."), before);
}

TEST(Slopes, NoSlopeWithDegreeDaysNamesNoBestSlope) {
    sl_window *w = openExplorer();
    ASSERT_NE(w, nullptr);
    gui::setText(w->entry_elev, "9000");
    gui::click(w->button_compare);
    ASSERT_TRUE(awaitRun(w));
    EXPECT_FALSE(w->view.have);
    EXPECT_TRUE(gui::visible(w->message));
    EXPECT_NE(label(w->message).find("out of range for this site"), std::string::npos) << label(w->message);
    EXPECT_EQ(label(w->selected_title).find("Best slope"), std::string::npos) << label(w->selected_title);
    EXPECT_FALSE(gui::sensitive(w->button_export));
}

TEST(Slopes, WindowManagerCloseMidSweepIsTheCloseButton) {
    sl_window *w = openExplorer();
    ASSERT_NE(w, nullptr);
    gui::click(w->button_compare);
    // A newer Compare replaces the sweep under way.
    sl_run *first = w->running;
    ASSERT_NE(first, nullptr);
    gui::click(w->button_compare);
    ASSERT_NE(w->running, nullptr);
    gtk_window_close(GTK_WINDOW(w->window));
    gui::pump();
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
    // The cancelled sweeps end and are dropped without a window to show in.
    for (int i = 0; i < 200; i++) {
        gui::pump();
        g_usleep(10000);
    }
    gui::activate(slopes);
    ASSERT_NE(slopes_open, nullptr);
    EXPECT_FALSE(slopes_open->view.have);
    gui::click(slopes_open->button_close);
    EXPECT_EQ(in_use, 0);
}

TEST(Slopes, ExportOpensOneFileChooserThatGoesWithTheWindow) {
    sl_window *w = compareForExport();
    ASSERT_NE(w, nullptr);
    gui::click(w->button_export);
    GtkFileChooserNative *chooser = w->chooser;
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(gtk_file_chooser_get_action(GTK_FILE_CHOOSER(chooser)), GTK_FILE_CHOOSER_ACTION_SAVE);
    gui::click(w->button_chart);
    EXPECT_EQ(w->chooser, chooser);
    // Closed from the program while the chooser is up (the window manager
    // cannot: the chooser is modal), nothing of the window is used again.
    gtk_widget_destroy(w->window);
    gui::pump();
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
}

TEST(Slopes, WithoutAStoredSiteTheSiteIsAskedFor) {
    sl_window *w = openExplorer(nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(gui::text(w->entry_lat), "");
    gui::click(w->button_compare);
    EXPECT_EQ(label(w->msg_lat), "enter a number");
    EXPECT_FALSE(w->view.have);
}

TEST(Slopes, SeasonMonthsAsTheSeasonWindowStepsThem) {
    struct Case {
        season_range season;
        std::vector<int> months, first, last;
    };
    const Case cases[] = {
        {{2010, 15, 3, 10, 6}, {3, 4, 5, 6}, {15, 1, 1, 1}, {31, 30, 31, 10}},
        {{2004, 29, 2, 31, 3}, {2, 3}, {29, 1}, {29, 31}},
        {{2001, 1, 1, 31, 12}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
         {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}},
        {{2010, 1, 5, 31, 5}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        int m[12], f[12], l[12];
        int n = seasonMonths(&c.season, m, f, l);
        ASSERT_EQ(n, static_cast<int>(c.months.size()));
        EXPECT_EQ(std::vector<int>(m, m + n), c.months);
        EXPECT_EQ(std::vector<int>(f, f + n), c.first);
        EXPECT_EQ(std::vector<int>(l, l + n), c.last);
    }
}

TEST(Slopes, ThePointerFindsTheSlopeUnderIt) {
    sl_view v{};
    v.have = true;
    v.stored = {200.0f, -4.0f};   // a negative tilt faces the other way: aspect 20, tilt 4
    sl_compass_layout l = sl_CompassLayout(600.0, 500.0);
    struct Case {
        double dx, dy;   // from the centre, in tilt bands (y down)
        int index;
    };
    const Case cases[] = {
        {0.0, 0.0, 0},                  // flat ground
        {0.0, -12.0, 0 * 13 + 12},      // north at the top
        {12.0, 0.0, 6 * 13 + 12},       // east to the right
        {0.0, 5.0, 12 * 13 + 5},        // south below
        {-3.0, 0.0, 18 * 13 + 3},       // west to the left
        {0.0, -13.5, -1},               // beyond the steepest ring
    };
    for (const Case &c : cases)
        EXPECT_EQ(sl_SlopeAt(&v, &l, l.cx + c.dx * l.band, l.cy + c.dy * l.band), c.index) << c.dx << "," << c.dy;
    double x, y;
    sl_SlopePlace(&l, 20.0f, 4.0f, &x, &y);
    EXPECT_EQ(sl_SlopeAt(&v, &l, x, y), SL_STORED);
}

// The month chart keeps its title and note inside itself however narrow it
// is drawn: nothing lands on the paper to its right or below it.
TEST(Slopes, MonthChartTextsStayInsideANarrowChart) {
    month_rows rows = {};
    rows.count = 7;
    for (int i = 0; i < rows.count; i++) {
        rows.month[i] = 4 + i;
        rows.degree_days[i] = 50.0f + 40.0f * i;
        rows.falling[i] = i == 3;
    }
    for (int width : {260, 300, 360, 450}) {
        const int height = 170, margin = 120;
        cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width + margin, height + margin);
        cairo_t *cr = cairo_create(s);
        cairo_set_source_rgb(cr, 1.0, 0.0, 1.0);
        cairo_paint(cr);
        drawMonthChart(cr, &rows, width, height);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const unsigned char *data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s), spilled = 0;
        for (int y = 0; y < height + margin; y++)
            for (int x = 0; x < width + margin; x++) {
                if (x < width && y < height) continue;
                uint32_t pixel = *reinterpret_cast<const uint32_t *>(data + y * stride + 4 * x) & 0xffffff;
                spilled += pixel != 0xff00ff;
            }
        EXPECT_EQ(spilled, 0) << "chart " << width << " px wide";
        cairo_surface_destroy(s);
    }
}
