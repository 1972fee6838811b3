// Stores the site shown in the location frame into locale.txt.
//
// Written through the program's one safe writer, so a failed save (full
// disk, unwritable folder) never costs the site stored before, a locale.txt
// that is a link stays a link and the file it points to is replaced, and a
// write-protected locale.txt is left alone, as its owner meant.
#include "location/location.h"

#include "files/safeWrite.h"
#include "model/model.h"
#include "shell/shell.h"
#include "ui/entries.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kLocaleFile[] = "locale.txt";

// A written line holds at most 39 characters with its line feed, so that
// every reader takes it whole. The UI caps each entry to fit; a longer text
// is cut here, before a UTF-8 sequence rather than inside one.
void appendLine(std::string *content, const char *keyword, const char *text) {
    std::size_t room = 39 - std::strlen(keyword) - 2 - 1;
    std::size_t n = std::strlen(text);
    if (n > room) {
        n = room;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) n--;
    }
    *content += std::string(keyword) + "  " + std::string(text, n) + "\n";
}

// The described line on the standard output, and the same failure in words
// in the frame.
void reportFailure(const std::string &why) {
    std::printf("\nCould not open %s for writing\n", kLocaleFile);
    std::fflush(stdout);
    gchar *message = g_strdup_printf("Not saved: %s. The stored location is unchanged.", why.c_str());
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

    if (allEmpty) {
        // Nothing to store: no file at all. A link goes, the file it points
        // to is not touched; a file of the site goes only when it may be
        // written.
        struct stat st;
        if (lstat(kLocaleFile, &st) == 0 && !S_ISLNK(st.st_mode)) {
            if (!S_ISREG(st.st_mode)) {
                reportFailure(S_ISDIR(st.st_mode) ? "locale.txt is a folder" : "locale.txt is not a regular file");
                return;
            }
            if (writeProtected(kLocaleFile, st.st_mode)) {
                reportFailure("the file is write-protected");
                return;
            }
        }
        if (unlink(kLocaleFile) != 0 && errno != ENOENT) {
            reportFailure(std::string("locale.txt could not be removed (") + g_strerror(errno) + ")");
            return;
        }
    } else {
        std::string content;
        appendLine(&content, "latitude", texts[0]);
        appendLine(&content, "longitude", texts[1]);
        appendLine(&content, "elevation", texts[2]);
        appendLine(&content, "aspect", texts[3]);
        appendLine(&content, "tilt", texts[4]);
        std::string error;
        if (!writeFileSafely(kLocaleFile, content.data(), content.size(), &error)) {
            reportFailure(error);
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
    // An empty site is stored as no file at all; say so, not "Saved".
    gchar *done = nullptr;
    if (allEmpty) {
        gchar *folder = g_get_current_dir();
        gchar *shown = g_filename_display_name(folder);
        done = g_strdup_printf("Nothing to store: every field is empty, so %s holds no locale.txt; "
                               "the calculators start with empty fields.", shown);
        g_free(shown);
        g_free(folder);
    } else {
        done = localeDoneText(true, texts);
    }
    showLocaleMessage(done);
    g_free(done);
}
