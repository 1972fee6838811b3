// Each block's figures from a computed map, as zonal statistics give them:
// areas from each row's cell area, means over the block's cells with data,
// everything summed in double so that a large block adds up without drift.
#include "parcel/parcel.h"

#include "model/calibratedRegion.h"
#include "model/seasonRanking.h"
#include "terrain/mapFigures.h"
#include "terrain/terrain.h"

#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

struct block_sums {
    double hectares = 0.0, hectares_with_data = 0.0, hectares_reaching = 0.0;
    long cells = 0, outside = 0;
    double gdd = 0.0, irradiation = 0.0, shadow = 0.0;
    float gdd_min = 0.0f, gdd_max = 0.0f;
    double month_irradiation[12] = {}, month_gdd[12] = {};
    long month_cells[12] = {};
    double whole_first = 0.0, whole_last = 0.0;
    long whole_first_cells = 0, whole_last_cells = 0;
    long zone_cells[3] = {};   // by the degree-day formula's zone, 1 north, 2 south
    double region_ha[WINKLER_REGIONS] = {};
    long reaching_target = 0;
};

bool hasData(float v, float nodata) { return !std::isnan(v) && v != nodata; }

double meanOf(double sum, long count) { return count > 0 ? sum / static_cast<double>(count) : kNaN; }

bool outsideCalibration(const block_map *m, size_t i) {
    if (m->outside_calibration != nullptr) return m->outside_calibration[i] != 0;
    return !cellInCalibratedRegion(m->latitude[i], m->longitude[i], m->elevation[i], m->tilt[i]);
}

void addCell(const block_map *m, size_t i, double cell_ha, float threshold, block_sums *s) {
    const float gdd = m->season_gdd[i];
    s->hectares_with_data += cell_ha;
    if (gdd >= threshold) s->hectares_reaching += cell_ha;
    if (s->cells == 0 || gdd < s->gdd_min) s->gdd_min = gdd;
    if (s->cells == 0 || gdd > s->gdd_max) s->gdd_max = gdd;
    s->cells++;
    s->gdd += gdd;
    const int region = winklerRegion(gdd);
    if (region >= 0) s->region_ha[region] += cell_ha;
    if (m->target_day != nullptr && m->target_day[i] > 0.0f) s->reaching_target++;
    s->irradiation += m->season_irradiation[i];
    s->shadow += m->shadow_minutes[i];
    if (outsideCalibration(m, i)) s->outside++;
    for (int k = 0; k < 12; k++) {
        if (m->month_irradiation[k] == nullptr || m->month_gdd[k] == nullptr) continue;
        const float irr = m->month_irradiation[k][i], dd = m->month_gdd[k][i];
        if (!hasData(irr, m->nodata) || !hasData(dd, m->nodata)) continue;
        s->month_irradiation[k] += irr;
        s->month_gdd[k] += dd;
        s->month_cells[k]++;
    }
    if (m->whole_first_month != nullptr && hasData(m->whole_first_month[i], m->nodata)) {
        s->whole_first += m->whole_first_month[i];
        s->whole_first_cells++;
    }
    if (m->whole_last_month != nullptr && hasData(m->whole_last_month[i], m->nodata)) {
        s->whole_last += m->whole_last_month[i];
        s->whole_last_cells++;
    }
    // The zone is the one the cell's sun point takes, as for a single cell.
    float block_latitude, block_longitude;
    blockPoint(m->latitude[i], m->longitude[i], &block_latitude, &block_longitude);
    s->zone_cells[gddZone(block_latitude) == 1 ? 1 : 2]++;
}

// The block's mean months, flagged where the zone's formula runs backwards
// for the block's mean whole-month irradiation. A block astride the zones'
// border (43.7° N) is judged by the zone most of its cells take.
void meanMonths(const block_map *m, const block_sums &s, const gdd_falls *falls, block_figures *f) {
    slope_season season{};
    for (int k = 0; k < 12; k++) {
        f->in_season[k] = m->month_irradiation[k] != nullptr && m->month_gdd[k] != nullptr;
        f->month_irradiation_mj_m2[k] = f->in_season[k] ? meanOf(s.month_irradiation[k], s.month_cells[k]) : kNaN;
        f->month_gdd[k] = f->in_season[k] ? meanOf(s.month_gdd[k], s.month_cells[k]) : kNaN;
        if (f->in_season[k] && s.month_cells[k] > 0)
            season.month_whole_irradiation[k] = static_cast<float>(f->month_irradiation_mj_m2[k]);
    }
    const int first = m->season.start_month - 1, last = m->season.stop_month - 1;
    if (first >= 0 && first < 12 && s.whole_first_cells > 0)
        season.month_whole_irradiation[first] = static_cast<float>(s.whole_first / s.whole_first_cells);
    if (last >= 0 && last < 12 && s.whole_last_cells > 0)
        season.month_whole_irradiation[last] = static_cast<float>(s.whole_last / s.whole_last_cells);
    if (s.cells == 0) return;
    const int zone = s.zone_cells[1] > s.zone_cells[2] ? 1 : 2;
    seasonFallingMonths(falls, &season, zone, f->month_backwards);
}

