// Tests the window's entries before a run; the first failing test decides.
#include "season/season.h"

#include "model/model.h"
#include "model/readCBTAT.h"
#include "shell/shell.h"
#include "ui/entries.h"

namespace {

int chosenMonth(GtkWidget *combo) { return readCBTAT(GTK_COMBO_BOX_TEXT(combo)); }

}  // namespace

int c2_CheckEntries(c2_widgets *w) {
    if (!c2_LocaleOK(w) && error_watch == 1) return 1;

    // A text that is not wholly one whole number ("1e38", "30th") is no day
    // and no year: it stays 0 and fails like 0.
    int firstDay = 0;
    int lastDay = 0;
    int year = 0;
    entryInt(w->entry_startday, &firstDay);
    int firstMonth = chosenMonth(w->cbtxt_startmonth);
    entryInt(w->entry_stopday, &lastDay);
    int lastMonth = chosenMonth(w->cbtxt_stopmonth);
    entryInt(w->entry_year, &year);

    if (year < 2000 || year > 2050) return 4;
    // getMonthNumber gives 13 when nothing is chosen: no season then either.
    if (lastMonth <= firstMonth || lastMonth > 12) return 5;
    setMonthLengths(year);
    if (firstDay < 1 || firstDay > dayspermonth[firstMonth - 1]) return 2;
    if (lastDay < 1 || lastDay > dayspermonth[lastMonth - 1]) return 3;
    return 0;
}
