// The season window's checks of a season, in its order, as sweep refusals.
#include "model/sweepSeason.h"

#include "model/integration.h"

int sweepSeasonCheck(const season_range *s, int lengths[12]) {
    if (s->year < 2000 || s->year > 2050) return SWEEP_BAD_YEAR;
    if (s->start_month < 1 || s->stop_month <= s->start_month || s->stop_month > 12) return SWEEP_BAD_MONTH_ORDER;
    monthLengths(s->year, lengths);
    if (s->start_day < 1 || s->start_day > lengths[s->start_month - 1]) return SWEEP_BAD_START_DAY;
    if (s->stop_day < 1 || s->stop_day > lengths[s->stop_month - 1]) return SWEEP_BAD_STOP_DAY;
    return 0;
}
