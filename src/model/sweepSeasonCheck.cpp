// The checks of a season, as sweep refusals: a year the windows take, months
// and days that exist, and an end not before the start (one month will do).
#include "model/sweepSeason.h"

#include "model/integration.h"

int sweepSeasonCheck(const season_range *s, int lengths[12]) {
    if (s->year < 2000 || s->year > 2050) return SWEEP_BAD_YEAR;
    if (s->start_month < 1 || s->start_month > 12 || s->stop_month < 1 || s->stop_month > 12) return SWEEP_BAD_MONTH;
    monthLengths(s->year, lengths);
    if (s->start_day < 1 || s->start_day > lengths[s->start_month - 1]) return SWEEP_BAD_START_DAY;
    if (s->stop_day < 1 || s->stop_day > lengths[s->stop_month - 1]) return SWEEP_BAD_STOP_DAY;
    if (s->stop_month < s->start_month || (s->stop_month == s->start_month && s->stop_day < s->start_day))
        return SWEEP_BAD_MONTH_ORDER;
    return 0;
}
