// The slope explorer driven through the running program: opening under the
// one-at-a-time rule, a comparison of the stored site, selecting a slope,
// the checks of its entries, exports read back (also on a decimal-comma
// desktop), failed exports, and closing by the window manager mid-sweep.
#include "gui_support.h"

#include "model/degreeDayTarget.h"
#include "model/model.h"
#include "model/winklerRegions.h"
#include "shell/shell.h"
#include "slopes/slopesCharts.h"
#include "slopes/slopesWindow.h"
#include "ui/slopeFigures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

const char *const kSite = "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";

// A part of the explorer by its id in slopes.ui.
GtkWidget *part(SlopesWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }

const slopes_view &view(SlopesWindow *w) { return *slopes_window_get_view(w); }

SlopesWindow *openExplorer(const char *locale = kSite) {
    gui::start();
    if (locale != nullptr) gui::writeFile("locale.txt", locale);
    gui::activate(slopes);
    return slopes_open;
}

// Waits for the sweep under way to be taken in; false when it never ends.
bool awaitRun(SlopesWindow *w) {
    return gui::await([w] { return slopes_open != w || !slopes_window_is_comparing(w); });
}

void setSeason(SlopesWindow *w, const char *first, int firstMonth, const char *last, int lastMonth, const char *year) {
    gui::setText(part(w, "slopes_startday"), first);
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(w, "slopes_startmonth")), firstMonth - 1);
    gui::setText(part(w, "slopes_stopday"), last);
    gtk_combo_box_set_active(GTK_COMBO_BOX(part(w, "slopes_stopmonth")), lastMonth - 1);
    gui::setText(part(w, "slopes_year"), year);
}

std::string label(GtkWidget *l) { return gtk_label_get_text(GTK_LABEL(l)); }

std::string number(double value, int decimals) {
    gchar *t = decimalText(value, decimals);
    std::string s = t;
    g_free(t);
    return s;
}

// The month table's rows, each as its four texts.
std::vector<std::vector<std::string>> tableRows(SlopesWindow *w) {
    std::vector<std::vector<std::string>> rows;
    GtkTreeModel *model = GTK_TREE_MODEL(gui::templateObject(GTK_WIDGET(w), "slopes_months_store"));
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
slopes_compass compassLayout(SlopesWindow *w) {
    int width = -1, height = -1, steady = 0;
    for (int i = 0; i < 200 && steady < 5; i++) {
        gui::pump();
        g_usleep(10000);
        int nw = gtk_widget_get_allocated_width(part(w, "slopes_compass")), nh = gtk_widget_get_allocated_height(part(w, "slopes_compass"));
        steady = (nw == width && nh == height) ? steady + 1 : 0;
        width = nw;
        height = nh;
    }
    return slopes_compass_layout(width, height);
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
    SlopesWindow *w = slopes_open;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(gui::visible(GTK_WIDGET(w)));
    EXPECT_EQ(in_use, 1);
    // The empty compass's legend speaks of what the switch says.
    EXPECT_EQ(view(w).by, BY_DEGREE_DAYS);
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

    gui::click(part(w, "slopes_close"));
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
    // And while another window is open, the explorer does not open.
    gui::activate(months);
    gui::activate(slopes);
    EXPECT_EQ(slopes_open, nullptr);
}

TEST(Slopes, ComparesTheStoredSiteOverTheUsualSeason) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(gui::text(part(w, "slopes_lat")), "44.133");
    EXPECT_EQ(gui::text(part(w, "slopes_lon")), "-123.214");
    EXPECT_EQ(gui::text(part(w, "slopes_elev")), "114.0");
    EXPECT_EQ(gui::text(part(w, "slopes_aspect")), "180.0");
    EXPECT_EQ(gui::text(part(w, "slopes_tilt")), "10.0");
    GDateTime *now = g_date_time_new_now_local();
    EXPECT_EQ(gui::text(part(w, "slopes_year")), std::to_string(g_date_time_get_year(now)));
    g_date_time_unref(now);
    EXPECT_EQ(gui::text(part(w, "slopes_startday")), "1");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(part(w, "slopes_startmonth"))), 3);
    EXPECT_EQ(gui::text(part(w, "slopes_stopday")), "31");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(part(w, "slopes_stopmonth"))), 9);
    EXPECT_FALSE(gui::sensitive(part(w, "slopes_export_table")));

    gui::setText(part(w, "slopes_year"), "2007");
    // Typed east, taken as west, as the calculators do.
    gui::setText(part(w, "slopes_lon"), "123.214");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
    EXPECT_FALSE(gui::visible(part(w, "slopes_message")));
    // The typed longitude is positive, so the site is outside the region as typed.
    EXPECT_TRUE(gui::visible(part(w, "slopes_banner")));

    // Exactly what the sweep gives for the stored site, every slope and the stored one.
    site_location site{44.133f, -123.214f, 114.0f};
    season_range season{2007, 1, 4, 31, 10};
    std::vector<slope> wanted(SLOPES_COUNT);
    for (int i = 0; i < SLOPES_GRID; i++) wanted[i] = {15.0f * (i / 13), 2.5f * (i % 13)};
    wanted[SLOPES_STORED] = {180.0f, 10.0f};
    std::vector<slope_season> direct(SLOPES_COUNT);
    ASSERT_EQ(sweepSeason(&site, &season, wanted.data(), SLOPES_COUNT, direct.data()), 0);
    EXPECT_EQ(std::memcmp(direct.data(), view(w).results, sizeof view(w).results), 0);

    int best = 0;
    for (int i = 1; i < SLOPES_GRID; i++)
        if (direct[i].season_degree_days > direct[best].season_degree_days) best = i;
    EXPECT_EQ(view(w).best, best);
    EXPECT_EQ(view(w).selected, best);
    // Seven months and the season's total, the first and last as the season window shows them.
    auto rows = tableRows(w);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"April", "1 - 30", number(direct[best].month_irradiation[3], 1),
                                                 number(direct[best].month_degree_days[3], 2)}));
    EXPECT_EQ(rows[6][0], "October");
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Season", "214 days", number(direct[best].season_irradiation, 1),
                                                 number(direct[best].season_degree_days, 2)}));
    EXPECT_TRUE(gui::sensitive(part(w, "slopes_export_table")));
    EXPECT_TRUE(gui::sensitive(part(w, "slopes_save_chart")));

    // Inside the region as typed, no banner.
    gui::setText(part(w, "slopes_lon"), "-123.214");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    EXPECT_FALSE(gui::visible(part(w, "slopes_banner")));
    EXPECT_EQ(std::memcmp(direct.data(), view(w).results, sizeof view(w).results), 0);
}

