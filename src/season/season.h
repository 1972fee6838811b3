// The growing-season calculator window.
#ifndef VERANTA_SEASON_SEASON_H
#define VERANTA_SEASON_SEASON_H

void manyDays(void);

#endif
