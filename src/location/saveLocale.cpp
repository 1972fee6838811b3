// Stores the site shown in the location frame into locale.txt.
//
// The new content goes to a temporary file in the same folder that replaces
// locale.txt by a rename only once every write, the flush to disk and the
// close have succeeded, so a failed save (full disk, unwritable folder) never
// costs the site stored before.
#include "location/location.h"

#include "model/model.h"
#include "shell/shell.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char kLocaleFile[] = "locale.txt";

// A written line holds at most 39 characters with its line feed, so that
// every reader takes it whole. The UI caps each entry to fit; a longer text
// is cut here, before a UTF-8 sequence rather than inside one.
bool writeLine(FILE *out, const char *keyword, const char *text) {
    std::size_t room = 39 - std::strlen(keyword) - 2 - 1;
    std::size_t n = std::strlen(text);
    if (n > room) {
        n = room;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) n--;
    }
    return std::fprintf(out, "%s  %.*s\n", keyword, static_cast<int>(n), text) >= 0;
}

float entryValue(const char *text) { return narrowFloat(std::atof(text)); }

void reportFailure(void) {
    std::printf("\nCould not open %s for writing\n", kLocaleFile);
    std::fflush(stdout);
}

}  // namespace

void saveLocale(void) {
    // Created with the mode a plain fopen would give, the umask applied.
    char tempName[] = "locale.txt.XXXXXX";
    int fd = g_mkstemp_full(tempName, O_WRONLY, 0666);
    if (fd < 0) {
        reportFailure();
        return;
    }
    FILE *out = fdopen(fd, "w");
    if (out == nullptr) {
        close(fd);
        unlink(tempName);
        reportFailure();
        return;
    }
    bool ok = true;

    const char *lat = gtk_entry_get_text(GTK_ENTRY(locale_entry_lat));
    const char *lon = gtk_entry_get_text(GTK_ENTRY(locale_entry_lon));
    const char *elev = gtk_entry_get_text(GTK_ENTRY(locale_entry_elev));
    const char *aspect = gtk_entry_get_text(GTK_ENTRY(locale_entry_aspect));
    const char *tilt = gtk_entry_get_text(GTK_ENTRY(locale_entry_tilt));
    bool allEmpty = lat[0] == '\0' && lon[0] == '\0' && elev[0] == '\0' &&
                    aspect[0] == '\0' && tilt[0] == '\0';

    if (ok && !allEmpty) {
        ok = writeLine(out, "latitude", lat) && writeLine(out, "longitude", lon) &&
             writeLine(out, "elevation", elev) && writeLine(out, "aspect", aspect) &&
             writeLine(out, "tilt", tilt) && std::fflush(out) == 0 && fsync(fd) == 0;
    }
    if (std::fclose(out) != 0) ok = false;

    if (ok) {
        if (allEmpty) {
            // Nothing to store: no file at all.
            unlink(tempName);
            ok = unlink(kLocaleFile) == 0 || errno == ENOENT;
        } else {
            ok = std::rename(tempName, kLocaleFile) == 0;
        }
    }
    if (!ok) {
        unlink(tempName);
        reportFailure();
        return;
    }

    active_latitude = entryValue(lat);
    active_longitude = entryValue(lon);
    active_elev = entryValue(elev);
    active_aspect = entryValue(aspect);
    active_tilt = entryValue(tilt);

    gtk_widget_set_sensitive(locale_clear, FALSE);
    gtk_widget_set_sensitive(locale_save, FALSE);
    gtk_widget_set_sensitive(locale_close, TRUE);
}
