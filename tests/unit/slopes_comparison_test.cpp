// The slope explorer's comparison without a display: the slopes compared,
// the checks before and after a sweep, the best slope and the ranking
// switch, the selection's steps across the compass, and the Winkler region
// and target date said of a slope.
#include "slopes/slopesComparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const site_location kSite = {44.133f, -123.214f, 114.0f};
const season_range kSeason = {2010, 1, 5, 30, 6};
const slope kStored = {172.35f, 12.5f};

std::unique_ptr<slopes_sweep> prepared(bool calibrated = true) {
    auto sweep = std::make_unique<slopes_sweep>();
    slopes_sweep_prepare(sweep.get(), &kSite, &kSeason, &kStored, calibrated);
    return sweep;
}

// Made-up results: every slope with degree days and irradiation of a sane
// size, the stored slope's too.
std::unique_ptr<slopes_sweep> finished() {
    auto sweep = prepared();
    for (int i = 0; i < SLOPES_COUNT; i++) {
        sweep->results[i] = {};
        sweep->results[i].season_degree_days = 500.0f + static_cast<float>(i % 7);
        sweep->results[i].season_irradiation = 3000.0f + static_cast<float>(i % 11);
    }
    sweep->status = 0;
    return sweep;
}

std::string said(const char *text) { return text != nullptr ? text : "(nothing)"; }

}  // namespace

TEST(SlopesComparison, GridSlopesEveryFifteenDegreesAndTwoAndAHalfThenTheStoredOne) {
    auto sweep = prepared();
    const struct {
        int index;
        float aspect, tilt;
    } cases[] = {
        {0, 0.0f, 0.0f},     {12, 0.0f, 30.0f},        {13, 15.0f, 0.0f},
        {14, 15.0f, 2.5f},   {12 * 13 + 4, 180.0f, 10.0f}, {SLOPES_GRID - 1, 345.0f, 30.0f},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(sweep->slopes[c.index].aspect, c.aspect) << c.index;
        EXPECT_EQ(sweep->slopes[c.index].tilt, c.tilt) << c.index;
    }
    EXPECT_EQ(SLOPES_COUNT, 313);
    EXPECT_EQ(sweep->slopes[SLOPES_STORED].aspect, kStored.aspect);
    EXPECT_EQ(sweep->slopes[SLOPES_STORED].tilt, kStored.tilt);
    EXPECT_EQ(sweep->status, -1);
}

TEST(SlopesComparison, SitesTheEngineRefusesAreNamedBeforeASweep) {
    const struct {
        float latitude, longitude, aspect, tilt;
        const char *says;   // null: computed
    } cases[] = {
        {90.0f, -180.0f, -360.0f, 180.0f, nullptr},
        {-90.0f, 180.0f, 360.0f, -180.0f, nullptr},
        {90.01f, 0.0f, 0.0f, 0.0f, "The latitude must lie between -90 and 90 degrees."},
        {-95.0f, -200.0f, 0.0f, 0.0f, "The latitude must lie between -90 and 90 degrees."},
        {44.0f, -180.5f, 0.0f, 0.0f, "The longitude must lie between -180 and 180 degrees."},
        {44.0f, -123.0f, 360.5f, 0.0f, "The aspect must lie between -360 and 360 degrees."},
        {44.0f, -123.0f, 180.0f, -181.0f, "The tilt must lie between -180 and 180 degrees."},
    };
    for (const auto &c : cases) {
        site_location site = {c.latitude, c.longitude, 100.0f};
        slope stored = {c.aspect, c.tilt};
        EXPECT_EQ(said(slopes_site_refusal(&site, &stored)), said(c.says))
            << c.latitude << " " << c.longitude << " " << c.aspect << " " << c.tilt;
    }
}

