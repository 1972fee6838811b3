// The map coloured by Winkler region or by the date a target is reached: a
// discrete colour per region, a sequential scale of dates with one colour
// for cells that never reach the target, both lit by the same hillshade as
// the degree days and paled below the threshold alike, so that switching the
// colouring changes only what the colours say. And what goes with them:
// their legends, the hectares per region, the presets and the readout's date.
#include "landmap/landmapColouring.h"

#include "model/degreeDayTarget.h"
#include "model/winklerRegions.h"
#include "terrain/mapTexts.h"
#include "ui/chartText.h"
#include "ui/entries.h"
#include "ui/slopeFigures.h"

#include <algorithm>
#include <cmath>

// The target entry takes what a map takes.
static_assert(kTargetEntryMax == kMaxTarget, "a window's target and a map's differ in their largest");

const double kLandmapNotReached[3] = {0.40, 0.16, 0.48};

void landmap_region_colour(int region, double *r, double *g, double *b) {
    static const double colours[WINKLER_REGIONS][3] = {
        {0.22, 0.26, 0.70},   // too cool
        {0.18, 0.52, 0.78},   // Ia
        {0.16, 0.62, 0.50},   // Ib
        {0.52, 0.74, 0.22},   // II
        {0.80, 0.74, 0.16},   // III
        {0.80, 0.48, 0.12},   // IV
        {0.74, 0.16, 0.12},   // V
        {0.50, 0.08, 0.30},   // too hot
    };
    const int k = std::clamp(region, 0, WINKLER_REGIONS - 1);
    *r = colours[k][0];
    *g = colours[k][1];
    *b = colours[k][2];
}

// The earliest dates warm, the latest cool, as the degree days' scale runs.
void landmap_date_colour(double share, double *r, double *g, double *b) { scaleColour(1.0 - share, r, g, b); }

bool landmap_target_span(const land_map &map, landmap_day_span *span) {
    const float *days = map.band(map_quantity::target_day);
    if (days == nullptr) return false;
    *span = {0, 0, false};
    const long cells = map.grid.cells();
    for (long i = 0; i < cells; i++) {
        if (!map.hasData(i)) continue;
        const int day = static_cast<int>(days[i]);
        if (day <= 0) {
            span->some_not_reached = true;
            continue;
        }
        if (span->first == 0 || day < span->first) span->first = day;
        span->last = std::max(span->last, day);
    }
    return true;
}

std::string landmap_colouring_refusal(const land_map *map, landmap_colour_by by) {
    if (map == nullptr) return "";
    if (by == LANDMAP_BY_REGION && !winklerSeason(map->options.season)) return winklerOffSeasonText(map->options.season);
    if (by == LANDMAP_BY_TARGET_DATE && map->band(map_quantity::target_day) == nullptr)
        return "This map was computed without a degree-day target: enter one beside Compute and compute again.";
    return "";
}

void landmap_colourings_offer(GtkWidget *by_region, GtkWidget *by_date, GtkWidget *fallback, const land_map *map) {
    static const char *const offers[] = {
        "Colour the map by Winkler region (Jones et al. 2010): the class of each cell's degree days from 1 April "
        "to 31 October.",
        "Colour the map by the date each cell's degree days reach the target set when it was computed; cells "
        "that do not reach it in this season have a colour of their own."};
    GtkWidget *const buttons[] = {by_region, by_date};
    const landmap_colour_by kinds[] = {LANDMAP_BY_REGION, LANDMAP_BY_TARGET_DATE};
    for (int k = 0; k < 2; k++) {
        const std::string why = landmap_colouring_refusal(map, kinds[k]);
        gtk_widget_set_sensitive(buttons[k], why.empty());
        gtk_widget_set_tooltip_text(buttons[k], why.empty() ? offers[k] : why.c_str());
        if (!why.empty() && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(buttons[k])))
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(fallback), TRUE);
    }
}

