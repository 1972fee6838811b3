// The one way a window reads a real number from an entry.
#include "ui/entries.h"

#include "model/model.h"

bool entryFloat(GtkWidget *entry, float *value) {
    return wholeFloat(gtk_entry_get_text(GTK_ENTRY(entry)), value);
}
