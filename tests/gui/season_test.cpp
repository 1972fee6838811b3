// The growing-season window driven through the running program: layout on
// opening, the checks and their precedence, a season month by month, the
// location warning, closing, and the behaviour on inputs the region excludes.
#include "gui_support.h"

#include "model/model.h"
#include "season/season.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

const char *const kSite =
    "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";

// The window's widgets, found by their grid cells.
c2_widgets findWidgets() {
    c2_widgets w{};
    std::vector<GtkWidget *> g = gui::grids(c2_window);
    EXPECT_EQ(g.size(), 3u);
    if (g.size() != 3) return w;
    w.entry_lat = gui::cell(g[0], 1, 2);
    w.entry_lon = gui::cell(g[0], 1, 3);
    w.entry_elev = gui::cell(g[0], 1, 4);
    w.entry_aspect = gui::cell(g[0], 1, 5);
    w.entry_tilt = gui::cell(g[0], 1, 6);
    w.entry_startday = gui::cell(g[0], 3, 2);
    w.entry_stopday = gui::cell(g[0], 4, 2);
    w.entry_year = gui::cell(g[0], 3, 4);
    w.cbtxt_startmonth = gui::cell(g[0], 3, 3);
    w.cbtxt_stopmonth = gui::cell(g[0], 4, 3);
    w.label_month_order = gui::cell(g[0], 3, 5);
    w.entry_month = gui::cell(g[1], 1, 1);
    w.entry_days = gui::cell(g[1], 1, 2);
    w.entry_month_irr = gui::cell(g[1], 3, 1);
    w.entry_month_gdd = gui::cell(g[1], 3, 2);
    w.entry_cum_irr = gui::cell(g[1], 5, 1);
    w.entry_cum_gdd = gui::cell(g[1], 5, 2);
    w.button_start = gui::cell(g[2], 1, 0);
    w.button_continue = gui::cell(g[2], 2, 0);
    w.button_close = gui::cell(g[2], 3, 0);
    return w;
}

c2_widgets openSeason(const char *locale) {
    gui::start();
    if (locale != nullptr) gui::writeFile("locale.txt", locale);
    gui::activate(months);
    EXPECT_NE(c2_window, nullptr);
    return findWidgets();
}

void setSeason(const c2_widgets &w, const char *firstDay, const char *firstMonth, const char *lastDay,
               const char *lastMonth, const char *year) {
    gui::setText(w.entry_startday, firstDay);
    gui::choose(w.cbtxt_startmonth, firstMonth);
    gui::setText(w.entry_stopday, lastDay);
    gui::choose(w.cbtxt_stopmonth, lastMonth);
    gui::setText(w.entry_year, year);
}

// Presses a button and returns what it wrote on the standard output.
std::string press(GtkWidget *button) {
    testing::internal::CaptureStdout();
    gui::click(button);
    return testing::internal::GetCapturedStdout();
}

std::string fmt(const char *format, float value) {
    gchar *s = g_strdup_printf(format, static_cast<double>(value));
    std::string out = s;
    g_free(s);
    return out;
}

struct Row {
    float irr;
    float gdd;
};

void expectRow(const c2_widgets &w, const char *month, const char *days, Row row, Row total) {
    EXPECT_EQ(gui::text(w.entry_month), month);
    EXPECT_EQ(gui::text(w.entry_days), days);
    EXPECT_EQ(gui::text(w.entry_month_irr), fmt("%.1f mj/sqm", row.irr)) << month;
    EXPECT_EQ(gui::text(w.entry_month_gdd), fmt("%.2f", row.gdd)) << month;
    EXPECT_EQ(gui::text(w.entry_cum_irr), fmt("%.1f mj/sqm", total.irr)) << month;
    EXPECT_EQ(gui::text(w.entry_cum_gdd), fmt("%.2f", total.gdd)) << month;
    // To the bit, not only to the digits shown.
    EXPECT_EQ(accumulatedIrr, total.irr) << month;
    EXPECT_EQ(accumulatedGDD, total.gdd) << month;
}

Row wholeMonth(int month) {
    float irr = getMonthsIrr(month);
    return {irr, getMonthsGDD(month, irr)};
}

Row partOfMonth(int month, int first, int last) {
    float irr = 0.0f;
    for (int d = first; d <= last; d++) irr = irr + getDaysIrr(d, month, active_year);
    float whole = getMonthsIrr(month);
    return {irr, (irr / whole) * getMonthsGDD(month, whole)};
}

