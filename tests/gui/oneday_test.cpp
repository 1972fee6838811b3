// The one-day calculator driven through the menu, its widgets found by their
// grid cells.
#include "gui_support.h"

#include "model/model.h"
#include "oneday/oneday.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <string>
#include <vector>

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
    w.label_computer_clock = gui::cell(g[1], 0, 3);
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

// A time in minutes as a clock text: hours, minutes and seconds cut off by
// truncation in single precision, then the zone label.
std::string clockText(float t, const char *zone) {
    int h = static_cast<int>(t / 60.0f);
    int m = static_cast<int>(t - static_cast<float>(60 * h));
    int s = static_cast<int>(60.0f * (t - static_cast<float>(60 * h) - static_cast<float>(m)));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%2.2d:%2.2d:%2.2d %s", h, m, s, zone);
    return buffer;
}

// Sunrise and sunset texts for the state the last calculation left behind.
std::vector<std::string> expectedClocks(int day, int month, int year, const char *zone) {
    float rise = 0, set = 0;
    getDayBounds(day, month, year, &rise, &set);
    return {clockText(rise, zone), clockText(set, zone)};
}

std::vector<std::string> clocks(const c1_widgets &w) {
    return {gui::text(w.entry_sunrise), gui::text(w.entry_sunset)};
}

