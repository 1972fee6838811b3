// Tests the window's entries before a run; the first failing test decides.
#include "season/season.h"

#include "model/model.h"
#include "model/readCBTAT.h"

namespace {

int chosenMonth(GtkWidget *combo) { return readCBTAT(GTK_COMBO_BOX_TEXT(combo)); }

int entryInt(GtkWidget *entry) { return leadingInt(gtk_entry_get_text(GTK_ENTRY(entry))); }

}  // namespace

int c2_CheckEntries(c2_widgets *w) {
    if (!c2_LocaleOK(w) && error_watch == 1) return 1;

    int firstDay = entryInt(w->entry_startday);
    int firstMonth = chosenMonth(w->cbtxt_startmonth);
    int lastDay = entryInt(w->entry_stopday);
    int lastMonth = chosenMonth(w->cbtxt_stopmonth);
    int year = entryInt(w->entry_year);

    if (year < 2000 || year > 2050) return 4;
    // getMonthNumber gives 13 when nothing is chosen: no season then either.
    if (lastMonth <= firstMonth || lastMonth > 12) return 5;
    setMonthLengths(year);
    if (firstDay < 1 || firstDay > dayspermonth[firstMonth - 1]) return 2;
    if (lastDay < 1 || lastDay > dayspermonth[lastMonth - 1]) return 3;
    return 0;
}
