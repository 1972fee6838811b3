// The selected slope's months as the table and chart show them.
#include "slopes/slopes.h"

month_rows sl_MonthRows(const sl_view *v) {
    month_rows rows = {};
    if (!v->have) return rows;
    const slope_season &s = v->results[v->selected];
    bool falling[12];
    seasonFallingMonths(&v->falls, &s, gddZone(v->site.latitude), falling);
    rows.count = seasonMonths(&v->season, rows.month, rows.first, rows.last);
    for (int i = 0; i < rows.count; i++) {
        int m = rows.month[i] - 1;
        rows.irradiation[i] = s.month_irradiation[m];
        rows.degree_days[i] = s.month_degree_days[m];
        rows.falling[i] = falling[m];
    }
    rows.total_irradiation = s.season_irradiation;
    rows.total_degree_days = s.season_degree_days;
    return rows;
}
