// The one-day calculator driven through the menu, its widgets found by their
// grid cells.
#include "gui_support.h"

#include "model/model.h"
#include "oneday/oneday.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <malloc.h>
#include <string>

// Present only in sanitizer builds, where it replaces malloc's own counters.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void) __attribute__((weak));

namespace {

const char *const site = "latitude  44.5\nLatitude  50\nlongitude  -123.25\nelevation  150\naspect  180\ntilt  0\n";
const char *const outputsBlank[4] = {"  ", "  ", "  ", "  "};

c1_widgets found(void) {
    std::vector<GtkWidget *> g = gui::grids(c1_window);
    EXPECT_EQ(g.size(), 3u);
    c1_widgets w{};
    if (g.size() < 3) return w;
    w.entry_lat = gui::cell(g[0], 1, 1), w.entry_lon = gui::cell(g[0], 1, 2), w.entry_elev = gui::cell(g[0], 1, 3);
    w.entry_aspect = gui::cell(g[0], 1, 4), w.entry_tilt = gui::cell(g[0], 1, 5);
    w.entry_day = gui::cell(g[0], 4, 2), w.cbtxt_month = gui::cell(g[0], 4, 3), w.entry_year = gui::cell(g[0], 4, 4);
    w.entry_sunrise = gui::cell(g[1], 1, 1), w.entry_sunset = gui::cell(g[1], 1, 2);
    w.entry_irradiance = gui::cell(g[1], 4, 1), w.entry_gdd = gui::cell(g[1], 4, 2);
    w.button_calculate = gui::cell(g[2], 1, 0), w.button_dismiss = gui::cell(g[2], 2, 0);
    return w;
}

c1_widgets open(const char *localeText) {
    gui::start();
    if (localeText != nullptr) gui::writeFile("locale.txt", localeText);
    gui::activate(oneday);
    EXPECT_NE(c1_window, nullptr);
    return found();
}

void enter(const c1_widgets &w, const char *lat, const char *lon, const char *day, const char *month,
           const char *year) {
    gui::setText(w.entry_lat, lat);
    gui::setText(w.entry_lon, lon);
    gui::setText(w.entry_elev, "150");
    gui::setText(w.entry_aspect, "180");
    gui::setText(w.entry_tilt, "0");
    gui::setText(w.entry_day, day);
    gui::choose(w.cbtxt_month, month);
    gui::setText(w.entry_year, year);
}

std::vector<std::string> outputs(const c1_widgets &w) {
    return {gui::text(w.entry_sunrise), gui::text(w.entry_sunset), gui::text(w.entry_irradiance), gui::text(w.entry_gdd)};
}

// Minutes of a shown clock text, or -1 when it does not read as one.
double minutesOf(const std::string &clock, const char *zone) {
    int h = 0, m = 0, s = 0;
    char label[16] = "";
    if (std::sscanf(clock.c_str(), "%2d:%2d:%2d %15s", &h, &m, &s, label) != 4 || std::string(label) != zone) return -1;
    return h * 60.0 + m + s / 60.0;
}

std::string printed(const char *format, float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
    return buffer;
}

bool hasClass(GtkWidget *label, const char *cls) {
    return gtk_style_context_has_class(gtk_widget_get_style_context(label), cls);
}

TEST(OneDayWindow, OpensEmptyWithoutLocaleFileAndWaitsForAMonth) {
    active_timezone = -5.0f, active_temp = 30.0f, active_press = 900.0f, active_dt = 7;
    c1_widgets w = open(nullptr);
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(oneormany, 1);
    EXPECT_EQ(haveprefs, 0);
    EXPECT_EQ(active_timezone, -8.0f);
    EXPECT_EQ(active_temp, 15.0f);
    EXPECT_EQ(active_press, 1013.0f);
    EXPECT_EQ(active_dt, 1);
    EXPECT_EQ(active_hour * 3600 + active_minute * 60 + active_second, 12 * 3600);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(c1_window)), "GDD during one day");
    int width = 0, height = 0;
    gtk_window_get_default_size(GTK_WINDOW(c1_window), &width, &height);
    EXPECT_EQ(width * 1000 + height, 600470);

    std::vector<GtkWidget *> g = gui::grids(c1_window);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::cell(g[0], 2, 0))), "     Input");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::cell(g[1], 2, 0))), "     Output");
    EXPECT_TRUE(hasClass(gui::cell(g[1], 2, 0), "section-title"));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::cell(g[0], 0, 5))), "tilt");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::cell(g[1], 3, 2))), "GDD");
    EXPECT_TRUE(hasClass(gui::cell(g[0], 3, 3), "normal-label"));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(w.button_calculate)), " calculate ");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(w.button_dismiss)), "  dismiss  ");

    for (GtkWidget *e : {w.entry_lat, w.entry_lon, w.entry_elev, w.entry_aspect, w.entry_tilt, w.entry_day, w.entry_year})
        EXPECT_EQ(gui::text(e), "");
    EXPECT_EQ(outputs(w), std::vector<std::string>(outputsBlank, outputsBlank + 4));
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.cbtxt_month)), -1);
    EXPECT_FALSE(gui::sensitive(w.button_calculate));
    gui::choose(w.cbtxt_month, "December");
    EXPECT_TRUE(gui::sensitive(w.button_calculate));
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.cbtxt_month), -1);
    gui::pump();
    EXPECT_TRUE(gui::sensitive(w.button_calculate));
}