std::vector<GtkWidget *> children(GtkWidget *container) {
    std::vector<GtkWidget *> out;
    GList *list = gtk_container_get_children(GTK_CONTAINER(container));
    for (GList *l = list; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
    g_list_free(list);
    return out;
}

int intProperty(GObject *object, const char *name) {
    int value = 0;
    g_object_get(object, name, &value, nullptr);
    return value;
}

std::vector<int> sizeRequest(GtkWidget *widget) {
    int width = 0, height = 0;
    gtk_widget_get_size_request(widget, &width, &height);
    return {width, height};
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

    EXPECT_EQ(intProperty(G_OBJECT(c1_window), "window-position"), GTK_WIN_POS_CENTER);
    GdkRGBA colour;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_style_context_get_background_color(gtk_widget_get_style_context(c1_window), GTK_STATE_FLAG_NORMAL, &colour);
    G_GNUC_END_IGNORE_DEPRECATIONS
    EXPECT_NEAR(colour.red, 0x3333 / 65535.0, 1e-3);
    EXPECT_NEAR(colour.green, 0xEEEE / 65535.0, 1e-3);
    EXPECT_NEAR(colour.blue, 0xCCCC / 65535.0, 1e-3);

    // A vertical box holding the two frames and the button row, each packed
    // at the start without expanding or filling.
    GtkWidget *box = gtk_bin_get_child(GTK_BIN(c1_window));
    ASSERT_TRUE(GTK_IS_BOX(box));
    EXPECT_EQ(gtk_orientable_get_orientation(GTK_ORIENTABLE(box)), GTK_ORIENTATION_VERTICAL);
    EXPECT_FALSE(gtk_box_get_homogeneous(GTK_BOX(box)));
    EXPECT_EQ(gtk_box_get_spacing(GTK_BOX(box)), 5);
    EXPECT_EQ(gtk_container_get_border_width(GTK_CONTAINER(box)), 10u);
    std::vector<GtkWidget *> g = gui::grids(c1_window);
    std::vector<GtkWidget *> rows = children(box);
    ASSERT_EQ(rows.size(), 3u);
    for (GtkWidget *row : rows) {
        gboolean expand = TRUE, fill = TRUE;
        guint padding = 1;
        GtkPackType pack = GTK_PACK_END;
        gtk_box_query_child_packing(GTK_BOX(box), row, &expand, &fill, &padding, &pack);
        EXPECT_FALSE(expand);
        EXPECT_FALSE(fill);
        EXPECT_EQ(padding, 0u);
        EXPECT_EQ(pack, GTK_PACK_START);
    }

    // Two unlabelled frames without shadow, styled by name, each around a grid.
    for (int i = 0; i < 2; i++) {
        GtkWidget *frame = rows[i];
        ASSERT_TRUE(GTK_IS_FRAME(frame));
        EXPECT_STREQ(gtk_widget_get_name(frame), "grid_frame");
        EXPECT_EQ(gtk_frame_get_shadow_type(GTK_FRAME(frame)), GTK_SHADOW_NONE);
        EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame)), nullptr);
        EXPECT_EQ(gtk_bin_get_child(GTK_BIN(frame)), g[i]);
        EXPECT_EQ(gtk_grid_get_row_spacing(GTK_GRID(g[i])), 10u);
        EXPECT_EQ(gtk_grid_get_column_spacing(GTK_GRID(g[i])), 10u);
        GtkStyleContext *style = gtk_widget_get_style_context(frame);
        GtkBorder border{}, padding{};
        gtk_style_context_get_border(style, gtk_style_context_get_state(style), &border);
        gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
        EXPECT_EQ(std::vector<int>({border.left, border.right, border.top, border.bottom}), std::vector<int>(4, 2));
        EXPECT_EQ(std::vector<int>({padding.left, padding.right, padding.top, padding.bottom}), std::vector<int>(4, 10));
    }

    // Every label and its class; every cell one column by one row.
    struct Label { int grid, column, row; const char *text; bool title; } labels[] = {
        {0, 2, 0, "     Input", true}, {0, 0, 1, "latitude", false}, {0, 0, 2, "longitude", false},
        {0, 0, 3, "elevation", false}, {0, 0, 4, "aspect", false},     {0, 0, 5, "tilt", false},
        {0, 3, 2, "day", false},        {0, 3, 3, "month", false},      {0, 3, 4, "year", false},
        {1, 2, 0, "     Output", true}, {1, 0, 1, "sunrise", false},    {1, 0, 2, "sunset", false},
        {1, 3, 1, "irradiance", false}, {1, 3, 2, "GDD", false},
    };
    for (const Label &l : labels) {
        GtkWidget *label = gui::cell(g[l.grid], l.column, l.row);
        ASSERT_TRUE(GTK_IS_LABEL(label)) << l.text;
        EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), l.text);
        EXPECT_EQ(hasClass(label, "section-title"), l.title) << l.text;
        EXPECT_EQ(hasClass(label, "normal-label"), !l.title) << l.text;
    }
    // The title style is bold and larger than the bold label style.
    GtkStyleContext *title = gtk_widget_get_style_context(gui::cell(g[0], 2, 0));
    GtkStyleContext *plain = gtk_widget_get_style_context(gui::cell(g[0], 0, 1));
    double titleSize = 0, plainSize = 0;
    PangoWeight titleWeight = PANGO_WEIGHT_NORMAL, plainWeight = PANGO_WEIGHT_NORMAL;
    gtk_style_context_get(title, gtk_style_context_get_state(title), "font-size", &titleSize, "font-weight",
                          &titleWeight, nullptr);
    gtk_style_context_get(plain, gtk_style_context_get_state(plain), "font-size", &plainSize, "font-weight",
                          &plainWeight, nullptr);
    EXPECT_NEAR(titleSize / plainSize, 12.0 / 10.0, 1e-6);
    EXPECT_EQ(titleWeight, PANGO_WEIGHT_BOLD);
    EXPECT_EQ(plainWeight, PANGO_WEIGHT_BOLD);
    // Below the outputs, across the frame, the line that gives the times on
    // this computer's clock (empty until a calculation), then a wrapped note
    // on what sunrise and sunset mean next to the newspaper's times.
    ASSERT_TRUE(GTK_IS_LABEL(w.label_computer_clock));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(w.label_computer_clock)), "");
    int clockWidth = 0;
    gtk_container_child_get(GTK_CONTAINER(g[1]), w.label_computer_clock, "width", &clockWidth, nullptr);
    EXPECT_EQ(clockWidth, 5);
    GtkWidget *note = gui::cell(g[1], 0, 4);
    ASSERT_TRUE(GTK_IS_LABEL(note));
    EXPECT_TRUE(gtk_label_get_line_wrap(GTK_LABEL(note)));
    std::string noteText = gtk_label_get_text(GTK_LABEL(note));
    EXPECT_NE(noteText.find("about four minutes after the sunrise and before the sunset"), std::string::npos) << noteText;
    EXPECT_NE(noteText.find("eleven minutes"), std::string::npos) << noteText;
    int noteWidth = 0;
    gtk_container_child_get(GTK_CONTAINER(g[1]), note, "width", &noteWidth, nullptr);
    EXPECT_EQ(noteWidth, 5);
    size_t cells[3] = {17, 11, 3};
    for (int i = 0; i < 3; i++) {
        std::vector<GtkWidget *> inGrid = children(g[i]);
        EXPECT_EQ(inGrid.size(), cells[i]);
        for (GtkWidget *child : inGrid) {
            if (child == note || child == w.label_computer_clock) continue;
            int width = 0, height = 0;
            gtk_container_child_get(GTK_CONTAINER(g[i]), child, "width", &width, "height", &height, nullptr);
            EXPECT_EQ(width * 10 + height, 11);
        }
    }

    // The button row: an empty spacer box, then the two buttons.
    EXPECT_EQ(rows[2], g[2]);
    EXPECT_EQ(sizeRequest(g[2]), std::vector<int>({600, 30}));
    EXPECT_EQ(gtk_grid_get_row_spacing(GTK_GRID(g[2])), 10u);
    EXPECT_EQ(gtk_grid_get_column_spacing(GTK_GRID(g[2])), 100u);
    GtkWidget *spacer = gui::cell(g[2], 0, 0);
    ASSERT_TRUE(GTK_IS_BOX(spacer));
    EXPECT_EQ(gtk_orientable_get_orientation(GTK_ORIENTABLE(spacer)), GTK_ORIENTATION_VERTICAL);
    EXPECT_FALSE(gtk_box_get_homogeneous(GTK_BOX(spacer)));
    EXPECT_EQ(gtk_box_get_spacing(GTK_BOX(spacer)), 5);
    EXPECT_EQ(sizeRequest(spacer), std::vector<int>({75, 30}));
    EXPECT_TRUE(children(spacer).empty());
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
    EXPECT_EQ(gui::text(w.entry_aspect), "180.0000");
    EXPECT_EQ(gui::text(w.entry_tilt), "  0.0000");
    EXPECT_EQ(gui::text(w.entry_day), "");
    EXPECT_EQ(gui::text(w.entry_year), "");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.cbtxt_month)), -1);
    EXPECT_FALSE(gui::sensitive(w.button_calculate));
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
    // The heap is read with no window open and the X connection drained.
    // Most openings then leave it exactly as it was, while GTK keeps one
    // 24 kB buffer on and off; a record kept per opening would shift every
    // step by its size, so the median step must stay below half of it.
    std::vector<long long> steps;
    long long previous = 0;
    for (int round = 0; round < 100; round++) {
        GtkWidget *window = c1_window;
        g_object_add_weak_pointer(G_OBJECT(window), reinterpret_cast<gpointer *>(&window));
        if (round % 2 == 0) {
            on_c1_dismiss_clicked(nullptr, nullptr);
        } else {
            gtk_window_close(GTK_WINDOW(c1_window));
        }
        gui::pump();
        gdk_display_sync(gdk_display_get_default());
        gui::pump();
        if (window != nullptr) g_object_remove_weak_pointer(G_OBJECT(window), reinterpret_cast<gpointer *>(&window));
        ASSERT_EQ(window, nullptr) << "round " << round;
        long long now = heapInUse();
        // The first openings fill GTK's caches.
        if (round >= 20) steps.push_back(now - previous);
        previous = now;
        gui::activate(oneday);
    }
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    EXPECT_LT(steps[steps.size() / 2], static_cast<long long>(sizeof(c1_widgets) / 2));
}