// A comparison made while the switch says irradiation is coloured and
// ranked by irradiation, as the switch says.
TEST(Slopes, TheSwitchRanksTheNextComparisonToo) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "slopes_rank_irradiation")), TRUE);
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
    EXPECT_EQ(view(w).by, BY_IRRADIATION);
    int sunniest = 0;
    for (int i = 1; i < SLOPES_GRID; i++)
        if (view(w).results[i].season_irradiation > view(w).results[sunniest].season_irradiation) sunniest = i;
    EXPECT_EQ(view(w).best, sunniest);
    EXPECT_EQ(label(part(w, "slopes_selected")).rfind("Best slope by irradiation:", 0), 0u)
        << label(part(w, "slopes_selected"));
}

TEST(Slopes, ClickingASlopeSelectsItAndFillsItsMonths) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    setSeason(w, "15", 3, "10", 6, "2010");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
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
    const slope_season &stored = view(w).results[SLOPES_STORED];
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        slopes_compass l = compassLayout(w);
        double x, y;
        slopes_compass_place(&l, c.aspect, c.tilt, &x, &y);
        pressAt(part(w, "slopes_compass"), x, y);
        ASSERT_EQ(view(w).selected, c.index);
        EXPECT_NE(label(part(w, "slopes_selected")).find(c.title), std::string::npos) << label(part(w, "slopes_selected"));
        const slope_season &s = view(w).results[c.index];
        auto rows = tableRows(w);
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"March", "15 - 31", number(s.month_irradiation[2], 1),
                                                     number(s.month_degree_days[2], 2)}));
        EXPECT_EQ(rows[3][1], "1 - 10");
        EXPECT_EQ(rows[4][1], "88 days");
        double delta = static_cast<double>(s.season_degree_days) - stored.season_degree_days;
        std::string percent = number(100.0 * delta / stored.season_degree_days, 1);
        EXPECT_NE(label(part(w, "slopes_difference")).find(number(delta, 2) + " degree days"), std::string::npos)
            << label(part(w, "slopes_difference"));
        EXPECT_NE(label(part(w, "slopes_difference")).find(percent + " %"), std::string::npos) << label(part(w, "slopes_difference"));
    }
    // The stored slope's mark selects the stored slope itself.
    slopes_compass l = compassLayout(w);
    double x, y;
    slopes_compass_place(&l, 180.0f, 10.0f, &x, &y);
    pressAt(part(w, "slopes_compass"), x, y);
    EXPECT_EQ(view(w).selected, SLOPES_STORED);
    EXPECT_EQ(tableRows(w)[4][3], number(stored.season_degree_days, 2));
    // Outside the compass nothing changes.
    pressAt(part(w, "slopes_compass"), 2.0, 2.0);
    EXPECT_EQ(view(w).selected, SLOPES_STORED);
}