TEST(OneDayWindow, ShowsTheStoredSiteAndRereadsItAfterDismissOrClose) {
    c1_widgets w = open(site);
    EXPECT_EQ(haveprefs, 1);
    EXPECT_EQ(gui::text(w.entry_lat), " 44.5000");
    EXPECT_EQ(gui::text(w.entry_lon), "-123.2500");
    EXPECT_EQ(gui::text(w.entry_elev), "150.0000");
    EXPECT_EQ(gui::text(w.entry_tilt), "  0.0000");
    gui::setText(w.entry_lat, "45");

    // Each way out destroys the window (and its record: ASan watches the
    // repeated openings) and frees the menu for the next opening.
    for (int round = 0; round < 20; round++) {
        GtkWidget *old = c1_window;
        g_object_add_weak_pointer(G_OBJECT(old), reinterpret_cast<gpointer *>(&old));
        if (round % 2 == 0) {
            gui::click(w.button_dismiss);
        } else {
            gtk_window_close(GTK_WINDOW(c1_window));
            gui::pump();
        }
        ASSERT_EQ(old, nullptr);
        EXPECT_EQ(c1_window, nullptr);
        EXPECT_EQ(in_use, 0);
        gui::activate(oneday);
        ASSERT_NE(c1_window, nullptr);
        EXPECT_TRUE(gui::visible(c1_window));
        w = found();
        EXPECT_EQ(gui::text(w.entry_lat), " 44.5000");
    }
}

// Bytes in use on the heap.
long long heapInUse(void) {
    if (__sanitizer_get_current_allocated_bytes != nullptr)
        return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
    return static_cast<long long>(mallinfo2().uordblks);
}

TEST(OneDayWindow, RepeatedOpeningDoesNotGrowMemory) {
    open(site);
    // GTK's caches swing by some 25 kB from one opening to the next, so the
    // lowest level of an early and of a late stretch are compared: a record
    // kept per opening would raise it by 240 x 112 bytes.
    long long early = LLONG_MAX, late = LLONG_MAX;
    for (int round = 0; round < 300; round++) {
        on_c1_dismiss_clicked(nullptr, nullptr);
        gui::pump();
        gui::activate(oneday);
        long long now = heapInUse();
        if (round >= 20 && round < 60) early = std::min(early, now);
        if (round >= 260) late = std::min(late, now);
    }
    EXPECT_LT(late - early, 12000);
}

TEST(OneDayCalculation, CompleteCaseFillsAllFourOutputs) {
    c1_widgets w = open(site);
    enter(w, "44.5", "-123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(northsouth, 1);
    float rise = 0, set = 0;
    getDayBounds(15, 7, 2010, &rise, &set);
    EXPECT_NEAR(minutesOf(gui::text(w.entry_sunrise), "(Z-8)"), rise, 1.0 / 60);
    EXPECT_NEAR(minutesOf(gui::text(w.entry_sunset), "(Z-8)"), set, 1.0 / 60);
    EXPECT_GT(rise, 4 * 60.0f);
    EXPECT_LT(set, 21 * 60.0f);
    float day = getDaysIrr(15, 7, 2010);
    EXPECT_GT(day, 15.0f);
    EXPECT_LT(day, 40.0f);
    EXPECT_EQ(gui::text(w.entry_irradiance), printed("%6.2f mj/sqm", day));
    float month = getMonthsIrr(7);
    EXPECT_EQ(gui::text(w.entry_gdd), printed("%5.2f deg days", day / month * getMonthsGDD(7, month)));
    std::vector<std::string> west = outputs(w);

    // The zone label follows the time zone exactly.
    active_timezone = -5.0f;
    gui::click(w.button_calculate);
    EXPECT_GT(minutesOf(gui::text(w.entry_sunset), "(EST)"), 0);
    active_timezone = -7.0f;
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_sunrise).size(), 9u);
    EXPECT_EQ(gui::text(w.entry_sunrise).back(), ' ');

    // After the warning is gone, an unsigned west longitude gives the same.
    error_watch = 0;
    active_timezone = -8.0f;
    gui::setText(w.entry_lon, "123.0");
    gui::click(w.button_calculate);
    EXPECT_EQ(outputs(w), west);
}

