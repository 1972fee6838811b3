// The three built-in self-test panels of the main window.
#ifndef VERANTA_SELFTEST_SELFTEST_H
#define VERANTA_SELFTEST_SELFTEST_H

// Stores the fixed case of the instant and one-day tests (22 July 1999,
// 09:45:37 EST, latitude 33.65, longitude -84.43) into the shared state.
void storeFixedCase(void);

// Stores the growing-season test's site and year (2007, latitude 44.133,
// northern zone) into the shared state, with the month lengths of that year;
// the clock time is left as it is.
void storeSeasonCase(void);

void t1_Populate(void);
void t1_Depopulate(void);
void t2_Populate(void);
void t2_Depopulate(void);
void t3_Populate(void);
void t3_Depopulate(void);

#endif