TEST(Slopes, BadEntriesAndSitesSayWhyAndShowNoNumbers) {
    struct Case {
        const char *name;
        const char *entry;
        const char *text;
        const char *note;   // nullptr: the window's message says why
        const char *says;
    };
    const Case cases[] = {
        {"decimal comma", "slopes_lat", "44,133", "slopes_lat_msg", "not a number"},
        {"empty", "slopes_elev", "", "slopes_elev_msg", "enter a number"},
        {"not finite", "slopes_tilt", "1e999", "slopes_tilt_msg", "not a number"},
        {"nan", "slopes_aspect", "nan", "slopes_aspect_msg", "not a number"},
        {"year", "slopes_year", "1999", "slopes_year_msg", "a year from 2000 to 2050"},
        {"year text", "slopes_year", "2010x", "slopes_year_msg", "not a whole number"},
        {"day", "slopes_stopday", "32", "slopes_stop_msg", "32 May does not exist"},
        {"day text", "slopes_startday", "1st", "slopes_start_msg", "not a whole number"},
        {"latitude", "slopes_lat", "95", nullptr, "latitude must lie between -90 and 90"},
        {"longitude", "slopes_lon", "-200", nullptr, "longitude must lie between -180 and 180"},
    };
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    setSeason(w, "1", 4, "30", 4 + 1, "2010");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string before = gui::text(part(w, c.entry));
        gui::setText(part(w, c.entry), c.text);
        gui::click(part(w, "slopes_compare"));
        EXPECT_FALSE(slopes_window_is_comparing(w));
        EXPECT_FALSE(view(w).have);
        EXPECT_FALSE(gui::sensitive(part(w, "slopes_export_table")));
        EXPECT_TRUE(tableRows(w).empty());
        EXPECT_TRUE(gui::visible(part(w, "slopes_message")));
        if (c.note != nullptr) {
            EXPECT_TRUE(gui::visible(part(w, c.note)));
            EXPECT_EQ(label(part(w, c.note)), c.says);
        } else {
            EXPECT_NE(label(part(w, "slopes_message")).find(c.says), std::string::npos) << label(part(w, "slopes_message"));
        }
        gui::setText(part(w, c.entry), before.c_str());
        gui::click(part(w, "slopes_compare"));
        ASSERT_TRUE(awaitRun(w));
        EXPECT_TRUE(view(w).have);
        if (c.note != nullptr) {
            EXPECT_FALSE(gui::visible(part(w, c.note)));
        }
        EXPECT_FALSE(gui::visible(part(w, "slopes_message")));
    }
    // A season ending before it starts, in an earlier month or in its own.
    for (int stop_month : {5, 6}) {
        setSeason(w, "20", 6, "19", stop_month, "2010");
        gui::click(part(w, "slopes_compare"));
        EXPECT_EQ(label(part(w, "slopes_stop_msg")), "must not be before the start") << stop_month;
        EXPECT_FALSE(view(w).have);
    }
    // One month, or a part of it, is a season.
    setSeason(w, "1", 7, "15", 7, "2010");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    EXPECT_TRUE(view(w).have);
    EXPECT_FALSE(gui::visible(part(w, "slopes_stop_msg")));
    const auto rows = tableRows(w);
    ASSERT_EQ(rows.size(), 2u) << "one month and the season's total";
    EXPECT_EQ(rows[0][0] + " " + rows[0][1], "July 1 - 15");
}

