// One cell's season from the computed map, for its month table and CSV. The
// map keeps each month's irradiation as the season takes it; a first or last
// month taken only in part gets its degree days from the whole month, which
// the map keeps beside it, so the backwards flag is judged by that.
#include "landmap/landmap.h"

#include "model/model.h"

#include <cmath>

bool lm_CellSeason(const lm_map *map, long i, const gdd_falls *falls, slope_season *s, bool falling[12]) {
    *s = slope_season{};
    for (int k = 0; k < 12; k++) falling[k] = false;
    if (i < 0 || i >= map->cells() || std::isnan(map->degree_days[i])) return false;
    const long cells = map->cells();
    const season_range &season = map->settings.season;
    for (int k = 0; k < 12; k++) {
        s->month_irradiation[k] = map->month_irradiation[k * cells + i];
        s->month_degree_days[k] = map->month_degree_days[k * cells + i];
        s->month_whole_irradiation[k] = s->month_irradiation[k];
    }
    s->month_whole_irradiation[season.start_month - 1] = map->whole_edge_months[i];
    s->month_whole_irradiation[season.stop_month - 1] = map->whole_edge_months[cells + i];
    s->season_irradiation = map->irradiation[i];
    s->season_degree_days = map->degree_days[i];
    // The zone's formula is the one the cell's sun block takes.
    float blockLat, blockLon;
    blockPoint(map->latitude[i], map->longitude[i], &blockLat, &blockLon);
    seasonFallingMonths(falls, s, gddZone(blockLat), falling);
    return true;
}