TEST(SlopesComparison, AFinishedSweepIsShownOnlyWithUsableFigures) {
    const char *outOfRange = "The degree days are out of range for this site: the regression gives no slope a "
                             "usable figure here; no numbers are shown.";
    const struct {
        const char *name;
        void (*spoil)(slopes_sweep *);
        const char *says;   // null: shown
    } cases[] = {
        {"sane", [](slopes_sweep *) {}, nullptr},
        {"one grid slope with degree days",
         [](slopes_sweep *s) {
             for (int i = 0; i < SLOPES_COUNT; i++) s->results[i].season_degree_days = 0.0f;
             s->results[77].season_degree_days = 1.0f;
         },
         nullptr},
        {"degree days for the stored slope only",
         [](slopes_sweep *s) {
             for (int i = 0; i < SLOPES_GRID; i++) s->results[i].season_degree_days = 0.0f;
         },
         outOfRange},
        {"not a number", [](slopes_sweep *s) { s->results[SLOPES_STORED].season_degree_days = NAN; }, outOfRange},
        {"infinite", [](slopes_sweep *s) { s->results[3].season_irradiation = INFINITY; }, outOfRange},
        {"too large", [](slopes_sweep *s) { s->results[200].season_irradiation = 2e6f; }, outOfRange},
        {"too negative", [](slopes_sweep *s) { s->results[5].season_degree_days = -2e6f; }, outOfRange},
        {"bad year", [](slopes_sweep *s) { s->status = SWEEP_BAD_YEAR; },
         "This season cannot be computed; no numbers are shown."},
        {"bad month order", [](slopes_sweep *s) { s->status = SWEEP_BAD_MONTH_ORDER; },
         "This season cannot be computed; no numbers are shown."},
        {"bad site", [](slopes_sweep *s) { s->status = SWEEP_BAD_SITE; },
         "The sun cannot be placed for this site (the solar engine refuses it); no numbers are shown."},
        {"bad slope", [](slopes_sweep *s) { s->status = SWEEP_BAD_SLOPE; },
         "The stored slope cannot be computed (the solar engine refuses it); no numbers are shown."},
        {"no memory", [](slopes_sweep *s) { s->status = SWEEP_NO_MEMORY; },
         "There was not enough memory for the comparison; no numbers are shown."},
        {"cancelled", [](slopes_sweep *s) { s->status = SWEEP_CANCELLED; },
         "This site and season cannot be computed; no numbers are shown."},
    };
    for (const auto &c : cases) {
        auto sweep = finished();
        c.spoil(sweep.get());
        EXPECT_EQ(said(slopes_sweep_refusal(sweep.get())), said(c.says)) << c.name;
    }
}

TEST(SlopesComparison, ProgressIsTheShareOfDaysDone) {
    const struct {
        int done, total;
        double share;
    } cases[] = {{0, 0, 0.0}, {0, 200, 0.0}, {50, 200, 0.25}, {200, 200, 1.0}};
    for (const auto &c : cases) {
        auto sweep = prepared();
        sweep->control.days_total = c.total;
        sweep->control.days_done = c.done;
        EXPECT_EQ(slopes_sweep_progress(sweep.get()), c.share) << c.done << "/" << c.total;
    }
}

// The sweep as the window runs it is the model's sweep to the bit, and the
// window's stop flag reaches it.
TEST(SlopesComparison, TheSweepIsTheModelsAndStopsWhenCancelled) {
    auto sweep = prepared();
    slopes_sweep_run(sweep.get());
    ASSERT_EQ(sweep->status, 0);
    EXPECT_EQ(slopes_sweep_refusal(sweep.get()), nullptr);
    std::vector<slope_season> direct(SLOPES_COUNT);
    ASSERT_EQ(sweepSeason(&kSite, &kSeason, sweep->slopes, SLOPES_COUNT, direct.data()), 0);
    EXPECT_EQ(std::memcmp(direct.data(), sweep->results, sizeof sweep->results), 0);
    EXPECT_EQ(slopes_sweep_progress(sweep.get()), 1.0);

    auto stopped = prepared();
    stopped->control.cancel = true;
    slopes_sweep_run(stopped.get());
    EXPECT_EQ(stopped->status, SWEEP_CANCELLED);
}

TEST(SlopesComparison, TheBestSlopeStartsSelectedAndFollowsTheChosenMeasure) {
    auto sweep = finished();
    // Degree days peak at 100 and again at 150 (the first counts), the
    // irradiation at 250; the stored slope has more than any, but is no
    // grid slope.
    sweep->results[100].season_degree_days = 900.0f;
    sweep->results[150].season_degree_days = 900.0f;
    sweep->results[250].season_irradiation = 5000.0f;
    sweep->results[7].season_degree_days = 10.0f;
    sweep->results[SLOPES_STORED].season_degree_days = 2000.0f;
    sweep->results[SLOPES_STORED].season_irradiation = 9000.0f;

    slopes_view view;
    slopes_view_clear(&view);
    EXPECT_FALSE(view.have);
    EXPECT_EQ(view.hover, -1);
    EXPECT_EQ(view.by, BY_DEGREE_DAYS);
    view.hover = 12;
    slopes_view_take(&view, sweep.get());
    EXPECT_TRUE(view.have);
    EXPECT_EQ(view.best, 100);
    EXPECT_EQ(view.selected, 100);
    EXPECT_EQ(view.low, 10.0f);
    EXPECT_EQ(view.high, 900.0f);
    EXPECT_EQ(view.hover, -1);
    EXPECT_EQ(view.stored.aspect, kStored.aspect);
    EXPECT_TRUE(view.calibrated);

    // The best slope selected follows the switch; another selection stays.
    slopes_view_rank_by(&view, BY_IRRADIATION);
    EXPECT_EQ(view.best, 250);
    EXPECT_EQ(view.selected, 250);
    EXPECT_EQ(view.high, 5000.0f);
    view.selected = 33;
    slopes_view_rank_by(&view, BY_DEGREE_DAYS);
    EXPECT_EQ(view.best, 100);
    EXPECT_EQ(view.selected, 33);

    // A comparison taken while the switch says irradiation is ranked by it.
    slopes_view byIrradiation;
    slopes_view_clear(&byIrradiation);
    byIrradiation.by = BY_IRRADIATION;
    auto outside = finished();
    outside->results[250].season_irradiation = 5000.0f;
    outside->calibrated = false;
    slopes_view_take(&byIrradiation, outside.get());
    EXPECT_EQ(byIrradiation.best, 250);
    EXPECT_EQ(byIrradiation.selected, 250);
    EXPECT_FALSE(byIrradiation.calibrated);
}

