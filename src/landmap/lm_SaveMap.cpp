// The map as PNG, SVG or PDF by the name's ending, drawn by the same code as
// the window's frames (legend, north arrow, scale bar), the whole land in
// view, with a caption naming the file, season and shading and the answer
// in hectares. Drawn into memory, then written whole through the safe writer.
#include "landmap/landmap.h"

#include "files/safeWrite.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

namespace {

const double kWidth = 1000.0, kCaption = 64.0, kMap = 700.0;

cairo_status_t collect(void *closure, const unsigned char *data, unsigned int length) {
    g_byte_array_append(static_cast<GByteArray *>(closure), data, length);
    return CAIRO_STATUS_SUCCESS;
}

void drawPage(cairo_t *cr, const lm_scene *scene, const std::string &caption) {
    cairo_rectangle(cr, 0, 0, kWidth, kCaption + kMap);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.10, 0.16, 0.14);
    drawText(cr, scene->by_irradiation ? "Season irradiation of the land" : "Season degree days of the land",
                "Sans Bold 13", 16, 10, 0.0, 0.0);
    drawText(cr, caption.c_str(), "Sans 9.5", 16, 32, 0.0, 0.0);
    gchar *answer = lm_AnswerText(scene->map, scene->threshold);
    drawText(cr, answer, "Sans Italic 9.5", 16, 47, 0.0, 0.0);
    g_free(answer);

    lm_scene page = *scene;
    lm_image image;
    image.base = cairo_surface_reference(scene->image->base);
    page.image = &image;
    page.frame = mapFit(scene->map->cols, scene->map->rows, kWidth, kMap);
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
    gchar *lower = g_ascii_strdown(path, -1);
    enum { PNG, SVG, PDF, NONE } kind = g_str_has_suffix(lower, ".png")   ? PNG
                                        : g_str_has_suffix(lower, ".svg") ? SVG
                                        : g_str_has_suffix(lower, ".pdf") ? PDF
                                                                          : NONE;
    g_free(lower);
    if (kind == NONE) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_INVAL, "the name must end in .png, .svg or .pdf");
        return false;
    }
    const double height = kCaption + kMap;
    GByteArray *bytes = g_byte_array_new();
    cairo_surface_t *surface;
    if (kind == PNG)
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth), static_cast<int>(height));
    else if (kind == SVG)
        surface = cairo_svg_surface_create_for_stream(collect, bytes, kWidth, height);
    else
        surface = cairo_pdf_surface_create_for_stream(collect, bytes, kWidth, height);
    cairo_t *cr = cairo_create(surface);
    drawPage(cr, scene, caption);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (kind == PNG && status == CAIRO_STATUS_SUCCESS) status = cairo_surface_write_to_png_stream(surface, collect, bytes);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);

    bool ok = false;
    std::string why;
    if (status != CAIRO_STATUS_SUCCESS)
        g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, "the map could not be drawn: %s",
                    cairo_status_to_string(status));
    else if (!(ok = writeFileSafely(path, bytes->data, bytes->len, &why)))
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    g_byte_array_unref(bytes);
    return ok;
}