bool checkMap(const parcel *p, const parcel_placement *placement, const block_map *m, std::string *refusal) {
    if (m->width <= 0 || m->height <= 0) return refuse(refusal, "the map has no cells");
    if (m->block_of_cell == nullptr || m->season_gdd == nullptr || m->season_irradiation == nullptr ||
        m->shadow_minutes == nullptr || m->row_area == nullptr || m->latitude == nullptr || m->longitude == nullptr ||
        (m->outside_calibration == nullptr && (m->elevation == nullptr || m->tilt == nullptr)))
        return refuse(refusal, "the map lacks a band the block figures need");
    if (placement != nullptr && placement->wholly_outside.size() != p->blocks.size())
        return refuse(refusal, "the placement is not this parcel's");
    return true;
}

}   // namespace

float parcelThreshold(const block_map *map) {
    std::vector<float> values;
    const size_t cells = static_cast<size_t>(map->width) * static_cast<size_t>(map->height);
    for (size_t i = 0; i < cells; i++)
        if (map->block_of_cell[i] > 0 && hasData(map->season_gdd[i], map->nodata)) values.push_back(map->season_gdd[i]);
    const float median = medianValue(values.data(), static_cast<long>(values.size()));
    return std::isnan(median) ? median : std::floor(median);
}

bool blockFigures(const parcel *p, const parcel_placement *placement, const block_map *map, float threshold,
                  std::vector<block_figures> *figures, std::string *refusal) {
    figures->clear();
    if (!checkMap(p, placement, map, refusal)) return false;
    const std::int32_t blocks = static_cast<std::int32_t>(p->blocks.size());
    std::vector<block_sums> sums(p->blocks.size());
    for (int r = 0; r < map->height; r++) {
        const double cell_ha = map->row_area[r] / 10000.0;
        for (int c = 0; c < map->width; c++) {
            const size_t i = static_cast<size_t>(r) * static_cast<size_t>(map->width) + static_cast<size_t>(c);
            const std::int32_t b = map->block_of_cell[i];
            if (b == 0) continue;
            if (b < 0 || b > blocks) return refuse(refusal, "the map's blocks are not this parcel's");
            block_sums &s = sums[static_cast<size_t>(b - 1)];
            s.hectares += cell_ha;
            if (hasData(map->season_gdd[i], map->nodata)) addCell(map, i, cell_ha, threshold, &s);
        }
    }
    gdd_falls falls;
    findGddFalls(&falls);
    for (size_t k = 0; k < sums.size(); k++) {
        if (placement != nullptr && placement->wholly_outside[k]) continue;
        const block_sums &s = sums[k];
        block_figures f;
        f.block = static_cast<int>(k + 1);
        f.name = p->blocks[k].name;
        f.outside_hectares = placement != nullptr ? placement->outside_hectares[k] : 0.0;
        f.hectares = s.hectares;
        f.hectares_with_data = s.hectares_with_data;
        f.threshold_gdd = threshold;
        f.hectares_reaching = std::isnan(threshold) ? kNaN : s.hectares_reaching;
        f.share_reaching = s.hectares_with_data > 0.0 ? f.hectares_reaching / s.hectares_with_data : kNaN;
        f.gdd_min = s.cells > 0 ? s.gdd_min : kNaN;
        f.gdd_max = s.cells > 0 ? s.gdd_max : kNaN;
        f.gdd_mean = meanOf(s.gdd, s.cells);
        f.irradiation_mean_mj_m2 = meanOf(s.irradiation, s.cells);
        f.shadow_minutes_mean = meanOf(s.shadow, s.cells);
        f.share_outside_calibration = meanOf(static_cast<double>(s.outside), s.cells);
        meanMonths(map, s, &falls, &f);
        f.winkler_season = winklerSeason(map->season);
        if (f.winkler_season) {
            f.winkler_region = s.cells > 0 ? winklerRegion(f.gdd_mean) : -1;
            for (int r = 0; r < WINKLER_REGIONS; r++) f.hectares_region[r] = s.region_ha[r];
        }
        f.has_target = map->target_day != nullptr;
        if (f.has_target) {
            f.target_gdd = map->target;
            f.share_reaching_target = meanOf(static_cast<double>(s.reaching_target), s.cells);
            const group_running *running = map->block_running;
            // Only sums of this parcel's blocks, over the same cells.
            if (running != nullptr && running->groups() == blocks && running->surfaces(f.block) == s.cells)
                f.target_day_of_mean = running->reachDay(f.block, map->target, &map->season);
        }
        figures->push_back(std::move(f));
    }
    return true;
}
