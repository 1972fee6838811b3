// Reading the windows' entries: numbers only when the text is wholly one,
// and the typed site against the region the degree days are fitted for.
#ifndef VERANTA_UI_ENTRIES_H
#define VERANTA_UI_ENTRIES_H

#include "model/sweepSeason.h"

#include <gtk/gtk.h>

// An entry's text read as a number only when, apart from surrounding white
// space, it is wholly one: a real number finite in single precision, or a
// whole number. True with *value set; otherwise false, *value untouched.
// "44,13", "44°N", "1e38" as a day or "nan" are never taken for numbers.
bool entryFloat(GtkWidget *entry, float *value);
bool entryInt(GtkWidget *entry, int *value);
// The one-day window's test of the typed site against the calibrated region.
bool siteInRegion(GtkWidget *lat, GtkWidget *lon, GtkWidget *elev, GtkWidget *aspect, GtkWidget *tilt);

// A note beside an entry, shown only when there is something to say.
void entryNote(GtkWidget *note, const char *text);
// entryFloat with its note: cleared for a number, else "enter a number" for
// blank text and "not a number" for any other.
bool entryNumber(GtkWidget *entry, GtkWidget *note, float *value);

// The largest degree-day target a window takes (a map's too), degC degree
// days above 10 degC.
constexpr double kTargetEntryMax = 10000.0;
// A degree-day target typed in an entry: empty (white space only) is no
// target, *target 0; otherwise wholly one number above 0 and at most
// kTargetEntryMax. False, *target untouched, with its note saying why.
bool entryTarget(GtkWidget *entry, GtkWidget *note, double *target);

// The season's entries of a window that computes a season, and their notes.
struct season_entries {
    GtkWidget *year, *start_day, *start_month, *stop_day, *stop_month;   // months in combo boxes
    GtkWidget *year_note, *start_note, *stop_note;
};
// Reads the season as the slope sweep and the map take it (one month will
// do): the first failing check of the year and the months decides its note,
// then both days are checked (a day that does not exist is named, "31 June
// does not exist"), then their order. True with *season set; otherwise false
// with the notes shown.
bool readSeason(const season_entries *entries, season_range *season);
// The usual season in such entries: 1 April to 31 October of this year (of
// 2000 or 2050 outside the years the windows take).
void showSeasonDefaults(const season_entries *entries);
// A whole number in an entry.
void showInt(GtkWidget *entry, int value);

#endif
