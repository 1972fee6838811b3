// A land too large to map whole, without widgets: shown coarsely (read
// decimated, from its overviews where it has them, on the window's worker),
// an area of it chosen on that picture, and the area mapped at full
// resolution through the terrain core's window.
#ifndef VERANTA_LANDMAP_LANDMAPAREA_H
#define VERANTA_LANDMAP_LANDMAPAREA_H

#include "landmap/landmapRun.h"
#include "terrain/mapFigures.h"

#include <cairo.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// The coarse picture of a land: width × height samples over its
// dem_width × dem_height cells, each an elevation in metres or kMapNodata.
struct landmap_preview {
    int width = 0, height = 0;
    int dem_width = 0, dem_height = 0;
    double cell_width = 0.0, cell_height = 0.0;   // metres, of the land's cells at its middle row
    std::vector<float> elevation;
    float low = 0.0f, high = 0.0f;                 // of the samples with data
};

// Samples on the longer side of a preview at most.
constexpr int kLandmapPreviewSide = 600;

// Reading the coarse picture of a land opened as too large, on the worker.
// Taken, the land is usable and says it is shown coarsely and how to choose
// an area; a land none of whose samples has an elevation is refused.
struct landmap_preview_read {
    landmap_land land;
    double memory_bytes = 0.0;   // this computer's, for the area's limit
    std::shared_ptr<const landmap_preview> preview;   // null when refused
    std::atomic<bool> cancel{false};
};
void landmap_preview_work(landmap_preview_read *read);

// The sentence that asks the grower to choose an area, and how.
extern const char *const kLandmapChooseArea;

// The land's cells under the rectangle between two points of the preview
// (in its samples, any order), clipped to the land; width 0 when empty.
map_window landmap_area_of(const landmap_preview &p, double px0, double py0, double px1, double py1);
// Whether an area's map fits in half of memory_bytes (0: no limit); false
// with one sentence when not.
bool landmap_area_fits(const landmap_preview &p, const map_window &area, double memory_bytes, std::string *why);
// "300 × 200 cells, about 60.0 ha"
std::string landmap_area_said(const landmap_preview &p, const map_window &area);

// The picture in grey (low dark, high light) at frame, the chosen area
// outlined (width 0: none) and the rubber band being dragged (rubber[0] < 0:
// none), the sentence across its top.
void landmap_draw_preview(cairo_t *cr, const landmap_preview &p, const map_frame *frame, const map_window &area,
                          const double rubber[4], double width, double height);

// One computation of an area at full resolution.
struct landmap_area_run {
    std::string dem_path;
    map_options options;
    map_window area;
    long long started = 0;
    std::shared_ptr<const land_map> result;
    std::string refusal;
    map_control control;
};
void landmap_area_run_work(landmap_area_run *run);

#endif
