// Fills the location frame from locale.txt when the frame opens.
#include "location/location.h"

#include "location/readLocale.h"
#include "model/model.h"
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void showValue(GtkWidget *entry, const char *format, float value) {
    // Wide enough for the largest float in either format ("%8.4f" of
    // -FLT_MAX is 45 characters).
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    // The entry holds only what fits in a line of locale.txt; a number too
    // wide for it (1e38 in fixed notation) is shown in the fewest digits
    // that read back as the same value, so Save stores what was read.
    int room = gtk_entry_get_max_length(GTK_ENTRY(entry));
    if (room > 0 && std::strlen(text) > static_cast<std::size_t>(room)) {
        for (int digits = 1; digits <= 9; digits++) {
            std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
            if (static_cast<float>(std::strtod(text, nullptr)) == value) break;
        }
    }
    gtk_entry_set_text(GTK_ENTRY(entry), text);
}

}  // namespace

void populateLocale(void) {
    showLocaleMessage(nullptr);
    readLocale();

    active_temp = 15.0f;
    active_press = 1006.0f;
    active_timezone = -8.0f;
    active_hour = 12;
    active_minute = 0;
    active_second = 0;
    active_dt = 1;

    gtk_entry_set_has_frame(GTK_ENTRY(locale_entry_lat), TRUE);

    // Without a file the entries keep what they hold, so text typed but not
    // saved at the last opening is still there.
    if (haveprefs == 1) {
        showValue(locale_entry_lat, "%8.4f", active_latitude);
        showValue(locale_entry_lon, "%8.4f", active_longitude);
        showValue(locale_entry_elev, "%8.1f", active_elev);
        showValue(locale_entry_aspect, "%8.1f", active_aspect);
        showValue(locale_entry_tilt, "%8.1f", active_tilt);
    }
}
