// The map as PNG, SVG or PDF by the name's ending, drawn by the same code as
// the window's frames (legend, north arrow, scale bar), the whole land in
// view, with a caption naming the file, season and shading and the answer
// in hectares. Drawn into memory, then written whole through the safe writer.
#include "landmap/landmap.h"

#include "ui/windowFiles.h"

namespace {

const double kWidth = 1000.0, kCaption = 64.0, kMap = 700.0;

struct page_of {
    const lm_scene *scene;
    const std::string *caption;
};

void drawPage(cairo_t *cr, const void *data) {
    const lm_scene *scene = static_cast<const page_of *>(data)->scene;
    const std::string &caption = *static_cast<const page_of *>(data)->caption;
    cairo_rectangle(cr, 0, 0, kWidth, kCaption + kMap);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.10, 0.16, 0.14);
    drawText(cr, scene->by_irradiation ? "Season irradiation of the land" : "Season degree days of the land",
                "Sans Bold 13", 16, 10, 0.0, 0.0);
    drawText(cr, caption.c_str(), "Sans 9.5", 16, 32, 0.0, 0.0);
    drawText(cr, answerText(*scene->map, scene->threshold).c_str(), "Sans Italic 9.5", 16, 47, 0.0, 0.0);

    lm_scene page = *scene;
    lm_image image;
    image.base = cairo_surface_reference(scene->image->base);
    page.image = &image;
    page.frame = mapFit(scene->map->grid.width, scene->map->grid.height, kWidth, kMap);
    cairo_save(cr);
    cairo_translate(cr, 0, kCaption);
    lm_DrawMap(cr, &page, kWidth, kMap);
    cairo_restore(cr);
    lm_FreeImage(&image);
}

}  // namespace

bool lm_SaveMap(const lm_scene *scene, const std::string &caption, const char *path, GError **error) {
    if (scene->map == nullptr || scene->image == nullptr || scene->image->base == nullptr) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "there is no map to save");
        return false;
    }
    const page_of page = {scene, &caption};
    return saveDrawing(path, kWidth, kCaption + kMap, drawPage, &page, "map", error);
}