namespace {

// Exports the table and reads it back: a header with units, then a row for
// each slope (flat ground once), each starting with the site and the
// season, as many fields in every row, CRLF line ends, decimal points only.
void expectTableReadsBack(SlopesWindow *w) {
    std::string path = std::filesystem::current_path() / "slopes.csv";
    ASSERT_TRUE(slopes_window_export_to(w, false, path.c_str()));
    EXPECT_NE(label(part(w, "slopes_status")).find("Table written to"), std::string::npos) << label(part(w, "slopes_status"));
    bool exists = false;
    std::string csv = gui::readFile(path.c_str(), &exists);
    ASSERT_TRUE(exists);
    ASSERT_GE(csv.size(), 2u);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    std::vector<std::string> lines = split(csv.substr(0, csv.size() - 2), "\r\n");
    // 24 aspects of 12 tilts above flat, flat ground, the stored slope.
    ASSERT_EQ(lines.size(), 1u + 24 * 12 + 1 + 1);
    EXPECT_EQ(lines[0], "latitude (deg north),longitude (deg east),elevation (m),year,season first day,"
                        "season last day,aspect (deg),tilt (deg),stored slope (1 yes),"
                        "season irradiation (MJ/m2 clear-sky direct beam),"
                        "season degree days (degC above 10 degC),May irradiation (MJ/m2),May degree days,"
                        "May fewer degree days for more sun (1 yes),June irradiation (MJ/m2),June degree days,"
                        "June fewer degree days for more sun (1 yes),target_gdd,target_date,winkler_region");
    gdd_falls falls;
    findGddFalls(&falls);
    size_t line = 1;
    for (int s = 0; s < SLOPES_COUNT; s++) {
        const bool flat = s != SLOPES_STORED && slopes_grid_tilt(s) == 0.0f;
        if (flat && slopes_grid_aspect(s) != 0.0f) continue;
        ASSERT_LT(line, lines.size());
        std::vector<std::string> f = split(lines[line++], ",");
        ASSERT_EQ(f.size(), 20u) << lines[line - 1];
        // No target was set, and 20 May to 9 June names no region.
        EXPECT_EQ(std::vector<std::string>(f.begin() + 17, f.end()), std::vector<std::string>(3, ""));
        EXPECT_EQ(std::vector<std::string>(f.begin(), f.begin() + 6),
                  std::vector<std::string>({"44.133", "-123.214", "114", "2012", "2012-05-20", "2012-06-09"}));
        const slope_season &r = view(w).results[s];
        float aspect = s == SLOPES_STORED ? 172.35f : slopes_grid_aspect(s);
        float tilt = s == SLOPES_STORED ? 12.5f : slopes_grid_tilt(s);
        if (flat)
            EXPECT_EQ(f[6], "") << "flat ground has no aspect";
        else
            EXPECT_FLOAT_EQ(static_cast<float>(g_ascii_strtod(f[6].c_str(), nullptr)), aspect) << f[6];
        EXPECT_EQ(g_ascii_strtod(f[7].c_str(), nullptr), tilt) << f[7];
        EXPECT_EQ(f[8], s == SLOPES_STORED ? "1" : "0");
        const float values[8] = {r.season_irradiation,   r.season_degree_days,    r.month_irradiation[4],
                                 r.month_degree_days[4], 0.0f,                    r.month_irradiation[5],
                                 r.month_degree_days[5], 0.0f};
        for (int i = 0; i < 8; i++) {
            if (i == 4 || i == 7) {
                int month = i == 4 ? 5 : 6;
                bool back = gddFalls(&falls, gddZone(view(w).site.latitude), month, r.month_whole_irradiation[month - 1]);
                EXPECT_EQ(f[9 + i], back ? "1" : "0") << lines[line - 1];
            } else {
                EXPECT_NEAR(g_ascii_strtod(f[9 + i].c_str(), nullptr), values[i], 0.005) << f[9 + i];
            }
        }
    }
    EXPECT_EQ(line, lines.size());
    EXPECT_EQ(split(lines[1], ",")[7], "0");
    EXPECT_EQ(split(lines[1 + 3], ",")[7], "7.5");
    EXPECT_EQ(split(lines.back(), ",")[6], "172.35");
}

void expectChartsRead(SlopesWindow *w) {
    struct Kind {
        const char *name;
        std::string start;
    };
    const Kind kinds[] = {{"chart.png", "\x89PNG\r\n"}, {"chart.SVG", "<?xml"}, {"chart.pdf", "%PDF-"}};
    for (const Kind &k : kinds) {
        ASSERT_TRUE(slopes_window_export_to(w, true, k.name)) << k.name << ": " << label(part(w, "slopes_status"));
        std::string bytes = gui::readFile(k.name);
        EXPECT_EQ(bytes.substr(0, k.start.size()), k.start) << k.name;
        EXPECT_GT(bytes.size(), 5000u) << k.name;
    }
    EXPECT_NE(gui::readFile("chart.SVG").find("<svg"), std::string::npos);
}

SlopesWindow *compareForExport() {
    SlopesWindow *w = openExplorer();
    if (w == nullptr) return nullptr;
    setSeason(w, "20", 5, "9", 6, "2012");
    gui::setText(part(w, "slopes_aspect"), "172.35");
    gui::setText(part(w, "slopes_tilt"), "12.5");
    gui::click(part(w, "slopes_compare"));
    if (!awaitRun(w) || !view(w).have) return nullptr;
    return w;
}

}  // namespace