TEST(SlopesComparison, StepsWalkTheCompassCellByCell) {
    const int T = SLOPES_TILTS;
    const struct {
        int selected, best;
        slopes_step step;
        int to;
    } cases[] = {
        {12 * T + 9, 12 * T + 9, SLOPES_TURN_CLOCKWISE, 13 * T + 9},
        {13 * T + 9, 12 * T + 9, SLOPES_STEEPER, 13 * T + 10},
        {13 * T + 10, 12 * T + 9, SLOPES_TURN_ANTICLOCKWISE, 12 * T + 10},
        {12 * T + 10, 12 * T + 9, SLOPES_GENTLER, 12 * T + 9},
        {0, 5, SLOPES_TURN_ANTICLOCKWISE, 23 * T},          // north wraps to 345°
        {23 * T + 5, 5, SLOPES_TURN_CLOCKWISE, 5},          // and 345° to north
        {23 * T, 5, SLOPES_GENTLER, 23 * T},                // flat stays flat
        {5 * T + 12, 5, SLOPES_STEEPER, 5 * T + 12},        // the steepest stays
        {SLOPES_STORED, 7 * T + 3, SLOPES_TURN_CLOCKWISE, 8 * T + 3},  // from the best slope
    };
    for (const auto &c : cases) {
        slopes_view view;
        slopes_view_clear(&view);
        view.selected = c.selected;
        view.best = c.best;
        slopes_view_step(&view, c.step);
        EXPECT_EQ(view.selected, c.to) << c.selected << " step " << c.step;
    }
}

// The months a slope's degree days come from where the formula runs
// backwards: north of 43.7 the second half-year's polynomial falls above
// about 662 MJ/m² a month (judged by the whole month), and only the season's
// months count.
TEST(SlopesComparison, FallingMonthsAreTheSeasonsMonthsBeyondTheTurn) {
    const season_range summer = {2010, 15, 6, 31, 8};
    auto sweep = std::make_unique<slopes_sweep>();
    slopes_sweep_prepare(sweep.get(), &kSite, &summer, &kStored, true);
    for (int i = 0; i < SLOPES_COUNT; i++) {
        sweep->results[i] = {};
        sweep->results[i].season_degree_days = 500.0f;
        sweep->results[i].season_irradiation = 3000.0f;
    }
    sweep->status = 0;
    const struct {
        int index;
        float june, july, august, september;   // whole months, MJ/m2
        std::vector<int> months;
    } cases[] = {
        {5, 0.0f, 700.0f, 400.0f, 700.0f, {7}},
        {6, 0.0f, 700.0f, 690.0f, 0.0f, {7, 8}},
        {7, 0.0f, 600.0f, 500.0f, 800.0f, {}},
        {SLOPES_STORED, 0.0f, 400.0f, 700.0f, 0.0f, {8}},
    };
    for (const auto &c : cases) {
        float *whole = sweep->results[c.index].month_whole_irradiation;
        whole[5] = c.june;
        whole[6] = c.july;
        whole[7] = c.august;
        whole[8] = c.september;
    }
    slopes_view view;
    slopes_view_clear(&view);
    int months[12];
    EXPECT_EQ(slopes_falling_months(&view, 5, months), 0) << "no comparison yet";
    slopes_view_take(&view, sweep.get());
    for (const auto &c : cases) {
        const int count = slopes_falling_months(&view, c.index, months);
        EXPECT_EQ(std::vector<int>(months, months + count), c.months) << c.index;
    }
    EXPECT_EQ(slopes_falling_months(&view, SLOPES_COUNT, months), 0);

    // The best by the other measure than the one ranked by.
    sweep->results[40].season_irradiation = 4000.0f;
    sweep->results[41].season_degree_days = 700.0f;
    slopes_view_take(&view, sweep.get());
    EXPECT_EQ(view.best, 41);
    EXPECT_EQ(slopes_best_by(&view, BY_IRRADIATION), 40);
    EXPECT_EQ(slopes_best_by(&view, BY_DEGREE_DAYS), 41);
}

