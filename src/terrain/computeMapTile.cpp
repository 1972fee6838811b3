// One part of the map: the DEM around it, tilt and aspect, latitude and
// longitude, horizons, then every cell's season under its block's sun. The
// cells are grouped by block and shared out over threads in runs of one
// block, a batch of at most kMapSuns blocks at a time, the suns kept between
// parts included (sun_cache), so that coarse cells spanning many blocks do
// not hold every block's sun at once.
#include "terrain/mapParts.h"
#include "terrain/sunCache.h"

#include "model/runOnThreads.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>

namespace {

// Cells per call of seasonCells, which has a fixed cost of its own per call.
const int kRun = 4096;

struct cell_key {
    float latitude;
    float longitude;
    int cell;
};

bool sameBlock(const cell_key &a, const cell_key &b) {
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

int say(std::string *refusal, int code, const char *text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

int compute(const dem_source *dem, const map_options *options, int x0, int y0, int w, int h, bool want_horizons,
            sun_cache *cache, map_control *control, map_tile *tile, std::string *refusal) {
    const int threads = options->threads > 0 ? options->threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const bool horizons = options->shade || want_horizons;
    auto cancelled = [&] { return control != nullptr && control->cancel.load(std::memory_order_relaxed); };

    // The window: the part, the search distance around it (one cell for
    // Horn's neighbours) and two cells more for the horizon lines' samples.
    double spacing_x = 0.0;
    double spacing_y = 0.0;
    cellSize(dem, dem->height / 2, &spacing_x, &spacing_y);
    const int hx = horizons ? static_cast<int>(std::min(1.0e6, std::ceil(options->distance / spacing_x))) + 2 : 1;
    const int hy = horizons ? static_cast<int>(std::min(1.0e6, std::ceil(options->distance / spacing_y))) + 2 : 1;
    const int wx0 = std::max(0, x0 - hx);
    const int wy0 = std::max(0, y0 - hy);
    const int wx1 = static_cast<int>(std::min<long>(dem->width, static_cast<long>(x0) + w + hx));
    const int wy1 = static_cast<int>(std::min<long>(dem->height, static_cast<long>(y0) + h + hy));
    const int ww = wx1 - wx0;
    const int wh = wy1 - wy0;
    std::vector<float> z(static_cast<size_t>(ww) * static_cast<size_t>(wh));
    int code = readDemWindow(dem, wx0, wy0, ww, wh, z.data(), refusal);
    if (code != TERRAIN_OK) return code;

    const size_t cells = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<double> cw(static_cast<size_t>(wh));
    std::vector<double> ch(static_cast<size_t>(wh));
    for (int r = 0; r < wh; r++) cellSize(dem, wy0 + r, &cw[static_cast<size_t>(r)], &ch[static_cast<size_t>(r)]);
    std::vector<float> tilt(cells);
    std::vector<float> aspect(cells);
    hornSlope(z.data(), ww, wh, cw.data(), ch.data(), x0 - wx0, y0 - wy0, w, h, tilt.data(), aspect.data());

    std::vector<double> latitude(cells);
    std::vector<double> longitude(cells);
    code = cellLatLon(dem, x0, y0, w, h, latitude.data(), longitude.data(), refusal);
    if (code != TERRAIN_OK) return code;

    std::vector<float> angles;
    if (horizons) {
        angles.resize(cells * static_cast<size_t>(options->directions));
        const horizon_grid grid = {z.data(), ww, wh, wx0, wy0, spacing_x, spacing_y};
        code = terrainHorizons(&grid, options->directions, options->distance, x0 - wx0, y0 - wy0, w, h, angles.data(),
                               threads, control);
        if (code != TERRAIN_OK) return code;
    }

    auto elevation = [&](size_t i) {
        const size_t r = i / static_cast<size_t>(w) + static_cast<size_t>(y0 - wy0);
        const size_t c = i % static_cast<size_t>(w) + static_cast<size_t>(x0 - wx0);
        return z[r * static_cast<size_t>(ww) + c];
    };
    std::vector<cell_key> keys;
    keys.reserve(cells);
    tile->cells = 0;
    tile->cells_outside = 0;
    for (size_t i = 0; i < cells; i++) {
        const float e = elevation(i);
        if (std::isnan(e)) continue;
        cell_key k;
        blockPoint(latitude[i], longitude[i], &k.latitude, &k.longitude);
        k.cell = static_cast<int>(i);
        keys.push_back(k);
        tile->cells++;
        if (!cellInRegion(latitude[i], longitude[i], e, tilt[i])) tile->cells_outside++;
    }
    if (control != nullptr) {
        control->cells_done.fetch_add(static_cast<long>(cells) - tile->cells);
        control->cells_with_data.fetch_add(tile->cells);
        control->cells_outside.fetch_add(tile->cells_outside);
    }
    std::sort(keys.begin(), keys.end(), [](const cell_key &a, const cell_key &b) {
        if (a.latitude != b.latitude) return a.latitude < b.latitude;
        if (a.longitude != b.longitude) return a.longitude < b.longitude;
        return a.cell < b.cell;
    });

    // The distinct blocks, and runs of at most kRun cells of one block.
    std::vector<std::pair<float, float>> points;
    std::vector<size_t> runs;     // first key of each run
    std::vector<size_t> run_block;
    for (size_t i = 0; i < keys.size(); i++) {
        const bool new_block = i == 0 || !sameBlock(keys[i], keys[i - 1]);
        if (new_block) points.push_back({keys[i].latitude, keys[i].longitude});
        if (new_block || i - runs.back() == static_cast<size_t>(kRun)) {
            runs.push_back(i);
            run_block.push_back(points.size() - 1);
        }
    }
    runs.push_back(keys.size());

    const int nb = mapBandCount(&options->season);
    tile->x0 = x0;
    tile->y0 = y0;
    tile->width = w;
    tile->height = h;
    tile->bands = nb;
    tile->values.assign(static_cast<size_t>(nb) * cells, kMapNodata);
    tile->whole_edge_months.assign(2 * cells, kMapNodata);
    const int directions = options->directions;
    std::vector<const sun_block *> blocks;
    size_t first_block = 0;
    size_t run_end = 0;
    std::atomic<size_t> next{0};
    std::atomic<int> failed{0};
    auto worker = [&] {
        std::vector<float> elev(kRun);
        std::vector<slope> slopes(kRun);
        std::vector<float> horizon(horizons ? static_cast<size_t>(kRun) * directions : 0);
        std::vector<cell_season> results(kRun);
        for (;;) {
            const size_t r = next.fetch_add(1);
            if (r >= run_end || failed.load() != 0) return;
            if (cancelled()) {
                failed.store(SWEEP_CANCELLED);
                return;
            }
            const size_t first = runs[r];
            const int n = static_cast<int>(runs[r + 1] - first);
            for (int j = 0; j < n; j++) {
                const size_t i = static_cast<size_t>(keys[first + static_cast<size_t>(j)].cell);
                elev[static_cast<size_t>(j)] = elevation(i);
                slopes[static_cast<size_t>(j)] = {aspect[i], tilt[i]};
                if (horizons)
                    std::memcpy(&horizon[static_cast<size_t>(j) * directions], &angles[i * directions],
                                sizeof(float) * static_cast<size_t>(directions));
            }
            const cell_horizons ch = {directions, horizon.data()};
            const int c = seasonCells(blocks[run_block[r] - first_block], n, elev.data(), slopes.data(), options->shade ? &ch : nullptr,
                                      results.data(), nullptr);
            if (c != 0) {
                failed.store(c);
                return;
            }
            for (int j = 0; j < n; j++) {
                const size_t i = static_cast<size_t>(keys[first + static_cast<size_t>(j)].cell);
                const cell_season &s = results[static_cast<size_t>(j)];
                float *v = tile->values.data();
                v[0 * cells + i] = s.season_degree_days;
                v[1 * cells + i] = s.season_irradiation;
                v[2 * cells + i] = tilt[i];
                v[3 * cells + i] = aspect[i];
                v[4 * cells + i] = s.shadow_minutes;
                for (int m = options->season.start_month; m <= options->season.stop_month; m++) {
                    const size_t b = kMapFixedBands + 2 * static_cast<size_t>(m - options->season.start_month);
                    v[b * cells + i] = s.month_irradiation[m - 1];
                    v[(b + 1) * cells + i] = s.month_degree_days[m - 1];
                }
                tile->whole_edge_months[i] = s.month_whole_irradiation[options->season.start_month - 1];
                tile->whole_edge_months[cells + i] = s.month_whole_irradiation[options->season.stop_month - 1];
            }
            if (control != nullptr) control->cells_done.fetch_add(n);
        }
    };
    for (size_t r = 0; r + 1 < runs.size() && failed.load() == 0;) {
        first_block = run_block[r];
        const size_t last_block = std::min(points.size(), first_block + kMapSuns);
        const std::vector<std::pair<float, float>> batch(points.begin() + static_cast<long>(first_block),
                                                         points.begin() + static_cast<long>(last_block));
        code = placeSunBlocks(cache, batch, kMapSuns, threads, control, &blocks);
        if (code == SWEEP_CANCELLED) return say(refusal, TERRAIN_CANCELLED, "cancelled");
        if (code != 0) return say(refusal, TERRAIN_FAILED, "the sun cannot be placed over this land");
        run_end = r;
        while (run_end + 1 < runs.size() && run_block[run_end] < last_block) run_end++;
        next.store(r);
        runOnThreads(threads, worker);
        r = run_end;
    }
    if (failed.load() == SWEEP_CANCELLED || cancelled()) return say(refusal, TERRAIN_CANCELLED, "cancelled");
    if (failed.load() != 0) return say(refusal, TERRAIN_FAILED, "the season cannot be computed for some cells of this land");

    tile->directions = 0;
    tile->horizons.clear();
    if (want_horizons) {
        tile->directions = directions;
        tile->horizons.assign(static_cast<size_t>(directions) * cells, kMapNodata);
        for (size_t i = 0; i < cells; i++) {
            if (std::isnan(elevation(i))) continue;
            for (int k = 0; k < directions; k++)
                tile->horizons[static_cast<size_t>(k) * cells + i] = angles[i * directions + static_cast<size_t>(k)];
        }
    }
    return TERRAIN_OK;
}

}  // namespace

int computeMapTile(const dem_source *dem, const map_options *options, int x0, int y0, int w, int h, bool horizons,
                   sun_cache *cache, map_control *control, map_tile *tile, std::string *refusal) {
    if (x0 < 0 || y0 < 0 || w < 1 || h < 1 || x0 > dem->width - w || y0 > dem->height - h)
        return say(refusal, TERRAIN_BAD_OPTION, "the part lies outside the raster");
    int code = checkMapOptions(options, refusal);
    if (code != TERRAIN_OK) return code;
    sun_cache *own = cache == nullptr ? newSunCache(&options->season) : nullptr;
    try {
        code = compute(dem, options, x0, y0, w, h, horizons, cache != nullptr ? cache : own, control, tile, refusal);
    } catch (const std::bad_alloc &) {
        code = say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    freeSunCache(own);
    return code;
}
