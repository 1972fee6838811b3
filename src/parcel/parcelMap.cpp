// A parcel's map: the blocks placed on the DEM, the map of their extent
// computed by the terrain core as any window is (so its cells are the whole
// run's), then the cells outside every block blanked and the block numbers
// added as a band; and the view the block figures take of a map.
#include "parcel/parcelMap.h"

#include "model/calibratedRegion.h"
#include "terrain/internals.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

// A name as it can stand in a band's description: on one line.
std::string oneLine(const std::string &name) {
    std::string s = name;
    for (char &c : s)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return s;
}

// A description GIS programs show in a list: the blocks named up to about
// this many characters, the rest counted.
const size_t kDescriptionNames = 400;

}  // namespace

parcel_grid demParcelGrid(const dem_source *dem) {
    parcel_grid g;
    std::copy_n(dem->transform, 6, g.transform);
    g.width = dem->width;
    g.height = dem->height;
    return g;
}

bool placeParcelOnDem(const parcel *p, const dem_source *dem, parcel_on_dem *out, std::string *refusal) {
    *out = parcel_on_dem{};
    const parcel_grid grid = demParcelGrid(dem);
    parcel_on_dem on;
    if (!placeParcel(p, &grid, &on.placement, refusal)) return false;
    const parcel_placement &pl = on.placement;
    on.extent = {pl.x0, pl.y0, pl.window.width, pl.window.height};
    if (!blockCells(p, &pl.window, &on.block_of_cell, refusal)) return false;
    *out = std::move(on);
    return true;
}

map_band blockNumberBand(const parcel *p) {
    std::string names;
    size_t named = 0;
    for (; named < p->blocks.size(); named++) {
        const std::string next = std::to_string(named + 1) + " " + oneLine(p->blocks[named].name);
        if (named > 0 && names.size() + next.size() > kDescriptionNames) break;
        names += (named > 0 ? ", " : "") + next;
    }
    const size_t left = p->blocks.size() - named;
    if (left > 0) names += " and " + std::to_string(left) + (left == 1 ? " block more" : " blocks more");
    return {map_quantity::block_number, 0, "block number (" + names + "; 0 outside every block)", ""};
}

bool applyBlocks(land_map *map, const parcel *p, const std::vector<std::int32_t> &blocks, std::string *refusal) {
    const size_t cells = static_cast<size_t>(map->grid.cells());
    if (blocks.size() != cells || map->elevation.size() < cells || map->latitude.size() < cells) {
        *refusal = "the blocks do not lie on this map's grid, or the map lacks its cells' elevations and positions";
        return false;
    }
    // The band goes where the layout puts it; those after it move up one.
    const int b = map->layout.addOptional(blockNumberBand(p));
    if (b < 0) {
        *refusal = "the map has a block band already";
        return false;
    }
    const size_t band = static_cast<size_t>(b);
    map->values.resize(static_cast<size_t>(map->layout.count()) * cells);
    std::copy_backward(map->values.begin() + static_cast<long>(band * cells),
                       map->values.end() - static_cast<long>(cells), map->values.end());
    float *numbers = map->values.data() + band * cells;
    for (size_t i = 0; i < cells; i++) numbers[i] = static_cast<float>(blocks[i]);

    // Outside every block: nodata, as a cell without elevation is.
    auto blank = [&](std::vector<float> &v, size_t i) {
        for (size_t k = 0; k * cells < v.size(); k++) v[k * cells + i] = kMapNodata;
    };
    const float *tilt = map->band(map_quantity::tilt);
    long with_data = 0;
    long outside = 0;
    for (size_t i = 0; i < cells; i++) {
        if (blocks[i] == 0) {
            for (int k = 0; k < map->layout.count(); k++)
                if (static_cast<size_t>(k) != band) map->values[static_cast<size_t>(k) * cells + i] = kMapNodata;
            blank(map->elevation, i);
            blank(map->horizons, i);
            blank(map->whole_edge_months, i);
        } else if (map->elevation[i] != kMapNodata) {
            // As the terrain core counts a cell outside the calibrated region.
            with_data++;
            if (!cellInCalibratedRegion(map->latitude[i], map->longitude[i], map->elevation[i], tilt[i])) outside++;
        }
    }
    map->cells_with_data = with_data;
    map->cells_outside = outside;
    map->grid.parcel_file = p->file_name;
    return true;
}

