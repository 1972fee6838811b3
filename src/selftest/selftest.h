// The three built-in self-test panels of the main window.
#ifndef VERANTA_SELFTEST_SELFTEST_H
#define VERANTA_SELFTEST_SELFTEST_H

void t1_Populate(void);
void t1_Depopulate(void);
void t2_Populate(void);
void t2_Depopulate(void);
void t3_Populate(void);
void t3_Depopulate(void);

#endif
