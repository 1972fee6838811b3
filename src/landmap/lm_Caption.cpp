// A saved map says what it shows: the file, the season and the shading.
#include "landmap/landmap.h"

#include "model/model.h"

std::string lm_Caption(const lm_map *map) {
    gchar *base = g_path_get_basename(map->path.c_str());
    gchar *name = map->path == lm_ExampleLand() ? g_strdup("a made-up example land (not a real place)")
                                                : g_filename_display_name(base);
    const season_range &s = map->settings.season;
    gchar *shading = map->settings.shade
                         ? g_strdup_printf("shaded by terrain (%d directions, %g m)", map->settings.directions,
                                           static_cast<double>(map->settings.distance))
                         : g_strdup("without terrain shading");
    gchar *text = g_strdup_printf("%s; %d %s to %d %s %d; %s", name, s.start_day, month_names[s.start_month - 1],
                                  s.stop_day, month_names[s.stop_month - 1], s.year, shading);
    std::string caption = text;
    g_free(text);
    g_free(shading);
    g_free(name);
    g_free(base);
    return caption;
}