TEST(OneDayCalculation, CompleteCaseFillsAllFourOutputs) {
    c1_widgets w = open(site);
    enter(w, "44.5", "-123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(northsouth, 1);
    float rise = 0, set = 0;
    getDayBounds(15, 7, 2010, &rise, &set);
    EXPECT_EQ(clocks(w), std::vector<std::string>({clockText(rise, "(Z-8)"), clockText(set, "(Z-8)")}));
    EXPECT_GT(rise, 4 * 60.0f);
    EXPECT_LT(set, 21 * 60.0f);
    float day = getDaysIrr(15, 7, 2010);
    EXPECT_GT(day, 15.0f);
    EXPECT_LT(day, 40.0f);
    EXPECT_EQ(gui::text(w.entry_irradiance), printed("%6.2f mj/sqm", day));
    float month = getMonthsIrr(7);
    EXPECT_EQ(gui::text(w.entry_gdd), printed("%5.2f deg days", day / month * getMonthsGDD(7, month)));
    std::vector<std::string> west = outputs(w);

    // The clock is that of the standard zone nearest the typed longitude,
    // and its label follows the zone exactly (once the region warning is
    // gone): -5 is (EST), -7 has none.
    error_watch = 0;
    const struct {
        const char *longitude;
        float zone;
        const char *label;
    } zones[] = {{"-75.0", -5.0f, "(EST)"}, {"-105.0", -7.0f, ""}, {"112.5", -8.0f, "(Z-8)"}, {"-127.6", -9.0f, ""}};
    for (const auto &z : zones) {
        gui::setText(w.entry_lon, z.longitude);
        gui::click(w.button_calculate);
        EXPECT_EQ(active_timezone, z.zone) << z.longitude;
        EXPECT_EQ(clocks(w), expectedClocks(15, 7, 2010, z.label)) << z.longitude;
        EXPECT_EQ(gui::text(w.entry_irradiance), printed("%6.2f mj/sqm", getDaysIrr(15, 7, 2010))) << z.longitude;
    }
    EXPECT_EQ(gui::text(w.entry_sunrise).size(), 9u);

    // After the warning is gone, an unsigned west longitude gives the same.
    gui::setText(w.entry_lon, "123.0");
    gui::click(w.button_calculate);
    EXPECT_EQ(outputs(w), west);
}

// Under the clock texts, the same moments on this computer's clock where it
// keeps the site's standard time (daylight saving added), else which clock
// the times are on; nothing beside "out of range".
TEST(OneDayCalculation, SaysTheMomentsOnThisComputersClock) {
    c1_widgets w = open(site);
    // The clock texts' time shifted by whole hours, as this computer shows it.
    auto later = [](const std::string &clock, int hours) {
        int h = 0, m = 0, s = 0;
        std::sscanf(clock.c_str(), "%2d:%2d:%2d", &h, &m, &s);
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", h + hours, m, s);
        return std::string(text);
    };
    // Sites outside the region are taken as the warning allows, once dismissed.
    error_watch = 0;
    const struct {
        const char *tz;
        const char *lon;    // as typed: west negative
        const char *day, *month;
        int shift;          // hours of daylight saving; -1: another zone
        const char *zone;   // as the computer names it, or the site's standard offset
    } cases[] = {
        {"America/Los_Angeles", "-123.0", "21", "June", 1, "PDT"},
        {"America/Los_Angeles", "-123.0", "21", "December", 0, "PST"},
        {"Europe/Paris", "-123.0", "21", "June", -1, "UTC\u22128"},
        {"UTC", "-123.0", "21", "June", -1, "UTC\u22128"},
        // The calculators place the sun on the zone nearest the site.
        {"America/New_York", "-75.0", "1", "July", 1, "EDT"},
        {"America/New_York", "-84.0", "1", "July", -1, "UTC\u22126"},
        {"America/Los_Angeles", "-75.0", "1", "July", -1, "UTC\u22125"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tz) + " " + c.lon);
        setenv("TZ", c.tz, 1);
        tzset();
        enter(w, "44.5", c.lon, c.day, c.month, "2024");
        gui::click(w.button_calculate);
        const std::string line = gtk_label_get_text(GTK_LABEL(w.label_computer_clock));
        if (c.shift < 0) {
            EXPECT_EQ(line, std::string("times on the standard clock of ") + c.zone + ", the zone nearest the site");
        } else {
            EXPECT_EQ(line, "that is " + later(gui::text(w.entry_sunrise), c.shift) + " and " +
                                later(gui::text(w.entry_sunset), c.shift) + " " + c.zone +
                                " on this computer's clock");
        }
    }
    // A site that gives no figures.
    gui::setText(w.entry_elev, "-3e38");
    gui::click(w.button_calculate);
    ASSERT_EQ(gui::text(w.entry_sunrise), "out of range");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(w.label_computer_clock)), "");
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

    // The handler marks the entry, leaves the earlier results as they are,
    // and the mark itself is rejected on the next press.
    enter(w, "44.5", "-123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    std::vector<std::string> earlier = outputs(w);
    ASSERT_NE(earlier, std::vector<std::string>(outputsBlank, outputsBlank + 4));
    enter(w, "44.5", "-123.0", "31", "April", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_day), "BAD DAY");
    EXPECT_EQ(outputs(w), earlier);
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_day), "BAD DAY");
    gui::setText(w.entry_year, "2051");
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_year), "BAD YEAR");
    EXPECT_EQ(gui::text(w.entry_day), "BAD DAY");
    EXPECT_EQ(outputs(w), earlier);
    enter(w, "44.5", "-123.0", "15", "July", "2051");
    gui::click(w.button_calculate);
    EXPECT_EQ(gui::text(w.entry_year), "BAD YEAR");
    EXPECT_EQ(gui::text(w.entry_day), "15");
    EXPECT_EQ(outputs(w), earlier);
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
    enter(w, "44.5", "-123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    std::vector<std::string> earlier = outputs(w);
    ASSERT_NE(earlier, std::vector<std::string>(outputsBlank, outputsBlank + 4));
    gui::setText(w.entry_lon, "123.0");
    gui::click(w.button_calculate);
    EXPECT_FALSE(gui::visible(c1_window));
    EXPECT_TRUE(gui::visible(error_frame));
    EXPECT_TRUE(gui::sensitive(error_close));
    EXPECT_EQ(outputs(w), earlier);

    gui::click(error_close);
    EXPECT_TRUE(gui::visible(c1_window));
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(error_watch, 0);
    EXPECT_EQ(outputs(w), earlier);
    gui::setText(w.entry_elev, "5000");
    gui::click(w.button_calculate);
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_EQ(clocks(w), expectedClocks(15, 7, 2010, "(Z-8)"));

    // Polar night: the engine's no-rise and no-set markers go through the
    // clock arithmetic unchanged, and the dark month gives no degree days.
    enter(w, "80", "-123.0", "15", "December", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(outputs(w), std::vector<std::string>({"49:59:00 (Z-8)", "-49:-59:00 (Z-8)", "  0.00 mj/sqm",
                                                    " 0.00 deg days"}));
}

TEST(OneDayWarning, RefusedOrNonFiniteSitesShowOutOfRangeOnceDismissed) {
    c1_widgets w = open(site);
    error_watch = 0;
    // The elevations are no concern of the engine, but through the
    // elevation correction they give degree days of 37 and of 8 digits.
    struct Bad { GtkWidget *entry; const char *value; } bad[] = {
        {w.entry_lat, "95"},     {w.entry_lat, "nan"},   {w.entry_tilt, "inf"},
        {w.entry_lat, "1e999"},  {w.entry_elev, "-3e38"}, {w.entry_elev, "-2e9"},
    };
    for (const Bad &b : bad) {
        enter(w, "44.5", "-123.0", "15", "July", "2010");
        gui::click(w.button_calculate);
        ASSERT_GT(minutesOf(gui::text(w.entry_sunrise), "(Z-8)"), 0);
        gui::setText(b.entry, b.value);
        gui::click(w.button_calculate);
        EXPECT_EQ(outputs(w), std::vector<std::string>(4, "out of range")) << b.value;
    }
}

// A number followed by other text, or written with a decimal comma, is no
// number at all: outside the region for the location, BAD DAY or BAD YEAR
// for the date. The display formats read as before.
TEST(OneDayEntries, OnlyTextsThatAreWhollyANumberAreRead) {
    c1_widgets w = open(site);
    struct Place { GtkWidget *entry; const char *value; bool ok; } places[] = {
        {w.entry_lat, "44,13", false},       {w.entry_lat, "44\xc2\xb0" "07'59\"N", false},
        {w.entry_lon, "-123.2 W", false},    {w.entry_elev, "150m", false},
        {w.entry_lat, "  44.1330", true},    {w.entry_lon, "-123.2140", true},
        {w.entry_tilt, " 0 ", true},
    };
    for (const Place &p : places) {
        enter(w, "44.5", "-123.0", "15", "July", "2010");
        gui::setText(p.entry, p.value);
        EXPECT_EQ(c1_LocaleOK(&w), p.ok) << p.value;
    }
    struct Date { const char *day, *year; int code; } dates[] = {
        {"1e38", "2010", C1_BAD_DAY}, {"3e38", "2010", C1_BAD_DAY}, {"15th", "2010", C1_BAD_DAY},
        {"15.0", "2010", C1_BAD_DAY}, {"15", "2010.5", C1_BAD_YEAR}, {" 15 ", " 2010 ", C1_OK},
    };
    for (const Date &d : dates) {
        enter(w, "44.5", "-123.0", d.day, "July", d.year);
        EXPECT_EQ(c1_CheckEntries(&w), d.code) << d.day << " " << d.year;
    }

    // The warning while it is armed, "out of range" once it is dismissed.
    enter(w, "44,13", "-123.0", "15", "July", "2010");
    gui::click(w.button_calculate);
    EXPECT_TRUE(gui::visible(error_frame));
    gui::click(error_close);
    gui::click(w.button_calculate);
    EXPECT_EQ(outputs(w), std::vector<std::string>(4, "out of range"));
    enter(w, "  44.5000", "-123.0000", "15", "July", "2010");
    gui::click(w.button_calculate);
    EXPECT_EQ(active_latitude, 44.5f);
    EXPECT_EQ(clocks(w), expectedClocks(15, 7, 2010, "(Z-8)"));
}

}  // namespace
