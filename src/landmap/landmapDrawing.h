// Drawing a computed map for the window and its saved copies: the image of
// the cells (colour by degree days or irradiation over a hillshade, cells
// below the threshold faded), one frame of it with legend, north arrow and
// scale bar, and the histogram of the land's area by degree days. All of it
// with cairo, from the core's land_map as it was computed.
#ifndef VERANTA_LANDMAP_LANDMAPDRAWING_H
#define VERANTA_LANDMAP_LANDMAPDRAWING_H

#include "terrain/mapFigures.h"

#include <gtk/gtk.h>

#include <functional>

// The image of the map that frames are drawn from: nodata transparent; one
// pixel a cell, and the same scaled once per zoom. Zero at first.
struct landmap_image {
    cairo_surface_t *base = nullptr;     // one pixel a cell
    cairo_surface_t *scaled = nullptr;   // base at scaled_at pixels a cell, when smaller than it
    double scaled_at = 0.0;
};
// Makes the image a pixel a cell: each cell with data in colour(cell, rgb)
// (0 to 1), lit by the hillshade; short of threshold (degree days) in the
// terrain's grey with a trace of it; a cell without data clear.
void landmap_image_paint(landmap_image *image, const land_map *map, float threshold,
                         const std::function<void(long cell, double rgb[3])> &colour);
// Makes the image again; range is that of the band coloured (irradiation or
// degree days), threshold in degree days.
void landmap_image_render(landmap_image *image, const land_map *map, const value_range *range, bool by_irradiation,
                          float threshold);
void landmap_image_free(landmap_image *image);

// What the cells are coloured by: their degree days or irradiation (as
// by_irradiation says), their Winkler region, or the date they reach the
// map's target (landmapColouring.h).
enum landmap_colour_by { LANDMAP_BY_VALUE, LANDMAP_BY_REGION, LANDMAP_BY_TARGET_DATE };

// The light of a cell of this tilt and aspect (degrees; aspect negative for
// flat ground) from a sun in the north-west, 0 to 1.
double landmap_hillshade(float tilt, float aspect);

// What one frame of the map shows.
struct landmap_scene {
    const land_map *map;              // null before a map is computed
    landmap_image *image;
    map_frame frame;
    bool by_irradiation;
    value_range range;                // of the band coloured, for the legend
    float threshold;                  // degree days
    int selected_col, selected_row;   // -1 when no cell is selected
    int site_col, site_row;           // the stored site, -1 when outside the land
    landmap_colour_by colour_by;      // LANDMAP_BY_VALUE unless set
};
// The ink of the map's keys (legend, north arrow, scale bar), an opaque
// pixel of the map's image from a colour (each part 0 to 1), and the pale
// panel a key stands on.
constexpr double kLandmapInk[3] = {0.10, 0.16, 0.14};
guint32 landmap_pixel(double r, double g, double b);
void landmap_draw_panel(cairo_t *cr, double x, double y, double w, double h);
// The width of the strip down the left of the map's area that holds the
// legend, the north arrow and the scale bar, so that none covers the land.
constexpr double kLandmapKeyStrip = 146.0;
// The whole land as large as fits the area beside that strip (the whole
// area when too narrow for both).
map_frame landmap_fit(int cols, int rows, double width, double height);
// The map with its legend, north arrow and scale bar in a width × height
// area, the three in the strip on its left; a hint to compute when there is
// no map yet.
void landmap_draw_map(cairo_t *cr, const landmap_scene *scene, double width, double height);
// The land's area by degree-day class (gdd the range of its degree days),
// the threshold marked; a hint when map is null.
void landmap_draw_histogram(cairo_t *cr, const land_map *map, const value_range *gdd, float threshold, double width,
                            double height);

#endif
