// A drawing saved as PNG, SVG or PDF by the name's ending: drawn into memory
// first, then written in one piece by the safe writer.
#include "ui/windowFiles.h"

#include "files/safeWrite.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <string>

namespace {

cairo_status_t collect(void *closure, const unsigned char *data, unsigned int length) {
    g_byte_array_append(static_cast<GByteArray *>(closure), data, length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool saveDrawing(const char *path, double width, double height, void (*draw)(cairo_t *cr, const void *data),
                 const void *data, const char *what, GError **error) {
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
    GByteArray *bytes = g_byte_array_new();
    cairo_surface_t *surface;
    if (kind == PNG)
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(width), static_cast<int>(height));
    else if (kind == SVG)
        surface = cairo_svg_surface_create_for_stream(collect, bytes, width, height);
    else
        surface = cairo_pdf_surface_create_for_stream(collect, bytes, width, height);
    cairo_t *cr = cairo_create(surface);
    draw(cr, data);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (kind == PNG && status == CAIRO_STATUS_SUCCESS) status = cairo_surface_write_to_png_stream(surface, collect, bytes);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);

    bool ok = false;
    std::string why;
    if (status != CAIRO_STATUS_SUCCESS)
        g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, "the %s could not be drawn: %s", what,
                    cairo_status_to_string(status));
    else if (!(ok = writeFileSafely(path, bytes->data, bytes->len, &why)))
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, why.c_str());
    g_byte_array_unref(bytes);
    return ok;
}