TEST(Slopes, ExportsReadBack) {
    SlopesWindow *w = compareForExport();
    ASSERT_NE(w, nullptr);
    expectTableReadsBack(w);
    expectChartsRead(w);
}

// The report is of the slope selected on the compass, with its figures.
TEST(Slopes, TheReportIsOfTheSelectedSlope) {
    SlopesWindow *w = compareForExport();
    ASSERT_NE(w, nullptr);
    const struct {
        float aspect, tilt;
        const char *says;
    } cases[] = {{90.0f, 20.0f, "Slope: aspect 90° (east) clockwise from north, tilt 20°."},
                 {0.0f, 0.0f, "Slope: level ground (tilt 0°)."}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.says);
        slopes_compass l = compassLayout(w);
        double x, y;
        slopes_compass_place(&l, c.aspect, c.tilt, &x, &y);
        pressAt(part(w, "slopes_compass"), x, y);
        ASSERT_TRUE(slopes_window_save_report(w, "report.pdf")) << label(part(w, "slopes_status"));
        ASSERT_EQ(std::system("pdftotext -layout report.pdf report.txt"), 0);
        const std::string text = gui::readFile("report.txt");
        EXPECT_NE(text.find(c.says), std::string::npos) << text.substr(0, 600);
        const slope_season &r = view(w).results[view(w).selected];
        EXPECT_NE(text.find("Degree days: " + number(r.season_degree_days, 1)), std::string::npos)
            << text.substr(0, 600);
    }
}

TEST(Slopes, ExportsKeepTheDecimalPointOnADecimalCommaDesktop) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    SlopesWindow *w = compareForExport();
    ASSERT_NE(w, nullptr);
    // Whatever the program set, numbers now print with a comma here.
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");
    expectTableReadsBack(w);
    expectChartsRead(w);
    // The window's own numbers too, shown anew.
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "slopes_rank_irradiation")), TRUE);
    ASSERT_EQ(view(w).by, BY_IRRADIATION);
    for (const auto &row : tableRows(w))
        for (int c = 2; c < 4; c++) EXPECT_EQ(row[c].find(','), std::string::npos) << row[c];
}

TEST(Slopes, AFailedExportSaysSoAndLeavesNoFile) {
    SlopesWindow *w = compareForExport();
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
        gtk_label_set_text(GTK_LABEL(part(w, "slopes_status")), "");
        EXPECT_FALSE(slopes_window_export_to(w, c.chart, c.path.c_str()));
        EXPECT_EQ(label(part(w, "slopes_status")).rfind("Not written:", 0), 0u) << label(part(w, "slopes_status"));
        EXPECT_TRUE(gtk_style_context_has_class(gtk_widget_get_style_context(part(w, "slopes_status")), "failed"));
        // Nothing new, no temporary file left behind, the old file untouched.
        EXPECT_EQ(filesIn(folder), before);
        EXPECT_TRUE(std::filesystem::is_empty(folder + "/taken.csv"));
        EXPECT_EQ(gui::readFile("keep.csv"), "old");
    }
    // A good write afterwards clears the failure's look.
    EXPECT_TRUE(slopes_window_export_to(w, false, "keep.csv"));
    EXPECT_FALSE(gtk_style_context_has_class(gtk_widget_get_style_context(part(w, "slopes_status")), "failed"));
    EXPECT_NE(gui::readFile("keep.csv"), "old");
}

