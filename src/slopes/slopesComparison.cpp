// The comparison of every slope of a site: the sweep's inputs and checks,
// and the view the window keeps of its results.
#include "slopes/slopesComparison.h"

#include "model/degreeDayTarget.h"
#include "model/winklerRegions.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <thread>

float slopes_grid_aspect(int index) { return 15.0f * static_cast<float>(index / SLOPES_TILTS); }

float slopes_grid_tilt(int index) { return 2.5f * static_cast<float>(index % SLOPES_TILTS); }

// The limits the solar engine puts on a site and a slope.
const char *slopes_site_refusal(const site_location *site, const slope *stored) {
    if (std::fabs(site->latitude) > 90.0f) return "The latitude must lie between -90 and 90 degrees.";
    if (std::fabs(site->longitude) > 180.0f) return "The longitude must lie between -180 and 180 degrees.";
    if (std::fabs(stored->aspect) > 360.0f) return "The aspect must lie between -360 and 360 degrees.";
    if (std::fabs(stored->tilt) > 180.0f) return "The tilt must lie between -180 and 180 degrees.";
    return nullptr;
}

void slopes_sweep_prepare(slopes_sweep *sweep, const site_location *site, const season_range *season,
                          const slope *stored, bool calibrated, double target) {
    sweep->site = *site;
    sweep->season = *season;
    for (int i = 0; i < SLOPES_GRID; i++) sweep->slopes[i] = {slopes_grid_aspect(i), slopes_grid_tilt(i)};
    sweep->slopes[SLOPES_STORED] = *stored;
    sweep->status = -1;
    sweep->calibrated = calibrated;
    sweep->target = target;
    std::memset(sweep->target_days, 0, sizeof sweep->target_days);
}

void slopes_sweep_run(slopes_sweep *sweep) {
    if (sweep->target > 0.0) {
        // One thread per core, as sweepSeasonControlled takes them.
        const int cores = static_cast<int>(std::thread::hardware_concurrency());
        sweep->status = sweepSeasonToTarget(&sweep->site, &sweep->season, sweep->slopes, SLOPES_COUNT, sweep->target,
                                            sweep->results, sweep->target_days, &sweep->control, cores);
    } else {
        sweep->status = sweepSeasonControlled(&sweep->site, &sweep->season, sweep->slopes, SLOPES_COUNT,
                                              sweep->results, &sweep->control);
    }
}

double slopes_sweep_progress(const slopes_sweep *sweep) {
    int total = sweep->control.days_total.load();
    int done = sweep->control.days_done.load();
    return total > 0 ? static_cast<double>(done) / total : 0.0;
}

namespace {

bool usable(const slopes_sweep *sweep) {
    bool anyDegreeDays = false;
    for (int i = 0; i < SLOPES_COUNT; i++) {
        const slope_season &s = sweep->results[i];
        if (!std::isfinite(s.season_degree_days) || !std::isfinite(s.season_irradiation)) return false;
        if (std::fabs(s.season_degree_days) > 1e6f || std::fabs(s.season_irradiation) > 1e6f) return false;
        if (i < SLOPES_GRID && s.season_degree_days > 0.0f) anyDegreeDays = true;
    }
    return anyDegreeDays;
}

}  // namespace

const char *slopes_sweep_refusal(const slopes_sweep *sweep) {
    switch (sweep->status) {
    case 0:
        if (usable(sweep)) return nullptr;
        return "The degree days are out of range for this site: the regression gives no slope a usable figure "
               "here; no numbers are shown.";
    case SWEEP_BAD_START_DAY:
    case SWEEP_BAD_STOP_DAY:
    case SWEEP_BAD_YEAR:
    case SWEEP_BAD_MONTH_ORDER:
    case SWEEP_BAD_MONTH:
        return "This season cannot be computed; no numbers are shown.";
    case SWEEP_BAD_SITE:
        return "The sun cannot be placed for this site (the solar engine refuses it); no numbers are shown.";
    case SWEEP_BAD_SLOPE:
        return "The stored slope cannot be computed (the solar engine refuses it); no numbers are shown.";
    case SWEEP_NO_MEMORY:
        return "There was not enough memory for the comparison; no numbers are shown.";
    default:
        return "This site and season cannot be computed; no numbers are shown.";
    }
}