namespace {

const double *const kInk = kLandmapInk;

void swatch(cairo_t *cr, double x, double y, double r, double g, double b) {
    cairo_rectangle(cr, x, y, 14, 9);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
}

// "14 Aug": a date short enough for the legend's ticks.
std::string shortDate(int year, int day) {
    const std::string full = targetDateText(year, day);
    const size_t space = full.find(' ');
    return space == std::string::npos ? full : full.substr(0, space + 4);
}

}  // namespace

void landmap_colouring_render(landmap_image *image, const land_map *map, landmap_colour_by by, float threshold) {
    const float *degree_days = map->band(map_quantity::degree_days);
    const float *days = map->band(map_quantity::target_day);
    landmap_day_span span{0, 0, false};
    // Never offered without a target (landmap_colourings_offer); drawn by
    // region rather than read from a band the map does not have.
    if (by == LANDMAP_BY_TARGET_DATE && (days == nullptr || !landmap_target_span(*map, &span))) by = LANDMAP_BY_REGION;
    const double dayRange = span.last - span.first;
    landmap_image_paint(image, map, threshold, [&](long i, double rgb[3]) {
        if (by == LANDMAP_BY_REGION) {
            landmap_region_colour(winklerRegion(degree_days[i]), &rgb[0], &rgb[1], &rgb[2]);
        } else if (days[i] <= 0.0f) {
            std::copy(kLandmapNotReached, kLandmapNotReached + 3, rgb);
        } else {
            landmap_date_colour(dayRange > 0.0 ? (days[i] - span.first) / dayRange : 0.5, &rgb[0], &rgb[1], &rgb[2]);
        }
    });
}

// In the degree days' legend's place and size, so that the north arrow
// under it stays where it is.
void landmap_colouring_legend(cairo_t *cr, const landmap_scene *s) {
    const double x = 10, y = 10, w = 126, h = 184;
    landmap_draw_panel(cr, x, y, w, h);
    cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
    const int year = s->map->options.season.year;
    landmap_day_span span{0, 0, false};
    if (s->colour_by == LANDMAP_BY_TARGET_DATE && landmap_target_span(*s->map, &span)) {
        const std::string target = targetText(s->map->options.target);
        drawText(cr, ("date " + target + " degree").c_str(), "Sans Bold 8.5", x + 8, y + 6, 0.0, 0.0);
        drawText(cr, "days are reached", "Sans Bold 8.5", x + 8, y + 18, 0.0, 0.0);
        const double barX = x + 10, barY = y + 38, barW = 14, barH = 86;
        if (span.first > 0) {
            for (int i = 0; i < static_cast<int>(barH); i++) {
                double red, green, blue;
                landmap_date_colour(i / (barH - 1.0), &red, &green, &blue);
                cairo_set_source_rgb(cr, red, green, blue);
                cairo_rectangle(cr, barX, barY + i, barW, 1.0);
                cairo_fill(cr);
            }
            cairo_set_source_rgb(cr, kInk[0], kInk[1], kInk[2]);
            const int ticks = span.last > span.first ? 3 : 1;
            for (int k = 0; k < ticks; k++) {
                const double share = ticks == 1 ? 0.5 : k / (ticks - 1.0);
                const int day = static_cast<int>(std::lround(span.first + (span.last - span.first) * share));
                const double ty = barY + barH * share;
                cairo_move_to(cr, barX + barW, ty);
                cairo_line_to(cr, barX + barW + 4, ty);
                cairo_set_line_width(cr, 1.0);
                cairo_stroke(cr);
                drawText(cr, shortDate(year, day).c_str(), "Sans 7.5", barX + barW + 7, ty, 0.0, 0.5);
            }
        } else {
            drawText(cr, "no cell reaches it", "Sans Italic 7.5", barX, barY + 4, 0.0, 0.0);
        }
        swatch(cr, x + 8, y + h - 44, kLandmapNotReached[0], kLandmapNotReached[1], kLandmapNotReached[2]);
        drawText(cr, "not reached", "Sans 7", x + 24, y + h - 40, 0.0, 0.5);
    } else {
        drawText(cr, "Winkler region", "Sans Bold 8.5", x + 8, y + 6, 0.0, 0.0);
        drawText(cr, "in degree days", "Sans 7.5", x + 8, y + 18, 0.0, 0.0);
        for (int k = WINKLER_REGIONS - 1; k >= 0; k--) {
            const double ry = y + 32 + (WINKLER_REGIONS - 1 - k) * 12.5;
            double red, green, blue;
            landmap_region_colour(k, &red, &green, &blue);
            swatch(cr, x + 8, ry, red, green, blue);
            const winkler_class *c = winklerClass(k);
            const std::string label = std::string(c->name) + "  " +
                                      (k == WINKLER_TOO_COOL  ? "< " + std::to_string(static_cast<int>(c->high))
                                       : k == WINKLER_TOO_HOT ? "≥ " + std::to_string(static_cast<int>(c->low))
                                                              : winklerBoundsText(k));
            drawText(cr, label.c_str(), "Sans 7", x + 26, ry + 4.5, 0.0, 0.5);
        }
    }
    // Below the threshold and the stored site, as in the degree days' legend.
    swatch(cr, x + 8, y + h - 30, 0.78, 0.78, 0.76);
    gchar *t = decimalText(s->threshold, 0);
    gchar *below = g_strdup_printf("< %s degree days", t);
    drawText(cr, below, "Sans 7", x + 24, y + h - 26, 0.0, 0.5);
    drawText(cr, "◆ stored site", "Sans 7", x + 8, y + h - 12, 0.0, 0.5);
    g_free(below);
    g_free(t);
}

