// The one-day calculator window.
#ifndef VERANTA_ONEDAY_ONEDAY_H
#define VERANTA_ONEDAY_ONEDAY_H

void oneDay(void);

#endif