TEST(Slopes, ReplacingAFileKeepsItsModeAndAProtectedFileIsRefused) {
    SlopesWindow *w = compareForExport();
    ASSERT_NE(w, nullptr);
    gui::writeFile("private.csv", "old");
    ASSERT_EQ(chmod("private.csv", 0600), 0);
    ASSERT_TRUE(slopes_window_export_to(w, false, "private.csv")) << label(part(w, "slopes_status"));
    struct stat st;
    ASSERT_EQ(stat("private.csv", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    gui::writeFile("kept.png", "old");
    ASSERT_EQ(chmod("kept.png", 0444), 0);
    std::vector<std::string> before = filesIn(".");
    EXPECT_FALSE(slopes_window_export_to(w, true, "kept.png"));
    EXPECT_NE(label(part(w, "slopes_status")).find("write-protected"), std::string::npos) << label(part(w, "slopes_status"));
    EXPECT_EQ(gui::readFile("kept.png"), "old");
    EXPECT_EQ(filesIn("."), before);
}

TEST(Slopes, NoSlopeWithDegreeDaysNamesNoBestSlope) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    gui::setText(part(w, "slopes_elev"), "9000");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    EXPECT_FALSE(view(w).have);
    EXPECT_TRUE(gui::visible(part(w, "slopes_message")));
    EXPECT_NE(label(part(w, "slopes_message")).find("out of range for this site"), std::string::npos) << label(part(w, "slopes_message"));
    EXPECT_EQ(label(part(w, "slopes_selected")).find("Best slope"), std::string::npos) << label(part(w, "slopes_selected"));
    EXPECT_FALSE(gui::sensitive(part(w, "slopes_export_table")));
}

TEST(Slopes, WindowManagerCloseMidSweepIsTheCloseButton) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    // Held here to see every sweep let the closed window go.
    g_object_ref(w);
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(slopes_window_is_comparing(w));
    // A newer Compare replaces the sweep under way.
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(slopes_window_is_comparing(w));
    gtk_window_close(GTK_WINDOW(w));
    gui::pump();
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
    EXPECT_FALSE(slopes_window_is_comparing(w));
    // The cancelled sweeps end and are dropped without a window to show in;
    // then nothing but this test holds the window.
    gui::await([w] { return g_atomic_int_get(&G_OBJECT(w)->ref_count) <= 1; });
    EXPECT_EQ(g_atomic_int_get(&G_OBJECT(w)->ref_count), 1u);
    g_object_unref(w);
    gui::activate(slopes);
    ASSERT_NE(slopes_open, nullptr);
    EXPECT_FALSE(view(slopes_open).have);
    gui::click(part(slopes_open, "slopes_close"));
    EXPECT_EQ(in_use, 0);
}

namespace {

// The file choosers on the screen now.
std::vector<GtkWidget *> openChoosers() {
    std::vector<GtkWidget *> open;
    GList *tops = gtk_window_list_toplevels();
    for (GList *l = tops; l != nullptr; l = l->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(l->data) && gtk_widget_get_visible(GTK_WIDGET(l->data)))
            open.push_back(GTK_WIDGET(l->data));
    g_list_free(tops);
    return open;
}

}  // namespace

TEST(Slopes, ExportOpensOneFileChooserThatGoesWithTheWindow) {
    SlopesWindow *w = compareForExport();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(openChoosers().empty());
    gui::click(part(w, "slopes_export_table"));
    std::vector<GtkWidget *> open = openChoosers();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(gtk_file_chooser_get_action(GTK_FILE_CHOOSER(open[0])), GTK_FILE_CHOOSER_ACTION_SAVE);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(open[0])), GTK_WINDOW(w));
    gchar *name = gtk_file_chooser_get_current_name(GTK_FILE_CHOOSER(open[0]));
    EXPECT_STREQ(name, "slopes.csv");
    g_free(name);
    gui::click(part(w, "slopes_save_chart"));
    EXPECT_EQ(openChoosers(), open);
    // Closed from the program while the chooser is up (the window manager
    // cannot: the chooser is modal), nothing of the window is used again.
    gtk_widget_destroy(GTK_WIDGET(w));
    gui::pump();
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
    EXPECT_TRUE(openChoosers().empty());
}

