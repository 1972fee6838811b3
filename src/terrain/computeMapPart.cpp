// One part of the map, in named steps: the DEM around it, tilt and aspect,
// latitude and longitude, horizons, the cells grouped by sun block, then
// every cell's season under its block's sun, written straight into the map.
// The cells are shared out over threads in runs of one block, a batch of at
// most kMapSuns blocks at a time, the suns kept between parts included
// (sun_cache), so that coarse cells spanning many blocks do not hold every
// block's sun at once.
#include "terrain/mapFigures.h"
#include "terrain/sunCache.h"

#include "model/calibratedRegion.h"
#include "model/runOnThreads.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

namespace {

// Cells per call of seasonCells, which has a fixed cost of its own per call.
const int kRun = 4096;

int say(std::string *refusal, int code, const char *text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// The elevations around the part: the part, the search distance around it
// (one cell for Horn's neighbours) and two cells more for the horizon lines'
// samples, clipped to the raster.
struct surroundings {
    map_window window;
    std::vector<float> z;   // metres, NaN for nodata
    double spacing_x = 0.0; // metres, one spacing for the whole raster (its middle row)
    double spacing_y = 0.0;
};

int readSurroundings(const dem_source *dem, const map_options *options, bool horizons, const map_window &part,
                     map_control *control, surroundings *s, std::string *refusal) {
    cellSize(dem, dem->height / 2, &s->spacing_x, &s->spacing_y);
    const int hx = horizons ? static_cast<int>(std::min(1.0e6, std::ceil(options->distance / s->spacing_x))) + 2 : 1;
    const int hy = horizons ? static_cast<int>(std::min(1.0e6, std::ceil(options->distance / s->spacing_y))) + 2 : 1;
    const int x0 = std::max(0, part.x0 - hx);
    const int y0 = std::max(0, part.y0 - hy);
    const int x1 = static_cast<int>(std::min<long>(dem->width, static_cast<long>(part.x0) + part.width + hx));
    const int y1 = static_cast<int>(std::min<long>(dem->height, static_cast<long>(part.y0) + part.height + hy));
    s->window = {x0, y0, x1 - x0, y1 - y0};
    s->z.resize(static_cast<size_t>(s->window.width) * static_cast<size_t>(s->window.height));
    // A wide search distance reads far more than the part: in bands of rows,
    // so that a cancel is heard within one.
    const int rows = 64;
    for (int r = 0; r < s->window.height; r += rows) {
        if (control != nullptr && control->cancel.load()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        const int code = readDemWindow(dem, x0, y0 + r, s->window.width, std::min(rows, s->window.height - r),
                                       s->z.data() + static_cast<size_t>(r) * static_cast<size_t>(s->window.width),
                                       refusal);
        if (code != TERRAIN_OK) return code;
    }
    return TERRAIN_OK;
}

// What the part's cells (row by row) need besides their season.
struct part_cells {
    map_window part;
    size_t count = 0;
    std::vector<float> tilt;
    std::vector<float> aspect;
    std::vector<double> latitude;
    std::vector<double> longitude;
    // The horizons, when computed: in the map's own bands where it keeps
    // them (held once), otherwise in own_angles, cell after cell.
    int directions = 0;
    bool has_angles = false;
    horizon_out angles_at = {};
    std::vector<float> own_angles;
    const surroundings *around = nullptr;

    float angle(size_t i, int k) const {
        const size_t w = static_cast<size_t>(part.width);
        return angles_at.base[i / w * angles_at.row_stride + i % w * angles_at.cell_stride +
                              static_cast<size_t>(k) * angles_at.direction_stride];
    }

    float elevation(size_t i) const {
        const size_t w = static_cast<size_t>(part.width);
        const size_t r = i / w + static_cast<size_t>(part.y0 - around->window.y0);
        const size_t c = i % w + static_cast<size_t>(part.x0 - around->window.x0);
        return around->z[r * static_cast<size_t>(around->window.width) + c];
    }
};

void slopeOfCells(const dem_source *dem, part_cells *cells) {
    const surroundings &s = *cells->around;
    const size_t rows = static_cast<size_t>(s.window.height);
    std::vector<double> cw(rows);
    std::vector<double> ch(rows);
    for (size_t r = 0; r < rows; r++) cellSize(dem, s.window.y0 + static_cast<int>(r), &cw[r], &ch[r]);
    cells->tilt.resize(cells->count);
    cells->aspect.resize(cells->count);
    const map_window &p = cells->part;
    hornSlope(s.z.data(), s.window.width, s.window.height, cw.data(), ch.data(), p.x0 - s.window.x0,
              p.y0 - s.window.y0, p.width, p.height, cells->tilt.data(), cells->aspect.data());
}

int placeCells(const dem_source *dem, part_cells *cells, std::string *refusal) {
    cells->latitude.resize(cells->count);
    cells->longitude.resize(cells->count);
    const map_window &p = cells->part;
    return cellLatLon(dem, p.x0, p.y0, p.width, p.height, cells->latitude.data(), cells->longitude.data(), refusal);
}

// Straight into the map's horizon bands when it keeps them, so that a part's
// angles are held once (360 directions of a 1,024 x 1,024 part are 1.5 GB).
int horizonsOfCells(const map_options *options, int threads, map_control *control, land_map *map,
                    part_cells *cells) {
    const surroundings &s = *cells->around;
    const map_window &p = cells->part;
    const size_t directions = static_cast<size_t>(options->directions);
    cells->directions = options->directions;
    cells->has_angles = true;
    if (!map->horizons.empty() && map->directions == options->directions) {
        const size_t width = static_cast<size_t>(map->grid.width);
        const size_t band = static_cast<size_t>(map->grid.cells());
        const size_t first = static_cast<size_t>(p.y0 - map->grid.y0) * width + static_cast<size_t>(p.x0 - map->grid.x0);
        cells->angles_at = {map->horizons.data() + first, width, 1, band};
        // The targets start from 0, as a new vector of them would.
        for (size_t k = 0; k < directions; k++)
            for (size_t r = 0; r < static_cast<size_t>(p.height); r++) {
                float *row = cells->angles_at.base + k * band + r * width;
                std::fill(row, row + p.width, 0.0f);
            }
    } else {
        cells->own_angles.resize(cells->count * directions);
        cells->angles_at = {cells->own_angles.data(), static_cast<size_t>(p.width) * directions, directions, 1};
    }
    const horizon_grid grid = {s.z.data(), s.window.width, s.window.height, s.window.x0, s.window.y0, s.spacing_x,
                               s.spacing_y};
    return terrainHorizons(&grid, options->directions, options->distance, p.x0 - s.window.x0, p.y0 - s.window.y0,
                           p.width, p.height, &cells->angles_at, threads, control);
}

struct cell_key {
    float latitude;
    float longitude;
    int cell;
};

// The part's cells with an elevation grouped by sun block, and runs of at
// most kRun cells of one block.
struct block_runs {
    std::vector<cell_key> keys;
    std::vector<std::pair<float, float>> points;   // the distinct blocks
    std::vector<size_t> first;                     // first key of each run, then keys.size()
    std::vector<size_t> block;                     // each run's block
    long with_data = 0;
    long outside = 0;                              // of them, outside the calibrated region
};

void groupByBlock(const part_cells &cells, block_runs *runs) {
    runs->keys.reserve(cells.count);
    for (size_t i = 0; i < cells.count; i++) {
        const float e = cells.elevation(i);
        if (std::isnan(e)) continue;
        cell_key k;
        blockPoint(cells.latitude[i], cells.longitude[i], &k.latitude, &k.longitude);
        k.cell = static_cast<int>(i);
        runs->keys.push_back(k);
        runs->with_data++;
        if (!cellInCalibratedRegion(cells.latitude[i], cells.longitude[i], e, cells.tilt[i])) runs->outside++;
    }
    std::vector<cell_key> &keys = runs->keys;
    std::sort(keys.begin(), keys.end(), [](const cell_key &a, const cell_key &b) {
        if (a.latitude != b.latitude) return a.latitude < b.latitude;
        if (a.longitude != b.longitude) return a.longitude < b.longitude;
        return a.cell < b.cell;
    });
    for (size_t i = 0; i < keys.size(); i++) {
        const bool new_block =
            i == 0 || keys[i].latitude != keys[i - 1].latitude || keys[i].longitude != keys[i - 1].longitude;
        if (new_block) runs->points.push_back({keys[i].latitude, keys[i].longitude});
        if (new_block || i - runs->first.back() == static_cast<size_t>(kRun)) {
            runs->first.push_back(i);
            runs->block.push_back(runs->points.size() - 1);
        }
    }
    runs->first.push_back(keys.size());
}

// Where the part's cells go in the map: cell i of the part is cell at(i) of
// the map's grid; each figure of a cell's season into the band the map's
// layout gives it (looked up once, -1 for none).
struct map_target {
    land_map *map;
    size_t cells;   // of the map
    map_window part;
    int dx;         // the part's origin in the map's grid
    int dy;
    int degree_days, irradiation, tilt, aspect, shadow, target_day;
    int month_irradiation[12], month_degree_days[12];
    // Whether the map keeps its groups' running degree days, and the group
    // of each of its cells (null: every cell is group 1).
    bool grouped;
    const std::int32_t *groups;

    map_target(land_map *m, const map_window &p, const std::int32_t *g)
        : map(m),
          cells(static_cast<size_t>(m->grid.cells())),
          part(p),
          dx(p.x0 - m->grid.x0),
          dy(p.y0 - m->grid.y0),
          grouped(m->group_days.groups() > 0),
          groups(g) {
        const band_layout &l = m->layout;
        degree_days = l.find(map_quantity::degree_days);
        irradiation = l.find(map_quantity::irradiation);
        tilt = l.find(map_quantity::tilt);
        aspect = l.find(map_quantity::aspect);
        shadow = l.find(map_quantity::shadow_minutes);
        target_day = l.find(map_quantity::target_day);
        for (int k = 0; k < 12; k++) {
            month_irradiation[k] = l.find(map_quantity::irradiation, k + 1);
            month_degree_days[k] = l.find(map_quantity::degree_days, k + 1);
        }
    }

    size_t at(size_t i) const {
        const size_t w = static_cast<size_t>(part.width);
        return (i / w + static_cast<size_t>(dy)) * static_cast<size_t>(map->grid.width) + i % w +
               static_cast<size_t>(dx);
    }
};

// A cell's bands, where the map's layout puts them.
void storeSeason(const map_target &t, const part_cells &cells, size_t i, const cell_season &s) {
    const size_t j = t.at(i);
    float *v = t.map->values.data();
    auto put = [&](int band, float value) {
        if (band >= 0) v[static_cast<size_t>(band) * t.cells + j] = value;
    };
    put(t.degree_days, s.season_degree_days);
    put(t.irradiation, s.season_irradiation);
    put(t.tilt, cells.tilt[i]);
    put(t.aspect, cells.aspect[i]);
    put(t.shadow, s.shadow_minutes);
    put(t.target_day, static_cast<float>(s.target_day));
    for (int k = 0; k < 12; k++) {
        put(t.month_irradiation[k], s.month_irradiation[k]);
        put(t.month_degree_days[k], s.month_degree_days[k]);
    }
    if (!t.map->whole_edge_months.empty()) {
        const season_range &season = t.map->options.season;
        t.map->whole_edge_months[j] = s.month_whole_irradiation[season.start_month - 1];
        t.map->whole_edge_months[t.cells + j] = s.month_whole_irradiation[season.stop_month - 1];
    }
}

// The extras the map holds: elevations and positions (of every cell, with
// data or not); its horizons are in place already, but for the cells without
// an elevation, which have none.
void storeExtras(const map_target &t, const part_cells &cells) {
    land_map &m = *t.map;
    for (size_t i = 0; i < cells.count; i++) {
        const size_t j = t.at(i);
        if (!m.latitude.empty()) {
            m.latitude[j] = cells.latitude[i];
            m.longitude[j] = cells.longitude[i];
        }
        const float e = cells.elevation(i);
        if (std::isnan(e)) {
            if (!m.horizons.empty())
                for (int k = 0; k < m.directions; k++) m.horizons[static_cast<size_t>(k) * t.cells + j] = kMapNodata;
            continue;
        }
        if (!m.elevation.empty()) m.elevation[j] = e;
    }
}

// Every run's season, a batch of blocks at a time: the batch's suns placed
// (or taken from the cache), then its runs shared out over the threads.
int seasonOfCells(const part_cells &cells, const block_runs &runs, bool shade, int threads, sun_cache *cache,
                  map_control *control, const map_target &target, std::string *refusal) {
    auto cancelled = [&] { return control != nullptr && control->cancel.load(std::memory_order_relaxed); };
    const int directions = cells.directions;
    const bool horizons = cells.has_angles;
    std::vector<const sun_block *> blocks;
    size_t first_block = 0;
    size_t run_end = 0;
    std::atomic<size_t> next{0};
    std::atomic<int> failed{0};
    sweep_control stop;
    std::mutex group_lock;
    const bool grouped = target.grouped && target.target_day >= 0;
    auto worker = [&] {
        std::vector<float> elev(kRun);
        std::vector<slope> slopes(kRun);
        std::vector<float> horizon(horizons ? static_cast<size_t>(kRun) * directions : 0);
        std::vector<cell_season> results(kRun);
        // A run's groups numbered among themselves (its cells' own few), and
        // their sums, added to the map's once the run is done: exact, so in
        // whatever order the threads finish them.
        std::vector<std::int32_t> group(grouped ? kRun : 0);
        std::vector<std::int32_t> ids;
        group_running mine;
        for (;;) {
            const size_t r = next.fetch_add(1);
            if (r >= run_end || failed.load() != 0) return;
            if (cancelled()) {
                failed.store(SWEEP_CANCELLED);
                return;
            }
            const size_t first = runs.first[r];
            const int n = static_cast<int>(runs.first[r + 1] - first);
            for (int j = 0; j < n; j++) {
                const size_t i = static_cast<size_t>(runs.keys[first + static_cast<size_t>(j)].cell);
                elev[static_cast<size_t>(j)] = cells.elevation(i);
                if (grouped) group[static_cast<size_t>(j)] = target.groups ? target.groups[target.at(i)] : 1;
                slopes[static_cast<size_t>(j)] = {cells.aspect[i], cells.tilt[i]};
                if (horizons)
                    for (int k = 0; k < directions; k++)
                        horizon[static_cast<size_t>(j) * directions + static_cast<size_t>(k)] = cells.angle(i, k);
            }
            if (grouped) {
                ids.assign(group.begin(), group.begin() + n);
                std::sort(ids.begin(), ids.end());
                ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
                for (int j = 0; j < n; j++)
                    group[static_cast<size_t>(j)] = static_cast<std::int32_t>(
                        std::lower_bound(ids.begin(), ids.end(), group[static_cast<size_t>(j)]) - ids.begin() + 1);
                mine = group_running(static_cast<int>(ids.size()), target.map->group_days.days());
            }
            const cell_horizons ch = {directions, horizon.data()};
            const sun_block *b = blocks[runs.block[r] - first_block];
            // The target's day only where the map has a band for it.
            const int c = target.target_day < 0
                              ? seasonCells(b, n, elev.data(), slopes.data(), shade ? &ch : nullptr, results.data(),
                                            &stop)
                              : seasonCellsToTarget(b, n, elev.data(), slopes.data(), shade ? &ch : nullptr,
                                                    target.map->options.target, results.data(), &stop,
                                                    grouped ? group.data() : nullptr, grouped ? &mine : nullptr);
            if (c != 0) {
                failed.store(c);
                return;
            }
            if (grouped) {
                const std::lock_guard<std::mutex> hold(group_lock);
                target.map->group_days.merge(mine, ids.data());
            }
            for (int j = 0; j < n; j++)
                storeSeason(target, cells, static_cast<size_t>(runs.keys[first + static_cast<size_t>(j)].cell),
                            results[static_cast<size_t>(j)]);
            if (control != nullptr) control->cells_done.fetch_add(n);
        }
    };
    for (size_t r = 0; r + 1 < runs.first.size() && failed.load() == 0;) {
        first_block = runs.block[r];
        const size_t last_block = std::min(runs.points.size(), first_block + kMapSuns);
        const std::vector<std::pair<float, float>> batch(runs.points.begin() + static_cast<long>(first_block),
                                                         runs.points.begin() + static_cast<long>(last_block));
        const int code = placeSunBlocks(cache, batch, kMapSuns, threads, control, &blocks);
        if (code == SWEEP_CANCELLED) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        if (code != 0) return say(refusal, TERRAIN_FAILED, "the sun cannot be placed over this land");
        run_end = r;
        while (run_end + 1 < runs.first.size() && runs.block[run_end] < last_block) run_end++;
        next.store(r);
        {
            const cancel_relay relay(control, &stop);
            runOnThreads(threads, worker);
        }
        r = run_end;
    }
    if (failed.load() == SWEEP_CANCELLED || cancelled()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
    if (failed.load() != 0) return say(refusal, TERRAIN_FAILED, "the season cannot be computed for some cells of this land");
    return TERRAIN_OK;
}

int compute(const dem_source *dem, const map_window &part, sun_cache *cache, map_control *control, land_map *map,
            std::string *refusal, const std::int32_t *groups) {
    const map_options *options = &map->options;
    const int threads =
        options->threads > 0 ? options->threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const bool horizons = options->shade || !map->horizons.empty();

    surroundings around;
    int code = readSurroundings(dem, options, horizons, part, control, &around, refusal);
    if (code != TERRAIN_OK) return code;
    part_cells cells;
    cells.part = part;
    cells.count = static_cast<size_t>(part.width) * static_cast<size_t>(part.height);
    cells.around = &around;
    slopeOfCells(dem, &cells);
    code = placeCells(dem, &cells, refusal);
    if (code != TERRAIN_OK) return code;
    if (horizons) {
        code = horizonsOfCells(options, threads, control, map, &cells);
        if (code != TERRAIN_OK) return code;
    }

    block_runs runs;
    groupByBlock(cells, &runs);
    if (control != nullptr) {
        control->cells_done.fetch_add(static_cast<long>(cells.count) - runs.with_data);
        control->cells_with_data.fetch_add(runs.with_data);
        control->cells_outside.fetch_add(runs.outside);
    }
    const map_target target(map, part, groups);
    code = seasonOfCells(cells, runs, options->shade, threads, cache, control, target, refusal);
    if (code != TERRAIN_OK) return code;
    storeExtras(target, cells);
    map->cells_with_data += runs.with_data;
    map->cells_outside += runs.outside;
    return TERRAIN_OK;
}

}  // namespace

int computeMapPart(const dem_source *dem, const map_window &part, sun_cache *cache, map_control *control, land_map *map,
                   std::string *refusal, const std::int32_t *groups) {
    const land_grid &g = map->grid;
    if (part.x0 < 0 || part.y0 < 0 || part.width < 1 || part.height < 1 || part.x0 > dem->width - part.width ||
        part.y0 > dem->height - part.height || part.x0 < g.x0 || part.y0 < g.y0 ||
        part.x0 - g.x0 > g.width - part.width || part.y0 - g.y0 > g.height - part.height)
        return say(refusal, TERRAIN_BAD_OPTION, "the part lies outside the raster");
    sun_cache *own = cache == nullptr ? newSunCache(&map->options.season) : nullptr;
    int code;
    try {
        code = compute(dem, part, cache != nullptr ? cache : own, control, map, refusal, groups);
        if (code == TERRAIN_OK) anchorCells(map, part);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    freeSunCache(own);
    return code;
}