TEST(OneDayCalculation, DayAndYearRules) {
    c1_widgets w = open(site);
    struct Case { const char *day, *month, *year; int code; } cases[] = {
        {"29", "February", "2004", C1_OK},   {"29", "February", "2001", C1_BAD_DAY},
        {"31", "April", "2010", C1_BAD_DAY}, {"0", "May", "2010", C1_BAD_DAY},
        {"x", "May", "2010", C1_BAD_DAY},    {"31", "December", "2050", C1_OK},
        {"1", "January", "2000", C1_OK},     {"1", "January", "1999", C1_BAD_YEAR},
        {"1", "January", "2051", C1_BAD_YEAR}, {"0", "April", "1999", C1_BAD_YEAR},
        {"1", "May", "2000000000000000000000000000000000000000", C1_BAD_YEAR},
        {"1", "May", "-2000000000000000000000000000000000000000", C1_BAD_YEAR},
    };
    for (const Case &c : cases) {
        enter(w, "44.5", "-123.0", c.day, c.month, c.year);
        EXPECT_EQ(c1_CheckEntries(&w), c.code) << c.day << " " << c.month << " " << c.year;
    }

    // The handler marks the entry, computes nothing, and the mark itself is
    // rejected on the next press.
    enter(w, "44.5", "-123.0", "31", "April", "2010");
    gui::click(w.button_calculate);
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_day), "BAD DAY");
    gui::setText(w.entry_year, "2051");
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_year), "BAD YEAR");
    EXPECT_EQ(gui::text(w.entry_day), "BAD DAY");
    EXPECT_EQ(outputs(w), std::vector<std::string>(outputsBlank, outputsBlank + 4));
}

TEST(OneDayCalculation, RegionBoundsAndZones) {
    c1_widgets w = open(site);
    struct Case { GtkWidget *entry; const char *value; bool ok; } cases[] = {
        {w.entry_lat, "42.0", true},     {w.entry_lat, "46.0", true},     {w.entry_lat, "46.01", false},
        {w.entry_lat, "41.99", false},   {w.entry_lon, "-122.5", true},   {w.entry_lon, "-124.0", true},
        {w.entry_lon, "-122.4", false},  {w.entry_lon, "-124.01", false}, {w.entry_lon, "123.0", false},
        {w.entry_elev, "100", true},     {w.entry_elev, "600", true},     {w.entry_elev, "99.99", false},
        {w.entry_elev, "600.01", false}, {w.entry_aspect, "0", true},     {w.entry_aspect, "360", true},
        {w.entry_aspect, "-0.01", false}, {w.entry_aspect, "360.01", false}, {w.entry_tilt, "-10", true},
        {w.entry_tilt, "30", true},      {w.entry_tilt, "-10.01", false}, {w.entry_tilt, "30.01", false},
        {w.entry_lat, "nan", false},     {w.entry_lat, "inf", false},     {w.entry_elev, "1e999", false},
        {w.entry_tilt, "-inf", false},   {w.entry_lat, "", false},
    };
    for (const Case &c : cases) {
        enter(w, "44.5", "-123.0", "1", "March", "2010");
        gui::setText(c.entry, c.value);
        EXPECT_EQ(c1_LocaleOK(&w), c.ok) << c.value;
    }

    // 43.7 in single precision lies just above the double threshold.
    enter(w, "43.7", "-123.0", "1", "March", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(northsouth, 1);
    gui::setText(w.entry_lat, "43.69");
    gui::click(w.button_calculate);
    EXPECT_EQ(northsouth, 2);
}

TEST(OneDayWarning, HidesTheWindowOnceAndComesBack) {
    c1_widgets w = open(site);
    enter(w, "44.5", "123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    EXPECT_FALSE(gui::visible(c1_window));
    EXPECT_TRUE(gui::visible(error_frame));
    EXPECT_TRUE(gui::sensitive(error_close));
    EXPECT_EQ(outputs(w), std::vector<std::string>(outputsBlank, outputsBlank + 4));

    gui::click(error_close);
    EXPECT_TRUE(gui::visible(c1_window));
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(error_watch, 0);
    gui::setText(w.entry_elev, "5000");
    gui::click(w.button_calculate);
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_GT(minutesOf(gui::text(w.entry_sunrise), "(Z-8)"), 0);
}

TEST(OneDayWarning, RefusedOrNonFiniteSitesShowOutOfRangeOnceDismissed) {
    c1_widgets w = open(site);
    error_watch = 0;
    const char *const bad[][2] = {{"95", "0"}, {"nan", "0"}, {"44.5", "inf"}, {"1e999", "0"}};
    for (const auto &b : bad) {
        enter(w, "44.5", "-123.0", "15", "July", "2010");
        gui::click(w.button_calculate);
        ASSERT_GT(minutesOf(gui::text(w.entry_sunrise), "(Z-8)"), 0);
        gui::setText(w.entry_lat, b[0]);
        gui::setText(w.entry_tilt, b[1]);
        gui::click(w.button_calculate);
        EXPECT_EQ(outputs(w), std::vector<std::string>(4, "out of range")) << b[0] << " " << b[1];
    }
}

}  // namespace