Row add(Row a, Row b) { return {a.irr + b.irr, a.gdd + b.gdd}; }

int gridWidth(GtkWidget *child) {
    int width = 0;
    gtk_container_child_get(GTK_CONTAINER(gtk_widget_get_parent(child)), child, "width", &width, nullptr);
    return width;
}

bool editable(GtkWidget *entry) { return gtk_editable_get_editable(GTK_EDITABLE(entry)); }

}  // namespace

TEST(SeasonWindow, OpensEmptyAndNeedsBothMonths) {
    c2_widgets w = openSeason("latitude  44.5\nlongitude  -123.0\nelevation  150\naspect  180\ntilt  0\n");
    ASSERT_NE(w.button_close, nullptr);
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(oneormany, 2);
    EXPECT_EQ(haveprefs, 1);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(c2_window)), "GDD during months");
    EXPECT_EQ(active_press, 1013.0f);
    EXPECT_EQ(active_temp, 15.0f);
    EXPECT_EQ(active_timezone, -8.0f);
    EXPECT_EQ(active_dt, 1);

    EXPECT_EQ(gui::text(w.entry_lat), " 44.5000");
    EXPECT_EQ(gui::text(w.entry_lon), "-123.0000");
    EXPECT_EQ(gui::text(w.entry_elev), "150.0000");
    EXPECT_EQ(gui::text(w.entry_tilt), "  0.0000");
    EXPECT_EQ(gui::text(w.entry_startday), "");
    EXPECT_EQ(gui::text(w.entry_stopday), "");
    EXPECT_EQ(gui::text(w.entry_year), "");
    EXPECT_EQ(gui::text(w.entry_month_irr), "  ");
    EXPECT_EQ(gui::text(w.entry_cum_gdd), "  ");
    EXPECT_EQ(gtk_entry_get_width_chars(GTK_ENTRY(w.entry_startday)), 14);
    EXPECT_EQ(gtk_entry_get_max_width_chars(GTK_ENTRY(w.entry_days)), 12);
    EXPECT_EQ(gridWidth(w.entry_year), 2);
    EXPECT_EQ(gtk_entry_get_alignment(GTK_ENTRY(w.entry_year)), 0.5f);
    EXPECT_EQ(gridWidth(w.label_month_order), 2);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(w.label_month_order)), "BAD MONTH ORDER");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(w.button_start)), "     start     ");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(w.button_close)), "     close     ");

    EXPECT_FALSE(gui::visible(w.label_month_order));
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.cbtxt_startmonth)), -1);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.cbtxt_stopmonth)), -1);
    EXPECT_FALSE(gui::sensitive(w.button_start));
    EXPECT_FALSE(gui::sensitive(w.button_continue));

    gui::choose(w.cbtxt_startmonth, "May");
    EXPECT_FALSE(gui::sensitive(w.button_start));
    gui::choose(w.cbtxt_stopmonth, "June");
    EXPECT_TRUE(gui::sensitive(w.button_start));
    EXPECT_FALSE(gui::sensitive(w.button_continue));

    // A second opening while the window is up changes nothing.
    GtkWidget *first = c2_window;
    gui::activate(months);
    EXPECT_EQ(c2_window, first);
}