TEST(Slopes, WithoutAStoredSiteTheSiteIsAskedFor) {
    SlopesWindow *w = openExplorer(nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(gui::text(part(w, "slopes_lat")), "");
    gui::click(part(w, "slopes_compare"));
    EXPECT_EQ(label(part(w, "slopes_lat_msg")), "enter a number");
    EXPECT_FALSE(view(w).have);
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
        {{2010, 1, 5, 31, 5}, {5}, {1}, {31}},
        {{2010, 2, 7, 15, 7}, {7}, {2}, {15}},
        {{2010, 1, 6, 31, 5}, {}, {}, {}},
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
    slopes_view v{};
    v.have = true;
    v.stored = {200.0f, -4.0f};   // a negative tilt faces the other way: aspect 20, tilt 4
    slopes_compass l = slopes_compass_layout(600.0, 500.0);
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
        EXPECT_EQ(slopes_compass_slope_at(&v, &l, l.cx + c.dx * l.band, l.cy + c.dy * l.band), c.index) << c.dx << "," << c.dy;
    double x, y;
    slopes_compass_place(&l, 20.0f, 4.0f, &x, &y);
    EXPECT_EQ(slopes_compass_slope_at(&v, &l, x, y), SLOPES_STORED);
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

namespace {

// The text of a PDF as poppler reads it.
std::string pdfText(const std::string &path) {
    const std::string text = path + ".txt";
    const std::string command = "pdftotext -layout '" + path + "' '" + text + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return gui::readFile(text.c_str());
}

std::string gridName(int index) {
    const float tilt = slopes_grid_tilt(index);
    if (tilt == 0.0f) return "flat ground (tilt 0°)";
    gchar *aspect = aspectText(slopes_grid_aspect(index));
    std::string name = std::string("aspect ") + aspect + ", tilt " + number(tilt, std::fmod(tilt, 1.0f) == 0.0f ? 0 : 1) + "°";
    g_free(aspect);
    return name;
}

}  // namespace

// Ranked by degree days, a best slope that takes some degree days from where
// the formula runs backwards says so in the headline and names the best by
// irradiation beside it; the chart saved is titled and labelled by what the
// compass is ranked by, its best slope the best by that measure.
TEST(Slopes, TheHeadlineAndTheSavedChartSayWhatTheRankingIs) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    const struct {
        int first, firstMonth, last, lastMonth;
    } seasons[] = {{1, 4, 31, 10}, {1, 7, 31, 8}, {1, 4, 31, 5}};
    int caveats = 0;
    for (const auto &c : seasons) {
        SCOPED_TRACE(c.firstMonth);
        setSeason(w, std::to_string(c.first).c_str(), c.firstMonth, std::to_string(c.last).c_str(), c.lastMonth,
                  "2025");
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(part(w, "slopes_rank_degree_days")), TRUE);
        gui::click(part(w, "slopes_compare"));
        ASSERT_TRUE(awaitRun(w));
        ASSERT_TRUE(view(w).have);
        const slopes_view &v = view(w);
        int months[12];
        const int falling = slopes_falling_months(&v, v.best, months);
        const int sunniest = slopes_best_by(&v, BY_IRRADIATION);
        std::string headline = "Best slope: " + gridName(v.best);
        if (falling > 0) {
            caveats++;
            std::string which;
            for (int i = 0; i < falling; i++)
                which += (i == 0 ? "" : i + 1 == falling ? " and " : ", ") + std::string(month_names[months[i] - 1]);
            headline += ". Its " + which + " lie where the formula gives fewer degree days for more sun; " +
                        (sunniest == v.best ? "it is the best slope by irradiation too."
                                            : "by irradiation the best slope is " + gridName(sunniest) + ".");
        }
        EXPECT_EQ(label(part(w, "slopes_selected")), headline);

        for (bool byIrradiation : {false, true}) {
            gtk_toggle_button_set_active(
                GTK_TOGGLE_BUTTON(part(w, byIrradiation ? "slopes_rank_irradiation" : "slopes_rank_degree_days")), TRUE);
            const std::string pdf = (std::filesystem::current_path() / "chart.pdf").string();
            ASSERT_TRUE(slopes_window_export_to(w, true, pdf.c_str())) << label(part(w, "slopes_status"));
            const std::string text = pdfText(pdf);
            const int best = view(w).best;
            EXPECT_EQ(best, byIrradiation ? sunniest : v.best);
            EXPECT_NE(text.find(byIrradiation ? "Season irradiation by slope" : "Season degree days by slope"),
                      std::string::npos) << text;
            EXPECT_NE(text.find(byIrradiation ? "MJ/m² (clear-sky direct beam)" : " degree days"), std::string::npos)
                << text;
            EXPECT_NE(text.find(byIrradiation ? "the best slope by irradiation, aspect" : "the best slope, aspect"),
                      std::string::npos)
                << text;
            EXPECT_EQ(text.find("fewer degree days for more sun;") != std::string::npos, !byIrradiation && falling > 0)
                << text;
        }
    }
    EXPECT_GT(caveats, 0) << "no season here whose best slope runs backwards";
}

// A season within one month: the table has that month's columns only, and
// every row says the season's first and last day.
TEST(Slopes, TheTableOfASeasonWithinOneMonth) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    setSeason(w, "1", 7, "15", 7, "2010");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
    const std::string path = std::filesystem::current_path() / "july.csv";
    ASSERT_TRUE(slopes_window_export_to(w, false, path.c_str())) << label(part(w, "slopes_status"));
    const std::string csv = gui::readFile(path.c_str());
    std::vector<std::string> lines = split(csv.substr(0, csv.size() - 2), "\r\n");
    ASSERT_EQ(lines.size(), 1u + 24 * 12 + 1 + 1);
    const std::string header = lines[0];
    EXPECT_EQ(header.substr(header.find(",season degree days")),
              ",season degree days (degC above 10 degC),July irradiation (MJ/m2),July degree days,"
              "July fewer degree days for more sun (1 yes),target_gdd,target_date,winkler_region");
    for (size_t i = 1; i < lines.size(); i++) {
        EXPECT_EQ(lines[i].rfind("44.133,-123.214,114,2010,2010-07-01,2010-07-15,", 0), 0u) << lines[i];
        EXPECT_EQ(split(lines[i], ",").size(), 17u) << lines[i];
    }
}

