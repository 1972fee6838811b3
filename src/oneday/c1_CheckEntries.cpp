// The checks made before a calculation, in order; the first failure decides.
#include "oneday/oneday.h"

#include "model/model.h"
#include "model/readCBTAT.h"
#include "shell/shell.h"
#include "ui/entries.h"

int c1_CheckEntries(c1_widgets *w) {
    // Once the warning has been dismissed, a site outside the region is
    // accepted silently.
    if (!c1_LocaleOK(w) && error_watch == 1) return C1_OUTSIDE_REGION;

    // A text that is not wholly one whole number ("1e38", "15th") is no day
    // and no year: it stays 0 and fails like 0.
    int day = 0;
    int year = 0;
    entryInt(w->entry_day, &day);
    int month = readCBTAT(GTK_COMBO_BOX_TEXT(w->cbtxt_month));
    entryInt(w->entry_year, &year);

    // The year goes first: a bad year and a bad day report only the year.
    if (year < 2000 || year > 2050) return C1_BAD_YEAR;
    setMonthLengths(year);
    // The button is insensitive until a month is chosen, so the month is
    // normally valid; a missing one counts as a bad day rather than an
    // out-of-bounds read.
    if (month < 1 || month > 12) return C1_BAD_DAY;
    if (day < 1 || day > dayspermonth[month - 1]) return C1_BAD_DAY;
    return C1_OK;
}