TEST(SeasonWindow, ChecksInOrderOfPrecedence) {
    c2_widgets w = openSeason(kSite);
    setSeason(w, "15", "May", "10", "May", "2010");

    EXPECT_EQ(press(w.button_start), "retval is 5 and error_watch is 1\n");
    EXPECT_TRUE(gui::visible(w.label_month_order));
    EXPECT_FALSE(gui::sensitive(w.button_start));
    gui::choose(w.cbtxt_stopmonth, "April");
    EXPECT_FALSE(gui::visible(w.label_month_order));
    EXPECT_TRUE(gui::sensitive(w.button_start));
    EXPECT_EQ(press(w.button_start), "retval is 5 and error_watch is 1\n");
    EXPECT_TRUE(gui::visible(w.label_month_order));
    gui::choose(w.cbtxt_startmonth, "March");
    EXPECT_TRUE(gui::sensitive(w.button_start));

    // The year goes before the month order.
    gui::choose(w.cbtxt_stopmonth, "February");
    gui::setText(w.entry_year, "1999");
    EXPECT_EQ(press(w.button_start), "retval is 4 and error_watch is 1\n");
    EXPECT_EQ(gui::text(w.entry_year), "BAD YEAR");
    EXPECT_FALSE(gui::visible(w.label_month_order));
    EXPECT_TRUE(gui::sensitive(w.button_start));
    gui::setText(w.entry_year, "2051");
    EXPECT_EQ(c2_CheckEntries(&w), 4);
    // A year followed by other text is no year at all.
    gui::setText(w.entry_year, "2050xyz");
    EXPECT_EQ(c2_CheckEntries(&w), 4);
    gui::setText(w.entry_year, "2050");
    EXPECT_EQ(c2_CheckEntries(&w), 5);

    // The start day goes before the stop day.
    gui::choose(w.cbtxt_stopmonth, "April");
    gui::setText(w.entry_startday, "32");
    gui::setText(w.entry_stopday, "31");
    EXPECT_EQ(press(w.button_start), "retval is 2 and error_watch is 1\n");
    EXPECT_EQ(gui::text(w.entry_startday), "BAD DAY");
    EXPECT_EQ(gui::text(w.entry_stopday), "31");
    gui::setText(w.entry_startday, "31");
    EXPECT_EQ(press(w.button_start), "retval is 3 and error_watch is 1\n");
    EXPECT_EQ(gui::text(w.entry_stopday), "BAD DAY");
    EXPECT_FALSE(gui::sensitive(w.button_continue));
    EXPECT_EQ(gui::text(w.entry_month_irr), "  ");

    // Days only as whole numbers, clamped rather than overflowing.
    gui::setText(w.entry_stopday, "30th");
    EXPECT_EQ(c2_CheckEntries(&w), 3);
    gui::setText(w.entry_stopday, " 30 ");
    EXPECT_EQ(c2_CheckEntries(&w), 0);
    gui::setText(w.entry_startday, "99999999999");
    EXPECT_EQ(c2_CheckEntries(&w), 2);
    gui::setText(w.entry_startday, "-99999999999");
    EXPECT_EQ(c2_CheckEntries(&w), 2);
    gui::setText(w.entry_startday, "0");
    EXPECT_EQ(c2_CheckEntries(&w), 2);

    // 29 February only in leap years, as a start and as a stop day.
    gui::choose(w.cbtxt_startmonth, "February");
    gui::choose(w.cbtxt_stopmonth, "March");
    gui::setText(w.entry_startday, "29");
    gui::setText(w.entry_stopday, "1");
    gui::setText(w.entry_year, "2004");
    EXPECT_EQ(c2_CheckEntries(&w), 0);
    gui::setText(w.entry_year, "2001");
    EXPECT_EQ(c2_CheckEntries(&w), 2);
    gui::choose(w.cbtxt_startmonth, "January");
    gui::choose(w.cbtxt_stopmonth, "February");
    gui::setText(w.entry_startday, "1");
    gui::setText(w.entry_stopday, "29");
    EXPECT_EQ(c2_CheckEntries(&w), 3);
    gui::setText(w.entry_year, "2004");
    EXPECT_EQ(c2_CheckEntries(&w), 0);
    gui::setText(w.entry_year, "2000");
    EXPECT_EQ(c2_CheckEntries(&w), 0);
}

TEST(SeasonWindow, RegionIsTestedOnIntegerParts) {
    c2_widgets w = openSeason(kSite);
    EXPECT_TRUE(c2_LocaleOK(&w));
    struct Case {
        GtkWidget *entry;
        const char *text;
        bool ok;
    } cases[] = {
        {w.entry_lat, "46.9", true},        {w.entry_lat, "47.0", false},     {w.entry_lat, "42", true},
        {w.entry_lat, "41.99", false},      {w.entry_lat, "north", false},    {w.entry_lon, "-124.9", true},
        {w.entry_lon, "-123.9", true},      {w.entry_lon, "-122.9", false},   {w.entry_lon, "-125", false},
        {w.entry_elev, "100", true},        {w.entry_elev, "600.9", true},    {w.entry_elev, "99.9", false},
        {w.entry_elev, "601", false},       {w.entry_aspect, "0", true},      {w.entry_aspect, "360.5", true},
        {w.entry_aspect, "-1", false},      {w.entry_aspect, "361", false},   {w.entry_tilt, "-10.9", true},
        {w.entry_tilt, "30", true},         {w.entry_tilt, "-11", false},     {w.entry_tilt, "31", false},
        {w.entry_tilt, "1e999", false},     {w.entry_aspect, "1e39", false},  {w.entry_tilt, "1e30", false},
    };
    for (const Case &c : cases) {
        std::string before = gui::text(c.entry);
        gui::setText(c.entry, c.text);
        EXPECT_EQ(c2_LocaleOK(&w), c.ok) << c.text;
        gui::setText(c.entry, before.c_str());
    }
    // Outside the region the warning outranks every other check.
    gui::setText(w.entry_lat, "47.0");
    gui::setText(w.entry_year, "1999");
    EXPECT_EQ(c2_CheckEntries(&w), 1);
}

