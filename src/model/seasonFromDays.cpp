// One surface's months and season totals from its daily irradiation, formed
// as the season window forms them: shared by the slope sweep and the map's
// cells, so both give the season window's bits.
#include "model/integration.h"

#include "model/model.h"

void seasonFromDays(const season_range *season, const int lengths[12], int zone, float elevation, const float *daily,
                    long stride, slope_season *out) {
    slope_season r = {};
    float irradiation = 0.0f;
    float degree_days = 0.0f;
    long k = 0;  // index of the month's first day
    for (int m = season->start_month; m <= season->stop_month; m++) {
        const int length = lengths[m - 1];
        const int first = m == season->start_month ? season->start_day : 1;
        const int last = m == season->stop_month ? season->stop_day : length;
        float month[31];
        for (int d = 0; d < length; d++) month[d] = daily[(k + d) * stride];
        float irr;
        float gdd;
        seasonMonth(month, length, first, last, zone, elevation, m, &irr, &gdd, &r.month_whole_irradiation[m - 1]);
        r.month_irradiation[m - 1] = irr;
        r.month_degree_days[m - 1] = gdd;
        // In month order, as the window's running totals.
        irradiation = irradiation + irr;
        degree_days = degree_days + gdd;
        k += length;
    }
    r.season_irradiation = irradiation;
    r.season_degree_days = degree_days;
    *out = r;
}