int computeParcelMap(const dem_source *dem, const map_options *options, const parcel *p, const parcel_on_dem *on,
                     const map_extent *tile, const map_wants *wants, map_control *control, land_map *map,
                     std::string *refusal) {
    *map = land_map{};
    const map_window &e = on->extent;
    if (e.width < 1 || e.height < 1 ||
        on->block_of_cell.size() != static_cast<size_t>(e.width) * static_cast<size_t>(e.height))
        return say(refusal, TERRAIN_BAD_OPTION, "the parcel has not been placed on this DEM");
    map_extent extent = tile != nullptr ? *tile : map_extent{};
    extent.within = e;
    map_window w;
    int code = extentWindow(dem, &extent, &w, refusal);
    if (code != TERRAIN_OK) return code;
    std::vector<std::int32_t> blocks;
    try {
        // The blocks of the run's own cells (a tile's, or the whole extent's).
        const size_t cells = static_cast<size_t>(w.width) * static_cast<size_t>(w.height);
        const size_t width = static_cast<size_t>(w.width);
        blocks.resize(cells);
        for (size_t i = 0; i < cells; i++) {
            const size_t r = i / width + static_cast<size_t>(w.y0 - e.y0);
            const size_t c = i % width + static_cast<size_t>(w.x0 - e.x0);
            blocks[i] = on->block_of_cell[r * static_cast<size_t>(e.width) + c];
        }
    } catch (const std::bad_alloc &) {
        return say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    map_wants keep = wants != nullptr ? *wants : map_wants{};
    keep.elevations = keep.positions = keep.whole_edge_months = true;
    // With a target, each block's running degree days, for the day its mean reaches it.
    keep.groups = blocks.data();
    keep.group_count = static_cast<int>(p->blocks.size());
    code = computeMap(dem, options, &w, &keep, control, map, refusal);
    if (code != TERRAIN_OK) return code;

    try {
        const long with_data = map->cells_with_data, outside = map->cells_outside;
        if (!applyBlocks(map, p, blocks, refusal)) return TERRAIN_FAILED;
        if (control != nullptr) {
            control->cells_with_data.fetch_sub(with_data - map->cells_with_data);
            control->cells_outside.fetch_sub(outside - map->cells_outside);
        }
        map->grid.run_x0 = e.x0;
        map->grid.run_y0 = e.y0;
        map->grid.run_width = e.width;
        map->grid.run_height = e.height;
    } catch (const std::bad_alloc &) {
        *map = land_map{};
        return say(refusal, TERRAIN_FAILED, "there is not enough memory for it");
    }
    return TERRAIN_OK;
}

bool blockNumbersOf(const land_map *map, std::vector<std::int32_t> *blocks, std::string *refusal) {
    blocks->clear();
    const float *numbers = map->band(map_quantity::block_number);
    if (numbers == nullptr) return refuse(refusal, "the map has no block numbers");
    blocks->resize(static_cast<size_t>(map->grid.cells()));
    for (size_t i = 0; i < blocks->size(); i++) (*blocks)[i] = static_cast<std::int32_t>(numbers[i]);
    return true;
}

bool blockMapOf(const land_map *map, const std::int32_t *block_of_cell, block_map *out, std::string *refusal) {
    *out = block_map{};
    const size_t cells = static_cast<size_t>(map->grid.cells());
    if (block_of_cell == nullptr || cells == 0 || map->latitude.size() != cells || map->elevation.size() != cells ||
        map->band(map_quantity::degree_days) == nullptr)
        return refuse(refusal, "the map lacks what the block figures need (positions, elevations, the season)");
    block_map &m = *out;
    m.width = map->grid.width;
    m.height = map->grid.height;
    m.block_of_cell = block_of_cell;
    m.season_gdd = map->band(map_quantity::degree_days);
    m.season_irradiation = map->band(map_quantity::irradiation);
    m.shadow_minutes = map->band(map_quantity::shadow_minutes);
    m.season = map->options.season;
    for (int k = 0; k < 12; k++) {
        m.month_irradiation[k] = map->band(map_quantity::irradiation, k + 1);
        m.month_gdd[k] = map->band(map_quantity::degree_days, k + 1);
    }
    if (map->whole_edge_months.size() == 2 * cells) {
        m.whole_first_month = map->whole_edge_months.data();
        m.whole_last_month = map->whole_edge_months.data() + cells;
    }
    m.row_area = map->grid.row_area.data();
    m.latitude = map->latitude.data();
    m.longitude = map->longitude.data();
    m.elevation = map->elevation.data();
    m.tilt = map->band(map_quantity::tilt);
    m.target_day = map->band(map_quantity::target_day);
    m.target = m.target_day != nullptr ? map->options.target : 0.0;
    if (m.target_day != nullptr && map->group_days.groups() > 0) m.block_running = &map->group_days;
    m.nodata = kMapNodata;
    return true;
}