// The Winkler region is named for 1 April to 31 October only, its source and
// what it leaves out in its tooltip; the date the selected slope reaches the
// target is the core's for that slope alone, and so is every slope's in the
// compass tooltip and the table.
TEST(Slopes, RegionBySeasonAndTheTargetDateAsTheCoreGivesIt) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    GtkWidget *region = part(w, "slopes_winkler"), *date = part(w, "slopes_target_date");
    EXPECT_FALSE(gui::visible(region)) << "nothing to name before a comparison";
    gui::setText(part(w, "slopes_year"), "2011");
    gui::setText(part(w, "slopes_target"), " 1150.5 ");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);

    const int selected = view(w).selected;
    const slope_season &s = view(w).results[selected];
    const winkler_class *c = winklerClass(winklerRegion(s.season_degree_days));
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(gui::visible(region));
    EXPECT_EQ(label(region).rfind(std::string("Winkler region (Jones et al. 2010): ") + c->name + ", ", 0), 0u)
        << label(region);
    gchar *tip = gtk_widget_get_tooltip_text(region);
    EXPECT_NE(std::string(tip != nullptr ? tip : "").find(winklerNoteText()), std::string::npos) << "the caveat";
    g_free(tip);

    // The one slope, swept alone by the core.
    const site_location site{44.133f, -123.214f, 114.0f};
    const season_range season{2011, 1, 4, 31, 10};
    const slope one{slopes_grid_aspect(selected), slopes_grid_tilt(selected)};
    slope_season alone;
    int day = -1;
    ASSERT_EQ(sweepSeasonToTarget(&site, &season, &one, 1, 1150.5, &alone, &day, nullptr, 1), 0);
    ASSERT_GT(day, 0) << "the best slope reaches 1150.5 degree days";
    ASSERT_TRUE(gui::visible(date));
    EXPECT_EQ(label(date).rfind("Target of 1150.5 degree days: " + targetDateText(2011, day) + "; ", 0), 0u)
        << label(date);
    gchar *tooltip = slopes_compass_tooltip(&view(w), selected);
    const std::string tip_end = "\ntarget 1150.5 degree days: " + targetDateText(2011, day);
    const std::string tooltip_text = tooltip;
    g_free(tooltip);
    EXPECT_EQ(tooltip_text.substr(tooltip_text.size() - std::min(tooltip_text.size(), tip_end.size())), tip_end);
    ASSERT_TRUE(slopes_window_export_to(w, false, "target.csv"));
    std::vector<std::string> lines = split(gui::readFile("target.csv"), "\r\n");
    ASSERT_GE(lines.size(), 2u);
    std::vector<std::string> f = split(lines[lines.size() - 2], ",");   // the stored slope, before the last CRLF
    ASSERT_GE(f.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(f.end() - 3, f.end()),
              (std::vector<std::string>{"1150.5", targetIsoDate(2011, view(w).target_days[SLOPES_STORED]),
                                        winklerClass(winklerRegion(view(w).results[SLOPES_STORED].season_degree_days))->name}));

    // A day later no region is named, and the line says why; without a
    // target no date is shown.
    setSeason(w, "2", 4, "31", 10, "2011");
    gui::setText(part(w, "slopes_target"), "");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(awaitRun(w));
    ASSERT_TRUE(view(w).have);
    EXPECT_EQ(label(region), winklerOffSeasonText({2011, 2, 4, 31, 10}));
    EXPECT_FALSE(gui::visible(date));
}

// A target that cannot be used says why beside its entry and stops the
// comparison, as every other entry does.
TEST(Slopes, TargetsThatCannotBeUsedSayWhy) {
    SlopesWindow *w = openExplorer();
    ASSERT_NE(w, nullptr);
    const struct {
        const char *typed, *note;
    } cases[] = {{"0", "above 0 and at most 10000"},
                 {"-20", "above 0 and at most 10000"},
                 {"10000.5", "above 0 and at most 10000"},
                 {"1150 dd", "not a number"},
                 {"nan", "not a number"}};
    for (const auto &c : cases) {
        gui::setText(part(w, "slopes_target"), c.typed);
        gui::click(part(w, "slopes_compare"));
        ASSERT_TRUE(awaitRun(w));
        EXPECT_EQ(label(part(w, "slopes_target_msg")), c.note) << c.typed;
        EXPECT_FALSE(view(w).have) << c.typed;
    }
}