TEST(SeasonWindow, SeasonMonthByMonthWithTotals) {
    c2_widgets w = openSeason(kSite);
    setSeason(w, "15", "March", "10", "June", "2010");

    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 1\n");
    EXPECT_EQ(pass, 1);
    EXPECT_EQ(active_latitude, 44.133f);
    EXPECT_EQ(active_longitude, -123.214f);
    EXPECT_EQ(northsouth, 1);
    EXPECT_FALSE(gui::sensitive(w.button_start));
    EXPECT_TRUE(gui::sensitive(w.button_continue));
    // With locale.txt the location stays editable during the run.
    EXPECT_TRUE(editable(w.entry_lat));

    Row march = partOfMonth(3, 15, 31);
    Row total = march;
    expectRow(w, "March", "15 - 31", march, total);
    EXPECT_GT(march.gdd, 0.0f);

    // Edits during a run take effect only at the next start; only a start
    // press writes its line.
    gui::setText(w.entry_lat, "45.9");
    EXPECT_EQ(press(w.button_continue), "");
    Row april = wholeMonth(4);
    total = add(total, april);
    expectRow(w, "April", "1 - 30", april, total);

    gui::click(w.button_continue);
    Row may = wholeMonth(5);
    total = add(total, may);
    expectRow(w, "May", "1 - 31", may, total);
    EXPECT_TRUE(gui::sensitive(w.button_continue));

    gui::click(w.button_continue);
    Row june = partOfMonth(6, 1, 10);
    total = add(total, june);
    expectRow(w, "June", "1 - 10", june, total);
    EXPECT_EQ(pass, 4);
    EXPECT_FALSE(gui::sensitive(w.button_continue));
    EXPECT_TRUE(gui::sensitive(w.button_start));

    // Day 1 of the start month and the last day of the stop month are whole
    // months; a new run starts its totals from 0.
    gui::setText(w.entry_lat, "44.133");
    gui::setText(w.entry_startday, "1");
    gui::setText(w.entry_stopday, "30");
    gui::choose(w.cbtxt_stopmonth, "April");
    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 1\n");
    Row wholeMarch = wholeMonth(3);
    expectRow(w, "March", "1 - 31", wholeMarch, wholeMarch);
    gui::click(w.button_continue);
    expectRow(w, "April", "1 - 30", april, add(wholeMarch, april));
    EXPECT_FALSE(gui::sensitive(w.button_continue));
}

TEST(SeasonWindow, RefusedStartDuringRunLeavesTheRunAsItWas) {
    c2_widgets w = openSeason(kSite);
    setSeason(w, "15", "January", "29", "February", "2004");
    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 1\n");
    // Another year and a bad day: refused, and the leap-year run goes on.
    gui::setText(w.entry_year, "2001");
    gui::setText(w.entry_startday, "x");
    EXPECT_EQ(press(w.button_start), "retval is 2 and error_watch is 1\n");
    EXPECT_EQ(gui::text(w.entry_startday), "BAD DAY");
    gui::click(w.button_continue);

    setMonthLengths(2004);
    Row january = partOfMonth(1, 15, 31);
    Row february = wholeMonth(2);
    expectRow(w, "February", "1 - 29", february, add(january, february));
    EXPECT_FALSE(gui::sensitive(w.button_continue));
}

TEST(SeasonWindow, ZoneFollowsTheLatitude) {
    c2_widgets w = openSeason(kSite);
    setSeason(w, "1", "May", "30", "June", "2010");
    for (auto zone : {std::make_pair("43.7", 1), std::make_pair("43.69", 2), std::make_pair("45", 1)}) {
        gui::setText(w.entry_lat, zone.first);
        EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 1\n");
        EXPECT_EQ(northsouth, zone.second) << zone.first;
    }
}