// With a target the sweep gives each slope the model's day for it, and the
// seasons stay those of a sweep without one, to the bit.
TEST(SlopesComparison, ATargetGivesEachSlopeTheModelsDay) {
    auto plain = prepared();
    slopes_sweep_run(plain.get());
    ASSERT_EQ(plain->status, 0);
    // Between the least and the most any slope gets, so some slopes reach it
    // and some do not.
    float low = plain->results[0].season_degree_days, high = low;
    for (const slope_season &r : plain->results) {
        low = std::min(low, r.season_degree_days);
        high = std::max(high, r.season_degree_days);
    }
    const double target = 0.5 * (static_cast<double>(low) + high);
    auto sweep = std::make_unique<slopes_sweep>();
    slopes_sweep_prepare(sweep.get(), &kSite, &kSeason, &kStored, true, target);
    slopes_sweep_run(sweep.get());
    ASSERT_EQ(sweep->status, 0);
    EXPECT_EQ(std::memcmp(plain->results, sweep->results, sizeof sweep->results), 0);
    std::vector<slope_season> direct(SLOPES_COUNT);
    std::vector<int> days(SLOPES_COUNT);
    ASSERT_EQ(sweepSeasonToTarget(&kSite, &kSeason, sweep->slopes, SLOPES_COUNT, target, direct.data(), days.data(),
                                  nullptr, 1),
              0);
    EXPECT_EQ(std::vector<int>(sweep->target_days, sweep->target_days + SLOPES_COUNT), days);
    EXPECT_NE(std::count(days.begin(), days.end(), 0), 0) << "some slopes never reach it";
    EXPECT_NE(std::count(days.begin(), days.end(), 0), SLOPES_COUNT) << "some slopes do";

    // The view keeps the target and the days for the window's texts.
    slopes_view view;
    slopes_view_clear(&view);
    slopes_view_take(&view, sweep.get());
    EXPECT_EQ(view.target, target);
    EXPECT_EQ(std::memcmp(view.target_days, sweep->target_days, sizeof view.target_days), 0);
}

// What the window says of the selected and the stored slope: the region only
// for 1 April to 31 October (a bound belongs to the warmer region), the date
// only with a target.
TEST(SlopesComparison, RegionAndTargetTextsOfTheSelectedAndTheStoredSlope) {
    const season_range winkler = {2010, 1, 4, 31, 10};
    struct Case {
        const char *what;
        season_range season;
        float selected_gdd, stored_gdd;
        bool select_stored;
        double target;
        int selected_day, stored_day;
        std::string region, date;
    };
    const Case cases[] = {
        {"another slope, no target", winkler, 1111.0f, 849.9f, false, 0.0, 0, 0,
         "Winkler region (Jones et al. 2010): Ib, 1111 to 1389 degree days; the stored slope: too cool, below 850 "
         "degree days.",
         ""},
        {"the stored slope itself", winkler, 1500.0f, 2700.0f, true, 1150.5, 0, 200,
         "Winkler region (Jones et al. 2010): too hot, 2700 and above degree days.",
         "Target of 1150.5 degree days: 19 July."},
        {"one slope reaches it, the stored one not", winkler, 1700.0f, 1000.0f, false, 1100.0, 227, 0,
         "Winkler region (Jones et al. 2010): III, 1667 to 1944 degree days; the stored slope: Ia, 850 to 1111 "
         "degree days.",
         "Target of 1100 degree days: 15 August; the stored slope: not reached in this season."},
        {"the stored slope in the same region", winkler, 1400.0f, 1666.9f, false, 0.0, 0, 0,
         "Winkler region (Jones et al. 2010): II, 1389 to 1667 degree days; the stored slope's too.", ""},
        {"a season the regions are not defined on", {2010, 15, 4, 31, 10}, 1700.0f, 1000.0f, false, 0.0, 0, 0,
         "Winkler regions are defined on the degree days of 1 April to 31 October; this season runs from 15 April "
         "to 31 October, so no region is named.",
         ""},
    };
    const int other = 12 * 13 + 4;
    for (const Case &c : cases) {
        auto sweep = finished();
        sweep->season = c.season;
        sweep->results[other].season_degree_days = c.selected_gdd;
        sweep->results[SLOPES_STORED].season_degree_days = c.stored_gdd;
        sweep->target = c.target;
        sweep->target_days[other] = c.selected_day;
        sweep->target_days[SLOPES_STORED] = c.stored_day;
        slopes_view view;
        slopes_view_clear(&view);
        EXPECT_EQ(slopes_winkler_text(&view), "") << "no comparison yet";
        slopes_view_take(&view, sweep.get());
        view.selected = c.select_stored ? SLOPES_STORED : other;
        EXPECT_EQ(slopes_winkler_text(&view), c.region) << c.what;
        EXPECT_EQ(slopes_target_text(&view), c.date) << c.what;
    }
}
