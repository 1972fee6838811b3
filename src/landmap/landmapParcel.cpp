// A parcel on the map window's land: read and placed on the worker, its
// blocks' window computed by the terrain core, the cells outside every block
// taken out so that each figure the window shows is the parcel's.
#include "landmap/landmapParcel.h"

#include "landmap/landmapRun.h"
#include "parcel/parcelMap.h"
#include "model/calibratedRegion.h"
#include "terrain/mapFigures.h"
#include "terrain/mapTexts.h"

#include <glib.h>
#include <cpl_conv.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

// What the window reads besides the bands, as for a whole land.
map_wants parcelWants() {
    map_wants wants;
    wants.elevations = wants.positions = wants.whole_edge_months = true;
    return wants;
}

std::string lower(const std::string &s) {
    gchar *l = g_ascii_strdown(s.c_str(), -1);
    std::string out = l;
    g_free(l);
    return out;
}

bool sameSettings(const map_options &a, const map_options &b) {
    return a.season.year == b.season.year && a.season.start_day == b.season.start_day &&
           a.season.start_month == b.season.start_month && a.season.stop_day == b.season.stop_day &&
           a.season.stop_month == b.season.stop_month && a.shade == b.shade &&
           (!a.shade || (a.directions == b.directions && a.distance == b.distance));
}

// A parcel map and the files it was computed from, as they were then.
struct remembered {
    std::string dem_path, parcel_path;
    long long dem_size, dem_modified, parcel_size, parcel_modified;
    std::shared_ptr<const landmap_parcel_map> map;
};

std::deque<remembered> &kept() {
    static std::deque<remembered> maps;
    return maps;
}

// Every band of the map and its elevations, with the cells outside every
// block made cells without data.
std::string wgs84Wkt() {
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, 4326);
    char *wkt = nullptr;
    OSRExportToWkt(srs, &wkt);
    std::string s = wkt != nullptr ? wkt : "";
    CPLFree(wkt);
    OSRDestroySpatialReference(srs);
    return s;
}

void boxOf(const parcel &p, double box[4]) {
    box[0] = box[1] = INFINITY;
    box[2] = box[3] = -INFINITY;
    for (const parcel_block &b : p.blocks)
        for (const parcel_polygon &poly : b.polygons)
            for (const parcel_ring &ring : poly.rings)
                for (const parcel_point &pt : ring) {
                    box[0] = std::min(box[0], pt.x), box[2] = std::max(box[2], pt.x);
                    box[1] = std::min(box[1], pt.y), box[3] = std::max(box[3], pt.y);
                }
}

}  // namespace

std::vector<std::string> landmap_parcel_endings(void) { return {"kml", "kmz", "geojson", "json", "shp", "zip", "gpkg"}; }

bool landmap_parcel_file(const std::string &path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ending = lower(path.substr(dot + 1));
    for (const std::string &e : landmap_parcel_endings())
        if (e == ending) return true;
    return false;
}

void landmap_parcel_read_work(landmap_parcel_read *read) {
    auto p = std::make_shared<landmap_parcel>();
    p->path = read->path;
    p->name = landmap_land_name(read->path);
    p->dem_path = read->dem_path;
    landmap_file_stamp(read->path, &p->file_size, &p->file_modified);
    dem_source dem;
    std::string why;
    const std::string wgs84 = wgs84Wkt();
    // Its box in WGS 84 first: what fetching its elevation needs.
    parcel lonlat;
    bool ok = readParcel(read->path, wgs84, &lonlat, &why);
    if (ok) boxOf(lonlat, p->box);
    if (ok && read->dem_path.empty()) p->blocks = std::move(lonlat);
    if (ok && !read->dem_path.empty()) ok = openDem(read->dem_path, 0, &dem, &why) == TERRAIN_OK;
    if (ok && !read->dem_path.empty()) ok = readParcel(read->path, dem.crs_wkt, &p->blocks, &why);
    if (ok && !read->dem_path.empty()) {
        parcel_grid grid;
        std::copy(dem.transform, dem.transform + 6, grid.transform);
        grid.width = dem.width;
        grid.height = dem.height;
        ok = placeParcel(&p->blocks, &grid, &p->placement, &why);
    }
    closeDem(&dem);
    if (!ok) {
        if (!why.empty() && why.back() != '.') why += ".";
        read->refusal = p->name + " cannot be used: " + why;
        return;
    }
    read->result = std::move(p);
}