// The run's days are on the clock of the standard zone nearest the typed
// longitude (-8 across the Pacific zone), read at each start.
TEST(SeasonWindow, ClockFollowsTheLongitude) {
    c2_widgets w = openSeason(kSite);
    error_watch = 0;
    setSeason(w, "1", "June", "31", "July", "2010");
    const std::pair<const char *, float> zones[] = {{"-75", -5.0f}, {"75", -5.0f}, {"-123.214", -8.0f}, {"-112.5", -8.0f}};
    for (const auto &zone : zones) {
        gui::setText(w.entry_lon, zone.first);
        EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n") << zone.first;
        EXPECT_EQ(active_timezone, zone.second) << zone.first;
        expectRow(w, "June", "1 - 30", wholeMonth(6), wholeMonth(6));
    }
}

TEST(SeasonWindow, WithoutLocaleFileLocationIsLockedDuringRun) {
    c2_widgets w = openSeason(nullptr);
    EXPECT_EQ(haveprefs, 0);
    EXPECT_EQ(gui::text(w.entry_lat), "");
    EXPECT_EQ(gui::text(w.entry_tilt), "");
    gui::setText(w.entry_lat, "43.5");
    gui::setText(w.entry_lon, "-123.5");
    gui::setText(w.entry_elev, "300");
    gui::setText(w.entry_aspect, "90");
    gui::setText(w.entry_tilt, "5");
    setSeason(w, "31", "January", "1", "February", "2010");

    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 1\n");
    EXPECT_EQ(northsouth, 2);
    for (GtkWidget *e : {w.entry_lat, w.entry_lon, w.entry_elev, w.entry_aspect, w.entry_tilt})
        EXPECT_FALSE(editable(e));
    EXPECT_EQ(gui::text(w.entry_days), "31 - 31");
    gui::click(w.button_continue);
    EXPECT_EQ(gui::text(w.entry_days), "1 - 1");
    for (GtkWidget *e : {w.entry_lat, w.entry_lon, w.entry_elev, w.entry_aspect, w.entry_tilt})
        EXPECT_TRUE(editable(e));
    // A stray continue after the end shows nothing new.
    std::string shown = gui::text(w.entry_cum_irr);
    gui::click(w.button_continue);
    EXPECT_EQ(gui::text(w.entry_month), "February");
    EXPECT_EQ(gui::text(w.entry_cum_irr), shown);
}

TEST(SeasonWindow, WarningThenOutOfRegionSites) {
    c2_widgets w = openSeason("latitude  89\nlongitude  123.0\nelevation  114\naspect  180\ntilt  10\n");
    setSeason(w, "15", "November", "10", "December", "2010");

    EXPECT_EQ(press(w.button_start), "retval is 1 and error_watch is 1\n");
    EXPECT_FALSE(gui::visible(c2_window));
    EXPECT_TRUE(gui::visible(error_frame));
    EXPECT_TRUE(gui::sensitive(error_close));
    EXPECT_EQ(gui::text(w.entry_month_irr), "  ");
    EXPECT_EQ(in_use, 1);
    gui::click(error_close);
    EXPECT_EQ(error_watch, 0);
    EXPECT_TRUE(gui::visible(c2_window));

    // Polar night: no sun in the whole month, so the part gets no degree
    // days rather than 0/0. A positive longitude is taken as west.
    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n");
    EXPECT_EQ(active_longitude, -123.0f);
    EXPECT_EQ(gui::text(w.entry_days), "15 - 30");
    EXPECT_EQ(gui::text(w.entry_month_irr), "0.0 mj/sqm");
    EXPECT_EQ(gui::text(w.entry_month_gdd), "0.00");
    EXPECT_EQ(gui::text(w.entry_cum_gdd), "0.00");

    // Sites the engine refuses end the run instead of showing stale numbers.
    const char *refused[][2] = {{"95", "-123"}, {"44", "1e999"}, {"nan", "-123"}};
    for (auto &site : refused) {
        gui::setText(w.entry_lat, site[0]);
        gui::setText(w.entry_lon, site[1]);
        gui::choose(w.cbtxt_startmonth, "October");
        EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n") << site[0];
        EXPECT_EQ(gui::text(w.entry_month_irr), "out of range") << site[0];
        EXPECT_EQ(gui::text(w.entry_cum_gdd), "out of range") << site[0];
        EXPECT_EQ(gui::text(w.entry_month), "out of range") << site[0];
        EXPECT_TRUE(gui::sensitive(w.button_start));
        EXPECT_FALSE(gui::sensitive(w.button_continue));
        EXPECT_TRUE(editable(w.entry_lat));
    }

    // A whole month takes the month's degree days as they stand, even
    // without sun: the southern regression gives 141.06 at 0.
    gui::setText(w.entry_lat, "-89");
    gui::setText(w.entry_lon, "-123");
    setSeason(w, "1", "July", "31", "August", "2010");
    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n");
    EXPECT_EQ(northsouth, 2);
    EXPECT_EQ(gui::text(w.entry_days), "1 - 31");
    EXPECT_EQ(gui::text(w.entry_month_irr), "0.0 mj/sqm");
    EXPECT_EQ(gui::text(w.entry_month_gdd), "141.06");
}

