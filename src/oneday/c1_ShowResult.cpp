// Reads the entries into the calculation state, places the sun at noon of
// the date for sunrise and sunset, integrates the day and the month and
// shows the four results.
#include "oneday/oneday.h"

#include "model/computerClock.h"
#include "model/model.h"
#include "model/readCBTAT.h"
#include "shell/shell.h"
#include "ui/entries.h"
#include "ui/gridFrame.h"

#include <cstdint>
#include <string>

namespace {

const char *zoneLabel(void) {
    if (active_timezone == -5.0f) return "(EST)";
    if (active_timezone == -8.0f) return "(Z-8)";
    return "";
}

// Clock text of a time in minutes after midnight, cut in single precision.
// The engine's no-rise and no-set markers (2999, -2999) go through the same
// arithmetic.
void showClock(GtkWidget *entry, float t) {
    char text[64];
    clockText(t, zoneLabel(), text, sizeof text);
    gtk_entry_set_text(GTK_ENTRY(entry), text);
}

void showOutOfRange(c1_widgets *w) {
    GtkWidget *outputs[4] = {w->entry_sunrise, w->entry_sunset, w->entry_irradiance, w->entry_gdd};
    for (GtkWidget *entry : outputs) gtk_entry_set_text(GTK_ENTRY(entry), "out of range");
    gtk_label_set_text(GTK_LABEL(w->label_computer_clock), "");
}

}  // namespace

void c1_ShowResult(c1_widgets *w) {
    // A location entry that is not wholly one number counts as outside the
    // region; every entry is read all the same.
    bool site = entryFloat(w->entry_lat, &active_latitude);
    site = entryFloat(w->entry_lon, &active_longitude) && site;
    // West longitudes may be typed without their sign; 0 becomes -0.0.
    if (active_longitude >= 0.0f) active_longitude = -active_longitude;
    // The sun on the clock of the site's own zone (-8 across the Pacific
    // zone, as set at opening), so that its day runs from its own midnight.
    active_timezone = siteZone(active_longitude);
    site = entryFloat(w->entry_elev, &active_elev) && site;
    site = entryFloat(w->entry_aspect, &active_aspect) && site;
    site = entryFloat(w->entry_tilt, &active_tilt) && site;
    active_day = 0;
    active_year = 0;
    entryInt(w->entry_day, &active_day);
    active_month = readCBTAT(GTK_COMBO_BOX_TEXT(w->cbtxt_month));
    entryInt(w->entry_year, &active_year);

    setMonthLengths(active_year);
    northsouth = static_cast<double>(active_latitude) > 43.7 ? 1 : 2;

    // Only reachable once the region warning has been dismissed: a site that
    // is not a number at all never reaches the engine, and one that the
    // engine refuses would otherwise show the previous calculation's values.
    if (!site || active_month < 1 || active_month > 12 || active_day < 1 ||
        active_day > dayspermonth[active_month - 1]) {
        showOutOfRange(w);
        return;
    }

    prepareRecord(active_day, active_month, active_year);
    std::int64_t code = S_solpos(pdat);
    if (code != 0 || !plausibleResult(pdat->sunrise_minutes) || !plausibleResult(pdat->sunset_minutes)) {
        showOutOfRange(w);
        return;
    }
    active_sunrise = pdat->sunrise_minutes;
    active_sunset = pdat->sunset_minutes;

    active_daysIrr = getDaysIrr(active_day, active_month, active_year);

    // The month's total, in day order; the chosen day's integral is the one
    // just computed (the integration is deterministic), so it is not redone.
    const day_conditions conditions = currentConditions();
    float total = 0.0f;
    for (int d = 1; d <= dayspermonth[active_month - 1]; d++) {
        total = total + (d == active_day ? active_daysIrr : dayIrr(&conditions, d, active_month, active_year));
    }

    float gdd = 0.0f;
    if (static_cast<double>(total) > 0.01) gdd = (active_daysIrr / total) * getMonthsGDD(active_month, total);

    // A finite site far outside the region still gives finite nonsense, such
    // as a 37-digit degree-day figure from an elevation of -3e38.
    if (!plausibleResult(active_daysIrr) || !plausibleResult(gdd)) {
        showOutOfRange(w);
        return;
    }
    showClock(w->entry_sunrise, active_sunrise);
    showClock(w->entry_sunset, active_sunset);
    const std::string computer =
        computerClockLine(active_timezone, active_year, active_month, active_day, active_sunrise, active_sunset);
    gtk_label_set_text(GTK_LABEL(w->label_computer_clock), computer.c_str());
    showNumber(w->entry_irradiance, "%6.2f mj/sqm", active_daysIrr);
    showNumber(w->entry_gdd, "%5.2f deg days", gdd);
}