std::string landmap_region_hectares_text(const land_map &map) {
    if (!winklerSeason(map.options.season)) return "";
    double hectares[WINKLER_REGIONS];
    mapWinklerHectares(map, nullptr, 0, hectares);
    // Short enough for one line beside the answer on a small screen.
    std::string text = "Winkler regions:";
    bool first = true;
    for (int k = 0; k < WINKLER_REGIONS; k++) {
        if (!(hectares[k] > 0.0)) continue;
        text += std::string(first ? " " : ", ") + winklerClass(k)->name + " " +
                decimalString(hectares[k], hectares[k] < 10.0 ? 2 : 1);
        first = false;
    }
    return first ? "" : text + " ha.";
}

std::string landmap_region_tooltip(void) { return std::string(winklerSourceText()) + "\n\n" + winklerNoteText(); }

std::string landmap_readout_text(const land_map *map, int col, int row) {
    std::string text = spotText(map, col, row);
    if (map == nullptr || col < 0) return text;
    const std::string date = cellTargetText(*map, col, row);
    if (!date.empty()) text += "; " + targetText(map->options.target) + " degree days: " + date;
    return text;
}

namespace {

struct preset_call {
    void (*chosen)(gpointer, float);
    gpointer data;
};

void onPreset(GtkMenuItem *item, gpointer data) {
    const preset_call *call = static_cast<const preset_call *>(data);
    const float bound = static_cast<float>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), "veranta-bound")));
    call->chosen(call->data, bound);
}

}  // namespace

void landmap_presets_attach(GtkWidget *menu_button, void (*chosen)(gpointer data, float threshold), gpointer data) {
    GtkWidget *menu = gtk_menu_new();
    preset_call *call = new preset_call{chosen, data};
    // The call lives as long as the menu.
    g_object_set_data_full(G_OBJECT(menu), "veranta-presets", call,
                           [](gpointer p) { delete static_cast<preset_call *>(p); });
    for (int k = 0; k < kWinklerBounds; k++) {
        const int bound = static_cast<int>(winklerBound(k));
        gchar *label = g_strdup_printf("%d degree days: %s begins", bound, winklerClass(k + 1)->name);
        GtkWidget *item = gtk_menu_item_new_with_label(label);
        g_free(label);
        g_object_set_data(G_OBJECT(item), "veranta-bound", GINT_TO_POINTER(bound));
        g_signal_connect(item, "activate", G_CALLBACK(onPreset), call);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    }
    gtk_widget_show_all(menu);
    gtk_menu_button_set_popup(GTK_MENU_BUTTON(menu_button), menu);
}
