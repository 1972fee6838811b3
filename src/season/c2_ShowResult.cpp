// One month of a season run: its irradiation and degree days, added to the
// totals. The first press of a run also reads the location and the season.
#include "season/season.h"

#include "model/model.h"
#include "model/readCBTAT.h"
#include "shell/shell.h"
#include "ui/entries.h"
#include "ui/gridFrame.h"

namespace {

int chosenMonth(GtkWidget *combo) { return readCBTAT(GTK_COMBO_BOX_TEXT(combo)); }

void setLocationEditable(c2_widgets *w, gboolean editable) {
    gtk_editable_set_editable(GTK_EDITABLE(w->entry_lat), editable);
    gtk_editable_set_editable(GTK_EDITABLE(w->entry_lon), editable);
    gtk_editable_set_editable(GTK_EDITABLE(w->entry_elev), editable);
    gtk_editable_set_editable(GTK_EDITABLE(w->entry_aspect), editable);
    gtk_editable_set_editable(GTK_EDITABLE(w->entry_tilt), editable);
}

void endRun(c2_widgets *w) {
    gtk_widget_set_sensitive(w->button_continue, FALSE);
    gtk_widget_set_sensitive(w->button_start, TRUE);
    setLocationEditable(w, TRUE);
}

// Once the warning has been dismissed any location gets this far; one that
// is not wholly numbers never reaches the engine, and one that the engine
// refuses would leave the previous calculation's numbers in its record and
// so on the screen.
bool runUsable(bool site) {
    if (!site) return false;
    // The entries' check guarantees a season; anything else is not one.
    if (startmonth < 1 || stopmonth > 12 || stopmonth <= startmonth) return false;
    if (startday < 1 || startday > dayspermonth[startmonth - 1]) return false;
    if (stopday < 1 || stopday > dayspermonth[stopmonth - 1]) return false;
    prepareRecord(startday, startmonth, active_year);
    return S_solpos(pdat) == 0;
}

void setOutputs(c2_widgets *w, const char *text) {
    gtk_entry_set_text(GTK_ENTRY(w->entry_month), text);
    gtk_entry_set_text(GTK_ENTRY(w->entry_days), text);
    gtk_entry_set_text(GTK_ENTRY(w->entry_month_irr), text);
    gtk_entry_set_text(GTK_ENTRY(w->entry_month_gdd), text);
    gtk_entry_set_text(GTK_ENTRY(w->entry_cum_irr), text);
    gtk_entry_set_text(GTK_ENTRY(w->entry_cum_gdd), text);
}

}  // namespace

void c2_ShowResult(c2_widgets *w) {
    int m;
    if (pass == 1) {
        // A location entry that is not wholly one number counts as outside
        // the region; every entry is read all the same.
        bool site = entryFloat(w->entry_lat, &active_latitude);
        site = entryFloat(w->entry_lon, &active_longitude) && site;
        site = entryFloat(w->entry_elev, &active_elev) && site;
        site = entryFloat(w->entry_aspect, &active_aspect) && site;
        site = entryFloat(w->entry_tilt, &active_tilt) && site;
        if (active_longitude >= 0.0f) active_longitude = -active_longitude;
        // The run's days on the clock of the site's own zone (-8 across the
        // Pacific zone, as set at opening).
        active_timezone = siteZone(active_longitude);

        startday = 0;
        stopday = 0;
        active_year = 0;
        entryInt(w->entry_startday, &startday);
        entryInt(w->entry_stopday, &stopday);
        startmonth = chosenMonth(w->cbtxt_startmonth);
        stopmonth = chosenMonth(w->cbtxt_stopmonth);
        entryInt(w->entry_year, &active_year);

        setMonthLengths(active_year);
        active_day = startday;
        northsouth = static_cast<double>(active_latitude) > 43.7 ? 1 : 2;

        accumulatedIrr = 0.0f;
        accumulatedGDD = 0.0f;
        if (!runUsable(site)) {
            setOutputs(w, "out of range");
            pass = 0;
            endRun(w);
            return;
        }
        if (haveprefs == 0) setLocationEditable(w, FALSE);
        m = startmonth;
    } else {
        m = active_month + 1;
        // Only after the run has ended or never began; nothing to show.
        if (pass < 1 || m > stopmonth || m > 12) return;
        // A start press refused during the run has set the month lengths of
        // the year then typed; the run goes on with its own year.
        setMonthLengths(active_year);
    }
    active_month = m;

    int length = dayspermonth[m - 1];
    int first = m == startmonth ? startday : 1;
    int last = m == stopmonth ? stopday : length;
    // Only days that were integrated below are ever summed.
    if (first < 1 || last > length || first > last) {
        setOutputs(w, "out of range");
        endRun(w);
        return;
    }

    // Every day is integrated once, as the slope sweep integrates it.
    const day_conditions conditions = currentConditions();
    float daily[31];
    for (int d = 1; d <= length; d++) daily[d - 1] = dayIrr(&conditions, d, m, active_year);
    float irr;
    float gdd;
    seasonMonth(daily, length, first, last, northsouth, active_elev, m, &irr, &gdd);

    // The one-day window's rule: a finite site far outside the region gives
    // finite nonsense (a 38-digit degree-day figure from an elevation of
    // -3e38), which is no result to show or to add to the totals.
    if (!plausibleResult(irr) || !plausibleResult(gdd) || !plausibleResult(accumulatedIrr + irr) ||
        !plausibleResult(accumulatedGDD + gdd)) {
        setOutputs(w, "out of range");
        pass = 0;
        endRun(w);
        return;
    }

    gtk_entry_set_text(GTK_ENTRY(w->entry_month), month_names[m - 1]);
    gchar *days = g_strdup_printf("%d - %d", first, last);
    gtk_entry_set_text(GTK_ENTRY(w->entry_days), days);
    g_free(days);
    showNumber(w->entry_month_irr, "%.1f mj/sqm", irr);
    showNumber(w->entry_month_gdd, "%.2f", gdd);

    accumulatedIrr = accumulatedIrr + irr;
    accumulatedGDD = accumulatedGDD + gdd;
    showNumber(w->entry_cum_irr, "%.1f mj/sqm", accumulatedIrr);
    showNumber(w->entry_cum_gdd, "%.2f", accumulatedGDD);

    if (m == stopmonth) endRun(w);
}