std::string landmap_parcel_said(const landmap_parcel &p) {
    std::string said = p.name + ": " + std::to_string(p.blocks.blocks.size()) +
                        (p.blocks.blocks.size() == 1 ? " block (" : " blocks (");
    for (size_t k = 0; k < p.blocks.blocks.size() && k < 6; k++)
        said += (k > 0 ? ", " : "") + p.blocks.blocks[k].name;
    said += p.blocks.blocks.size() > 6 ? ", …)" : ")";
    said += "\nOnly the blocks' cells are computed and counted; a cell counts when its centre lies inside a block.";
    for (const std::string &note : p.blocks.notes) said += "\n" + note;
    for (const std::string &note : p.placement.notes) said += "\n" + note;
    if (p.dem_path.empty()) said += "\nOpen the elevation model of its land, or Get elevation… fetches one for it.";
    return said;
}

map_window landmap_parcel_read_window(const dem_source *dem, const map_options *options, const map_window *window) {
    if (!options->shade) return *window;
    // As the terrain core reads around a part: the distance in cells of the
    // middle row's size, two more for the horizon lines' samples.
    dem_description d{};
    std::string why;
    if (describeDem(dem, &d, &why) != TERRAIN_OK) return *window;
    const double w = d.cell_width, h = d.cell_height;
    const long hx = static_cast<long>(std::min(1.0e6, std::ceil(options->distance / w))) + 2;
    const long hy = static_cast<long>(std::min(1.0e6, std::ceil(options->distance / h))) + 2;
    const long x0 = std::max(0L, window->x0 - hx), y0 = std::max(0L, window->y0 - hy);
    const long x1 = std::min<long>(dem->width, window->x0 + static_cast<long>(window->width) + hx);
    const long y1 = std::min<long>(dem->height, window->y0 + static_cast<long>(window->height) + hy);
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

bool landmap_parcel_mask(const land_map &computed, const std::shared_ptr<const landmap_parcel> &p,
                         landmap_parcel_map *out, std::string *refusal) {
    const parcel_placement &pl = p->placement;
    if (computed.grid.x0 != pl.x0 || computed.grid.y0 != pl.y0 || computed.grid.width != pl.window.width ||
        computed.grid.height != pl.window.height) {
        *refusal = "the map does not cover the parcel's blocks.";
        return false;
    }
    parcel_grid grid;
    std::copy(computed.grid.transform, computed.grid.transform + 6, grid.transform);
    grid.width = computed.grid.width;
    grid.height = computed.grid.height;
    std::vector<std::int32_t> blocks;
    if (!blockCells(&p->blocks, &grid, &blocks, refusal)) return false;
    // The parcel's map as veranta-map's: its block band, nothing outside
    // the blocks, the counts of their cells alone.
    auto m = std::make_shared<land_map>(computed);
    if (!applyBlocks(m.get(), &p->blocks, blocks, refusal)) return false;
    out->parcel = p;
    out->map = std::move(m);
    out->block_of_cell = std::move(blocks);
    return true;
}

block_map landmap_block_map(const landmap_parcel_map &m) {
    const land_map &map = *m.map;
    block_map b;
    b.width = map.grid.width;
    b.height = map.grid.height;
    b.block_of_cell = m.block_of_cell.data();
    b.season_gdd = map.band(map_quantity::degree_days);
    b.season_irradiation = map.band(map_quantity::irradiation);
    b.shadow_minutes = map.band(map_quantity::shadow_minutes);
    b.season = map.options.season;
    for (int month = 1; month <= 12; month++) {
        b.month_irradiation[month - 1] = map.band(map_quantity::irradiation, month);
        b.month_gdd[month - 1] = map.band(map_quantity::degree_days, month);
    }
    const long cells = map.grid.cells();
    if (map.whole_edge_months.size() >= 2 * static_cast<size_t>(cells)) {
        b.whole_first_month = map.whole_edge_months.data();
        b.whole_last_month = map.whole_edge_months.data() + cells;
    }
    b.row_area = map.grid.row_area.data();
    b.latitude = map.latitude.empty() ? nullptr : map.latitude.data();
    b.longitude = map.longitude.empty() ? nullptr : map.longitude.data();
    b.elevation = map.elevation.empty() ? nullptr : map.elevation.data();
    b.tilt = map.band(map_quantity::tilt);
    // The target's days when the map was computed with one, as veranta-map
    // hands them to the block figures.
    b.target_day = map.band(map_quantity::target_day);
    b.target = b.target_day != nullptr ? map.options.target : 0.0;
    b.nodata = kMapNodata;
    return b;
}

int landmap_parcel_block_at(const landmap_parcel_map &m, int col, int row) {
    const land_grid &g = m.map->grid;
    if (col < 0 || row < 0 || col >= g.width || row >= g.height) return 0;
    return m.block_of_cell[static_cast<size_t>(row) * g.width + col];
}

std::string landmap_parcel_spot(const landmap_parcel_map &m, int col, int row) {
    const int block = landmap_parcel_block_at(m, col, row);
    if (col < 0) return spotText(m.map.get(), -1, -1);
    if (block == 0)
        return "cell " + std::to_string(col) + ", " + std::to_string(row) +
               "\noutside every block of the parcel: not computed";
    return m.parcel->blocks.blocks[static_cast<size_t>(block - 1)].name + " · " + spotText(m.map.get(), col, row);
}

int landmap_compute_window(const std::string &dem_path, const map_options *options, const map_window *window,
                           map_control *control, land_map *map, std::string *refusal) {
    dem_source dem;
    int status = openDem(dem_path, 0, &dem, refusal);
    // Only what the run reads is checked, so a land of any size is fine.
    elevation_check check;
    if (status == TERRAIN_OK) {
        const map_window read = landmap_parcel_read_window(&dem, options, window);
        status = checkElevations(&dem, &read, &control->cancel, &check, refusal);
    }
    if (status == TERRAIN_OK) {
        const map_wants wants = parcelWants();
        status = computeMap(&dem, options, window, &wants, control, map, refusal);
    }
    closeDem(&dem);
    return status;
}

void landmap_parcel_run_work(landmap_parcel_run *run) {
    landmap_file_stamp(run->dem_path, &run->file_size, &run->file_modified);
    const parcel_placement &pl = run->parcel->placement;
    const map_window window{pl.x0, pl.y0, pl.window.width, pl.window.height};
    land_map computed;
    if (landmap_compute_window(run->dem_path, &run->options, &window, &run->control, &computed, &run->refusal) !=
        TERRAIN_OK)
        return;
    auto result = std::make_shared<landmap_parcel_map>();
    if (landmap_parcel_mask(computed, run->parcel, result.get(), &run->refusal)) run->result = std::move(result);
}

std::shared_ptr<const landmap_parcel_map> landmap_parcel_remembered(const std::string &dem_path,
                                                                    const std::string &parcel_path,
                                                                    const map_options *options) {
    long long ds = 0, dm = 0, ps = 0, pm = 0;
    if (!landmap_file_stamp(dem_path, &ds, &dm) || !landmap_file_stamp(parcel_path, &ps, &pm)) return nullptr;
    for (const remembered &r : kept())
        if (r.dem_path == dem_path && r.parcel_path == parcel_path && r.dem_size == ds && r.dem_modified == dm &&
            r.parcel_size == ps && r.parcel_modified == pm && sameSettings(r.map->map->options, *options))
            return r.map;
    return nullptr;
}

void landmap_parcel_remember(const landmap_parcel_run *run) {
    if (run->result == nullptr) return;
    auto &maps = kept();
    maps.push_front({run->dem_path, run->parcel->path, run->file_size, run->file_modified, run->parcel->file_size,
                     run->parcel->file_modified, run->result});
    while (maps.size() > static_cast<size_t>(kLandmapRemembered)) maps.pop_back();
}
