// The three self-test panels: their results and the states of their buttons.
#include "gui_support.h"

#include "model/model.h"
#include "selftest/selftest.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

std::string format(const char *fmt, float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, static_cast<double>(value));
    return buffer;
}

// Ready: frame shown, only calculate usable. Shown: results in, only close usable.
void expectButtons(GtkWidget *calculate, GtkWidget *close, bool run) {
    EXPECT_EQ(gui::sensitive(calculate), !run);
    EXPECT_EQ(gui::sensitive(close), run);
}

}  // namespace

TEST(SelfTest, InstantTestMatchesEveryReferenceValue) {
    gui::start();
    GtkWidget *const entries[] = {t1_entry1, t1_entry2, t1_entry3, t1_entry4,  t1_entry5,  t1_entry6,
                                  t1_entry7, t1_entry8, t1_entry9, t1_entry10, t1_entry11, t1_entry12};
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening == 0 ? "first opening" : "reopened");
        gui::activate(testoneinstant);
        EXPECT_TRUE(gui::visible(t1_frame));
        EXPECT_EQ(in_use, 1);
        expectButtons(t1_calculate, t1_close, false);
        EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(t1_explanation)), "");
        for (GtkWidget *e : entries) EXPECT_EQ(gui::text(e), "");

        gui::click(t1_calculate);
        expectButtons(t1_calculate, t1_close, true);
        EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(t1_explanation)),
                     "1st value above is calculated here, 2nd (in parens) is correct");
        for (GtkWidget *e : entries) {
            const std::string t = gui::text(e);
            const size_t open = t.find("  (");
            ASSERT_NE(open, std::string::npos) << t;
            ASSERT_EQ(t.back(), ')') << t;
            EXPECT_EQ(t.substr(0, open), t.substr(open + 3, t.size() - open - 4))
                << gtk_buildable_get_name(GTK_BUILDABLE(e)) << ": " << t;
        }
        EXPECT_EQ(gui::text(t1_entry1), "97.0329  (97.0329)");
        EXPECT_EQ(gui::text(t1_entry10), "1181.11  (1181.11)");

        gui::click(t1_close);
        EXPECT_FALSE(gui::visible(t1_frame));
        EXPECT_EQ(in_use, 0);
        EXPECT_TRUE(gui::sensitive(t1_calculate));
        for (GtkWidget *e : entries) EXPECT_EQ(gui::text(e), "");
    }
    // The fixed case stays in the shared state.
    EXPECT_EQ(active_dt, 1);
    EXPECT_EQ(active_daynum, 203);
    EXPECT_FLOAT_EQ(active_tilt, 33.65f);
    EXPECT_FLOAT_EQ(active_press, 1006.0f);
}

TEST(SelfTest, InstantTestIgnoredWhileAnotherPanelIsOpen) {
    gui::start();
    gui::activate(testoneday);
    gtk_widget_set_sensitive(t1_close, TRUE);
    gui::activate(testoneinstant);
    EXPECT_FALSE(gui::visible(t1_frame));
    EXPECT_TRUE(gui::sensitive(t1_close));
    EXPECT_TRUE(gui::visible(t2_frame));
}

TEST(SelfTest, OneDayTestShowsSunriseSunsetAndTheDaysIrradiation) {
    gui::start();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening == 0 ? "first opening" : "reopened");
        gui::activate(testoneday);
        EXPECT_TRUE(gui::visible(t2_frame));
        EXPECT_EQ(in_use, 1);
        expectButtons(t2_calculate, t2_close, false);

        gui::click(t2_calculate);
        expectButtons(t2_calculate, t2_close, true);
        EXPECT_EQ(gui::text(t2_entry1), "05:47:10 (EST)");
        EXPECT_EQ(gui::text(t2_entry2), "19:41:06 (EST)");
        // The shared state now holds the test's case; the model gives the same day.
        EXPECT_EQ(active_year, 1999);
        EXPECT_FLOAT_EQ(active_latitude, 33.65f);
        EXPECT_EQ(gui::text(t2_entry3), format("%.2f mj/sqm", getDaysIrr(22, 7, 1999)));
        EXPECT_EQ(gui::text(t2_entry3), "21.51 mj/sqm");

        gui::click(t2_close);
        EXPECT_FALSE(gui::visible(t2_frame));
        EXPECT_EQ(in_use, 0);
        EXPECT_TRUE(gui::sensitive(t2_calculate));
        for (GtkWidget *e : {t2_entry1, t2_entry2, t2_entry3}) EXPECT_EQ(gui::text(e), "");
    }
}

TEST(SelfTest, SeasonTestTotalsTheUnroundedMonths) {
    gui::start();
    GtkWidget *const entries[] = {t3_entry1, t3_entry2, t3_entry3, t3_entry4,
                                  t3_entry5, t3_entry6, t3_entry7, t3_entry8};
    gui::activate(testgrowingseason);
    EXPECT_TRUE(gui::visible(t3_frame));
    EXPECT_EQ(in_use, 1);
    expectButtons(t3_calculate, t3_close, false);

    const auto begin = std::chrono::steady_clock::now();
    gui::click(t3_calculate);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    RecordProperty("season_test_ms", static_cast<int>(ms));
    std::printf("season test: %.1f ms\n", ms);
    expectButtons(t3_calculate, t3_close, true);

    // The test's fixed case, left in the shared state.
    EXPECT_EQ(active_year, 2007);
    EXPECT_EQ(active_latitude, 44.133f);
    EXPECT_EQ(active_longitude, -123.214f);
    EXPECT_EQ(active_elev, 114.0f);
    EXPECT_EQ(active_aspect, 180.0f);
    EXPECT_EQ(active_tilt, 10.0f);
    EXPECT_EQ(active_timezone, -8.0f);
    EXPECT_EQ(active_dt, 1);
    EXPECT_EQ(active_temp, 15.0f);
    EXPECT_EQ(active_press, 1006.0f);
    EXPECT_EQ(northsouth, 1);

    // At the clock of a fresh start (0:00:00). The total is the sum of the
    // unrounded months: the shown months add up to 1525.04.
    const char *const expected[] = {"106.32 degree days", "198.61 degree days", "218.40 degree days",
                                    "277.69 degree days", "292.65 degree days", "257.44 degree days",
                                    "173.93 degree days", "1525.05 degree days"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(gui::text(entries[i]), expected[i]) << i;

    // Recomputed through the model with the state the test left behind.
    setMonthLengths(2007);
    float total = 0.0f;
    for (int month = 4; month <= 10; ++month) {
        const float gdd = getMonthsGDD(month, getMonthsIrr(month));
        EXPECT_GT(gdd, 0.0f) << month;
        EXPECT_EQ(gui::text(entries[month - 4]), format("%.2f degree days", gdd)) << month;
        total += gdd;
    }
    EXPECT_EQ(gui::text(t3_entry8), format("%.2f degree days", total));

    gui::click(t3_close);
    EXPECT_FALSE(gui::visible(t3_frame));
    EXPECT_EQ(in_use, 0);
    for (GtkWidget *e : entries) EXPECT_EQ(gui::text(e), "");

    gui::activate(testgrowingseason);
    expectButtons(t3_calculate, t3_close, false);
}
