// Forgets the stored site: empties the entries and deletes locale.txt. The
// location parameters keep their values.
#include "location/location.h"

#include "model/model.h"
#include "shell/shell.h"

#include <cstdio>
#include <unistd.h>

// 0 when no file is left behind, 1 when locale.txt exists but could not be
// deleted.
int clearLocale(void) {
    haveprefs = 0;

    gtk_entry_set_text(GTK_ENTRY(locale_entry_lat), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_lon), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_elev), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_aspect), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_tilt), "");

    FILE *file = std::fopen("locale.txt", "r");
    if (file == nullptr) return 0;
    std::fclose(file);
    // unlink, not remove: a folder of that name is not ours to delete.
    return unlink("locale.txt") == 0 ? 0 : 1;
}
