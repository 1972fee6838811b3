// The one way a window reads a whole number (a day, a year) from an entry.
#include "ui/entries.h"

#include "model/model.h"

bool entryInt(GtkWidget *entry, int *value) {
    return wholeInt(gtk_entry_get_text(GTK_ENTRY(entry)), value);
}
