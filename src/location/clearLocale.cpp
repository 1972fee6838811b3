// Forgets the stored site: empties the entries and deletes locale.txt. The
// location parameters keep their values. A write-protected locale.txt is
// kept, as Save keeps it, and then nothing is forgotten.
#include "location/location.h"

#include "files/safeWrite.h"
#include "model/model.h"
#include "model/readRegularFile.h"
#include "shell/shell.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

// 0 when no file is left behind, 1 when locale.txt exists but could not be
// deleted (said in the frame).
int clearLocale(void) {
    showLocaleMessage(nullptr);
    // A link is deleted whatever the file it points to; that file stays.
    struct stat st;
    if (lstat("locale.txt", &st) == 0 && S_ISREG(st.st_mode) && writeProtected("locale.txt", st.st_mode)) {
        showLocaleMessage("Not cleared: the file is write-protected. The stored location is unchanged.");
        return 1;
    }
    haveprefs = 0;

    gtk_entry_set_text(GTK_ENTRY(locale_entry_lat), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_lon), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_elev), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_aspect), "");
    gtk_entry_set_text(GTK_ENTRY(locale_entry_tilt), "");

    // Deleted only when it is a file that the readers would open: a FIFO or
    // a device of that name is no stored site, and opening one must not wait.
    char *text = nullptr;
    std::size_t length = 0;
    bool more = false;
    bool had = readRegularFile("locale.txt", 0, &text, &length, &more) == 0;
    if (had) std::free(text);
    // unlink, not remove: a folder of that name is not ours to delete.
    if (!had) {
        // Nothing was removed, so say what is there instead.
        showLocaleMessage(lstat("locale.txt", &st) == 0
                              ? "Cleared the fields; the locale.txt here is no stored site (not a regular file) "
                                "and was left alone."
                              : "Cleared the fields; no site was stored.");
        return 0;
    }
    if (unlink("locale.txt") == 0) {
        gchar *done = localeDoneText(false, nullptr);
        showLocaleMessage(done);
        g_free(done);
        return 0;
    }
    gchar *message = g_strdup_printf("Not cleared: locale.txt could not be deleted (%s).", g_strerror(errno));
    showLocaleMessage(message);
    g_free(message);
    return 1;
}
