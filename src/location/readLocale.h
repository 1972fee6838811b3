// Reading the stored site from locale.txt in the working folder.
#ifndef VERANTA_LOCATION_READLOCALE_H
#define VERANTA_LOCATION_READLOCALE_H

// Sets haveprefs to 1 and stores every value that locale.txt names into the
// location parameters; when the file cannot be opened, sets haveprefs to 0
// and changes nothing else.
void readLocale(void);

#endif