void slopes_view_clear(slopes_view *view) {
    std::memset(view, 0, sizeof *view);
    view->hover = -1;
    view->by = BY_DEGREE_DAYS;
}

void slopes_view_take(slopes_view *view, const slopes_sweep *sweep) {
    view->site = sweep->site;
    view->season = sweep->season;
    view->stored = sweep->slopes[SLOPES_STORED];
    view->calibrated = sweep->calibrated;
    std::memcpy(view->results, sweep->results, sizeof view->results);
    view->target = sweep->target;
    std::memcpy(view->target_days, sweep->target_days, sizeof view->target_days);
    findGddFalls(&view->falls);
    view->best = view->selected = 0;
    slopes_view_rank_by(view, view->by);
    view->hover = -1;
    view->have = true;
}

void slopes_view_rank_by(slopes_view *view, season_measure by) {
    bool followBest = view->selected == view->best;
    view->by = by;
    view->best = bestSeason(view->results, SLOPES_GRID, by, &view->low, &view->high);
    if (followBest) view->selected = view->best;
}

int slopes_falling_months(const slopes_view *view, int index, int months[12]) {
    if (!view->have || index < 0 || index > SLOPES_STORED) return 0;
    bool falling[12];
    seasonFallingMonths(&view->falls, &view->results[index], gddZone(view->site.latitude), falling);
    int count = 0;
    for (int m = view->season.start_month; m >= 1 && m <= view->season.stop_month && m <= 12; m++)
        if (falling[m - 1]) months[count++] = m;
    return count;
}

int slopes_best_by(const slopes_view *view, season_measure by) {
    float low = 0.0f, high = 0.0f;
    return bestSeason(view->results, SLOPES_GRID, by, &low, &high);
}

void slopes_view_step(slopes_view *view, slopes_step step) {
    int from = view->selected == SLOPES_STORED ? view->best : view->selected;
    int aspect = from / SLOPES_TILTS, tilt = from % SLOPES_TILTS;
    switch (step) {
    case SLOPES_TURN_ANTICLOCKWISE: aspect = (aspect + SLOPES_ASPECTS - 1) % SLOPES_ASPECTS; break;
    case SLOPES_TURN_CLOCKWISE: aspect = (aspect + 1) % SLOPES_ASPECTS; break;
    case SLOPES_STEEPER: tilt = tilt + 1 < SLOPES_TILTS ? tilt + 1 : tilt; break;
    case SLOPES_GENTLER: tilt = tilt > 0 ? tilt - 1 : 0; break;
    }
    view->selected = aspect * SLOPES_TILTS + tilt;
}

int slopes_winkler_region(const slopes_view *view, int index) {
    if (!view->have || index < 0 || index > SLOPES_STORED || !winklerSeason(view->season)) return -1;
    return winklerRegion(view->results[index].season_degree_days);
}

namespace {

// "II, 1389 to 1667 degree days" ("too cool, below 850 degree days").
std::string regionWords(int region) {
    const winkler_class *c = winklerClass(region);
    if (c == nullptr) return "none";
    return std::string(c->name) + ", " + winklerBoundsText(region) + " degree days";
}

}  // namespace

std::string slopes_target_number(double target) {
    char text[64];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, target);
    return std::string(text, r.ec == std::errc() ? r.ptr : text);
}

std::string slopes_winkler_text(const slopes_view *view) {
    if (!view->have) return "";
    if (!winklerSeason(view->season)) return winklerOffSeasonText(view->season);
    const int region = slopes_winkler_region(view, view->selected);
    const int stored = slopes_winkler_region(view, SLOPES_STORED);
    std::string text = "Winkler region (Jones et al. 2010): " + regionWords(region);
    if (view->selected != SLOPES_STORED)
        text += stored == region ? "; the stored slope's too" : "; the stored slope: " + regionWords(stored);
    return text + ".";
}

std::string slopes_target_text(const slopes_view *view) {
    if (!view->have || !(view->target > 0.0)) return "";
    const int year = view->season.year;
    std::string text = "Target of " + slopes_target_number(view->target) + " degree days: " +
                       targetDateText(year, view->target_days[view->selected]);
    if (view->selected != SLOPES_STORED)
        text += "; the stored slope: " + targetDateText(year, view->target_days[SLOPES_STORED]);
    return text + ".";
}