TEST(SeasonWindow, ClosingFreesWindowAndOpensFresh) {
    c2_widgets w = openSeason(kSite);
    setSeason(w, "30", "March", "1", "April", "2010");
    press(w.button_start);
    EXPECT_TRUE(gui::sensitive(w.button_continue));

    gui::click(w.button_close);
    EXPECT_EQ(in_use, 0);
    EXPECT_EQ(c2_window, nullptr);

    gui::activate(months);
    ASSERT_NE(c2_window, nullptr);
    EXPECT_EQ(in_use, 1);
    w = findWidgets();
    EXPECT_EQ(gui::text(w.entry_month), "");
    EXPECT_EQ(gui::text(w.entry_cum_irr), "  ");
    EXPECT_FALSE(gui::sensitive(w.button_start));
    EXPECT_FALSE(gui::sensitive(w.button_continue));

    // Through the window manager: the same as close.
    gtk_window_close(GTK_WINDOW(c2_window));
    gui::pump();
    EXPECT_EQ(in_use, 0);
    EXPECT_EQ(c2_window, nullptr);
    gui::activate(months);
    EXPECT_NE(c2_window, nullptr);
    EXPECT_EQ(in_use, 1);
}

// A number followed by other text is no number: the location counts as
// outside the region (its integer part is that of the whole value, so 1e38 is
// no 1), a day or year so written is BAD DAY or BAD YEAR, and a site far
// outside the region shows "out of range" as the one-day window does.
TEST(SeasonEntries, OnlyTextsThatAreWhollyANumberAreRead) {
    c2_widgets w = openSeason(kSite);
    struct Place { GtkWidget *entry; const char *text; bool ok; } places[] = {
        {w.entry_lat, "44,13", false},   {w.entry_lat, "44\xc2\xb0" "N", false}, {w.entry_aspect, "1e38", false},
        {w.entry_tilt, "1e38", false},   {w.entry_tilt, "1e1", true},            {w.entry_lat, "4.6e1", true},
        {w.entry_lat, "  44.1330", true}, {w.entry_lon, "-123.2140", true},      {w.entry_lon, "-123.9999", true},
    };
    for (const Place &p : places) {
        std::string before = gui::text(p.entry);
        gui::setText(p.entry, p.text);
        EXPECT_EQ(c2_LocaleOK(&w), p.ok) << p.text;
        gui::setText(p.entry, before.c_str());
    }
    setSeason(w, "1e38", "March", "10", "June", "2010");
    EXPECT_EQ(press(w.button_start), "retval is 2 and error_watch is 1\n");
    EXPECT_EQ(gui::text(w.entry_startday), "BAD DAY");
    setSeason(w, "15", "March", "10", "June", "2010 AD");
    EXPECT_EQ(press(w.button_start), "retval is 4 and error_watch is 1\n");

    // After the warning: a location that is no number, or one whose degree
    // days run to 38 digits, ends the run with "out of range".
    gui::setText(w.entry_lat, "44,13");
    setSeason(w, "15", "March", "10", "June", "2010");
    EXPECT_EQ(press(w.button_start), "retval is 1 and error_watch is 1\n");
    gui::click(error_close);
    for (const char *elevation : {"114", "-3e38"}) {
        gui::setText(w.entry_elev, elevation);
        EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n") << elevation;
        EXPECT_EQ(gui::text(w.entry_month_gdd), "out of range") << elevation;
        EXPECT_EQ(gui::text(w.entry_cum_gdd), "out of range") << elevation;
        EXPECT_FALSE(gui::sensitive(w.button_continue)) << elevation;
        gui::setText(w.entry_lat, "44.133");
    }
    gui::setText(w.entry_elev, "114");
    EXPECT_EQ(press(w.button_start), "retval is 0 and error_watch is 0\n");
    EXPECT_EQ(gui::text(w.entry_month), "March");
    EXPECT_TRUE(gui::sensitive(w.button_continue));
}
