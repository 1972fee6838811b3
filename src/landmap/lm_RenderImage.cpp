// The map's image is made once per colouring and threshold: each cell's
// colour from the scale, lit by a sun in the north-west so the terrain reads,
// and drawn pale where the cell falls short of the threshold. Frames then
// only copy it.
#include "landmap/landmap.h"

#include <algorithm>
#include <cmath>

namespace {

// Light from the north-west, 45 degrees up, as maps are lit by convention.
double hillshade(float tilt, float aspect) {
    const double zenith = G_PI / 4.0, azimuth = 315.0 * G_PI / 180.0;
    if (std::isnan(tilt)) return std::cos(zenith);
    double s = tilt * G_PI / 180.0;
    double lit = std::cos(zenith) * std::cos(s);
    if (aspect >= 0.0f) lit += std::sin(zenith) * std::sin(s) * std::cos(azimuth - aspect * G_PI / 180.0);
    return std::clamp(lit, 0.0, 1.0);
}

guint32 pixel(double r, double g, double b) {
    auto byte = [](double v) { return static_cast<guint32>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xff000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

}  // namespace

void lm_FreeImage(lm_image *image) {
    if (image->base != nullptr) cairo_surface_destroy(image->base);
    if (image->scaled != nullptr) cairo_surface_destroy(image->scaled);
    image->base = image->scaled = nullptr;
    image->scaled_at = 0.0;
}

void lm_RenderImage(lm_image *image, const land_map *map, const value_range *range, bool by_irradiation,
                    float threshold) {
    lm_FreeImage(image);
    const int cols = map->grid.width, rows = map->grid.height;
    image->base = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cols, rows);
    cairo_surface_flush(image->base);
    unsigned char *data = cairo_image_surface_get_data(image->base);
    const int stride = cairo_image_surface_get_stride(image->base);
    const float *degree_days = map->band(map_quantity::degree_days);
    const float *values = by_irradiation ? map->band(map_quantity::irradiation) : degree_days;
    const float *tilt = map->band(map_quantity::tilt);
    const float *aspect = map->band(map_quantity::aspect);
    const double low = range->low;
    const double span = range->high - low;
    for (int r = 0; r < rows; r++) {
        guint32 *line = reinterpret_cast<guint32 *>(data + static_cast<long>(r) * stride);
        for (int c = 0; c < cols; c++) {
            long i = static_cast<long>(r) * cols + c;
            float v = values[i];
            if (v == kMapNodata) {
                line[c] = 0;   // transparent: no data here
                continue;
            }
            double red, green, blue;
            scaleColour(span > 0.0 ? (v - low) / span : 0.5, &red, &green, &blue);
            double light = 0.25 + 1.0 * hillshade(tilt[i], aspect[i]);
            if (degree_days[i] < threshold) {
                // Short of the threshold: the terrain in grey, a trace of its colour.
                double grey = 0.22 + 0.78 * hillshade(tilt[i], aspect[i]);
                red = 0.15 * red + 0.85 * grey;
                green = 0.15 * green + 0.85 * grey;
                blue = 0.15 * blue + 0.85 * grey;
                line[c] = pixel(red, green, blue);
            } else {
                line[c] = pixel(red * light, green * light, blue * light);
            }
        }
    }
    cairo_surface_mark_dirty(image->base);
}
