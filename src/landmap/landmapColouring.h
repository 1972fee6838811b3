// What the map window shows of a map besides its degree days and
// irradiation: each cell's Winkler region and the date it reaches a
// degree-day target, as colourings of the map (their image and legend), the
// region hectares under the answer, the bounds between the regions as
// threshold presets, and the target's date in the readout of a cell.
#ifndef VERANTA_LANDMAP_LANDMAPCOLOURING_H
#define VERANTA_LANDMAP_LANDMAPCOLOURING_H

#include "landmap/landmapDrawing.h"

#include <gtk/gtk.h>

#include <string>

// The colour of a Winkler region (WINKLER_TOO_COOL .. WINKLER_TOO_HOT):
// cool blues to hot reds, each told apart by its hue. No channel passes 0.8,
// so the hillshade's light (up to 1.25 times) never clips one.
void landmap_region_colour(int region, double *r, double *g, double *b);
// The date colouring: share 0 for the earliest day of the map, 1 for the
// latest (the earliest warm, the latest cool), and the one colour of the
// cells that do not reach the target.
void landmap_date_colour(double share, double *r, double *g, double *b);
extern const double kLandmapNotReached[3];

// The days of the year (1 = 1 January) the map's cells reach its target:
// the earliest and latest, 0 and 0 when none does, and whether a cell with
// data does not. False for a map without a target.
struct landmap_day_span {
    int first, last;
    bool some_not_reached;
};
bool landmap_target_span(const land_map &map, landmap_day_span *span);

// Why a map cannot be coloured by region or by date (by is LANDMAP_BY_REGION
// or LANDMAP_BY_TARGET_DATE): the season is not 1 April to 31 October, or
// the map was computed without a target. Empty when it can; map null: a map
// to come, which can.
std::string landmap_colouring_refusal(const land_map *map, landmap_colour_by by);

// Offers the region and date colourings' radio buttons where the map shown
// (null: none yet) allows them, each tooltip saying what it shows or why
// not; a button made insensitive while chosen hands over to fallback.
void landmap_colourings_offer(GtkWidget *by_region, GtkWidget *by_date, GtkWidget *fallback, const land_map *map);

// The image of the map coloured by region or by date over the same
// hillshade as the degree days, cells below the threshold (degree days)
// pale, cells without data clear.
void landmap_colouring_render(landmap_image *image, const land_map *map, landmap_colour_by by, float threshold);
// The legend of those colourings, where the degree days' legend stands: the
// regions with their bounds, or the dates with the not-reached colour.
void landmap_colouring_legend(cairo_t *cr, const landmap_scene *scene);

// The land's hectares per Winkler region, those it has:
// "Winkler regions: Ib 12.3, II 200.1 ha."; empty for another season.
// Its tooltip: the source and what the regions leave out.
std::string landmap_region_hectares_text(const land_map &map);
std::string landmap_region_tooltip(void);

// The readout of a cell (spotText), with the date the cell reaches the
// map's target when it has one.
std::string landmap_readout_text(const land_map *map, int col, int row);

// Fills a menu button's menu with the bounds between the Winkler regions
// ("1111: Ib begins"); choosing one calls chosen with it.
void landmap_presets_attach(GtkWidget *menu_button, void (*chosen)(gpointer data, float threshold), gpointer data);

#endif
