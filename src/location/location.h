// The location frame of the main window.
#ifndef VERANTA_LOCATION_LOCATION_H
#define VERANTA_LOCATION_LOCATION_H

#include <glib.h>

void populateLocale(void);
int clearLocale(void);
void saveLocale(void);

// Shows text in the frame's message line; nullptr hides the line and takes
// the marks off the entries that the last Save refused.
void showLocaleMessage(const char *text);

// "Saved in …/locale.txt." (saved, with the five entry texts saved) or
// "Cleared: …"; owned by the caller.
gchar *localeDoneText(bool saved, const char *const texts[5]);

#endif
