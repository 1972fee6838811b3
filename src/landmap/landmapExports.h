// The files the map window writes of a computed map, each whole or not at
// all through the safe writer: the GeoTIFF (the core's own writer, the file
// veranta-map writes for the same land and settings), the map as PNG, SVG or
// PDF with its caption, the area table and a cell's months as CSV. On
// failure false with *error set.
#ifndef VERANTA_LANDMAP_LANDMAPEXPORTS_H
#define VERANTA_LANDMAP_LANDMAPEXPORTS_H

#include "landmap/landmapDrawing.h"
#include "parcel/parcel.h"
#include "report/report.h"
#include "terrain/terrain.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

// The CSVs name the DEM by dem_name in every row.
bool landmap_export_areas(const land_map *map, float threshold, const std::string &dem_name, const char *path,
                          GError **error);
bool landmap_export_months(const land_map *map, int col, int row, const std::string &dem_name, const char *path,
                           GError **error);
// The map in memory as GeoTIFF; nothing is computed again. control->cancel
// stops it with no file left behind.
bool landmap_export_geotiff(const land_map *map, const char *path, map_control *control, GError **error);

// A GeoTIFF export as a window's job (a million-cell map's bands take
// seconds to compress): its data, and its work on the worker.
struct landmap_geotiff_export {
    std::shared_ptr<const land_map> map;
    std::string path;
    bool ok = false;
    std::string error;       // why not, when not ok
    map_control control;     // cancel stops it
};
void landmap_geotiff_work(gpointer data);

// A site report of the map as PDF, as a window's job: the map as computed
// (with its elevations and positions), the threshold the window shows, a
// parcel's blocks when one is open (their figures at that threshold and each
// cell's block, row by row), the elevation source as the DEM credits it, the
// desktop's paper.
struct landmap_report_export {
    std::shared_ptr<const land_map> map;
    std::string path;
    std::string dem_path;
    float threshold = 0.0f;
    std::shared_ptr<const parcel> outline;     // null: no parcel
    std::vector<block_figures> figures;
    std::vector<std::int32_t> cell_block;      // empty: the map's own block band
    report_paper paper = REPORT_A4;
    bool ok = false;
    std::string error;
};
// The desktop's paper, as GTK's printing takes it from the locale.
report_paper landmap_desktop_paper(void);
void landmap_report_work(gpointer data);

// The caption of a saved map: the land by its file's name (the example by
// what it is), the season and the shading.
std::string landmap_caption(const land_map &map, const std::string &land_path, const std::string &example);
// The scene's map whole, as drawn in the window, under a title, the caption
// and the answer in hectares, saved by the name's ending.
bool landmap_save_map(const landmap_scene *scene, const std::string &caption, const char *path, GError **error);
// The same with the answer given (a parcel's), and the elevation's credit
// (may be empty) under the map.
bool landmap_save_map_as(const landmap_scene *scene, const std::string &caption, const std::string &answer,
                         const std::string &credit, const char *path, GError **error);

#endif
