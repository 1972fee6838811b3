// Stores the site shown in the location frame into locale.txt.
//
// The new content goes to a temporary file in the folder of the file it
// replaces, which a rename replaces only once every write, the flush to disk
// and the close have succeeded, so a failed save (full disk, unwritable
// folder) never costs the site stored before. A locale.txt that is a link
// stays a link: the file it points to is the one replaced. A write-protected
// locale.txt is left alone, as its owner meant.
#include "location/location.h"

#include "model/model.h"
#include "shell/shell.h"
#include "ui/entries.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
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

// The described line on the standard output, and the same failure in words
// in the frame.
void reportFailure(const char *what, int error) {
    std::printf("\nCould not open %s for writing\n", kLocaleFile);
    std::fflush(stdout);
    gchar *message = error != 0 ? g_strdup_printf("Not saved: %s (%s). The stored location is unchanged.", what,
                                                  g_strerror(error))
                                : g_strdup_printf("Not saved: %s. The stored location is unchanged.", what);
    showLocaleMessage(message);
    g_free(message);
}

// Why an entry's text is no number that may be stored.
const char *whyNotANumber(const char *text) {
    char *end = nullptr;
    std::strtod(text, &end);
    if (end == text) return "is not a number";
    while (*end == ' ' || (*end >= '\t' && *end <= '\r')) ++end;
    if (*end != '\0') return "is not a plain number (decimals with a point, no units)";
    return "is not a finite number";
}

// Follows locale.txt through symbolic links to the path that holds the site
// (which need not exist yet). False, with errno set, when that fails.
bool findTarget(std::string *path, bool *exists, struct stat *st) {
    *path = kLocaleFile;
    for (int hops = 0; hops < 40; hops++) {
        if (lstat(path->c_str(), st) != 0) {
            if (errno != ENOENT) return false;
            *exists = false;
            return true;
        }
        if (!S_ISLNK(st->st_mode)) {
            *exists = true;
            return true;
        }
        gchar *link = g_file_read_link(path->c_str(), nullptr);
        if (link == nullptr) return false;
        if (g_path_is_absolute(link)) {
            *path = link;
        } else {
            gchar *folder = g_path_get_dirname(path->c_str());
            gchar *joined = g_build_filename(folder, link, nullptr);
            *path = joined;
            g_free(joined);
            g_free(folder);
        }
        g_free(link);
    }
    errno = ELOOP;
    return false;
}

}  // namespace

void saveLocale(void) {
    showLocaleMessage(nullptr);

    GtkWidget *entries[5] = {locale_entry_lat, locale_entry_lon, locale_entry_elev, locale_entry_aspect,
                             locale_entry_tilt};
    const char *const names[5] = {"latitude", "longitude", "elevation", "aspect", "tilt"};
    const char *texts[5];
    float values[5] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    bool allEmpty = true;
    int refused = 0;
    int firstRefused = -1;
    for (int i = 0; i < 5; i++) {
        texts[i] = gtk_entry_get_text(GTK_ENTRY(entries[i]));
        if (texts[i][0] == '\0') continue;  // empty stays empty and reads as 0
        allEmpty = false;
        if (entryFloat(entries[i], &values[i])) continue;
        gtk_style_context_add_class(gtk_widget_get_style_context(entries[i]), "error");
        if (firstRefused < 0) firstRefused = i;
        refused++;
    }
    // Stored, such a text would be read back as another value (44,13 as 44)
    // or as no number at all.
    if (firstRefused >= 0) {
        gchar *message = g_strdup_printf("Not saved: the %s \"%s\" %s.%s", names[firstRefused], texts[firstRefused],
                                         whyNotANumber(texts[firstRefused]),
                                         refused > 1 ? " Every marked field needs a number." : "");
        showLocaleMessage(message);
        g_free(message);
        return;
    }

    std::string target;
    bool exists = false;
    struct stat st;
    if (!findTarget(&target, &exists, &st)) {
        reportFailure("locale.txt cannot be followed to a file", errno);
        return;
    }
    // An empty site removes locale.txt itself: a link goes, the file it
    // points to is not touched.
    bool touchesTarget = !allEmpty || target == kLocaleFile;
    if (exists && touchesTarget && !S_ISREG(st.st_mode)) {
        reportFailure("locale.txt is not a regular file", 0);
        return;
    }
    if (exists && touchesTarget && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        reportFailure("locale.txt is write-protected", errno);
        return;
    }

    if (allEmpty) {
        // Nothing to store: no file at all.
        if (unlink(kLocaleFile) != 0 && errno != ENOENT) {
            reportFailure("locale.txt could not be removed", errno);
            return;
        }
    } else {
        // Created with the mode a plain fopen would give, the umask applied;
        // a file replaced keeps its permission bits, and its owner where that
        // is allowed.
        std::string tempName = target + ".XXXXXX";
        int fd = g_mkstemp_full(&tempName[0], O_WRONLY, 0666);
        if (fd < 0) {
            reportFailure("no file can be created beside locale.txt", errno);
            return;
        }
        int error = 0;
        if (exists) {
            if (fchown(fd, st.st_uid, st.st_gid) != 0) {
                // Not permitted: the new file stays the saver's own.
            }
            if (fchmod(fd, st.st_mode & 07777) != 0) error = errno;
        }
        FILE *out = error == 0 ? fdopen(fd, "w") : nullptr;
        if (out == nullptr) {
            if (error == 0) error = errno;
            close(fd);
        } else {
            bool ok = writeLine(out, "latitude", texts[0]) && writeLine(out, "longitude", texts[1]) &&
                      writeLine(out, "elevation", texts[2]) && writeLine(out, "aspect", texts[3]) &&
                      writeLine(out, "tilt", texts[4]) && std::fflush(out) == 0 && fsync(fd) == 0;
            if (!ok) error = errno != 0 ? errno : EIO;
            if (std::fclose(out) != 0 && error == 0) error = errno != 0 ? errno : EIO;
        }
        if (error == 0 && std::rename(tempName.c_str(), target.c_str()) != 0) error = errno;
        if (error != 0) {
            unlink(tempName.c_str());
            reportFailure("locale.txt could not be written", error);
            return;
        }
    }

    active_latitude = values[0];
    active_longitude = values[1];
    active_elev = values[2];
    active_aspect = values[3];
    active_tilt = values[4];

    gtk_widget_set_sensitive(locale_clear, FALSE);
    gtk_widget_set_sensitive(locale_save, FALSE);
    gtk_widget_set_sensitive(locale_close, TRUE);
    gchar *done = localeDoneText(true, texts);
    showLocaleMessage(done);
    g_free(done);
}
