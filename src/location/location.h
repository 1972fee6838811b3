// The location frame of the main window.
#ifndef VERANTA_LOCATION_LOCATION_H
#define VERANTA_LOCATION_LOCATION_H

void populateLocale(void);
int clearLocale(void);
void saveLocale(void);

#endif
