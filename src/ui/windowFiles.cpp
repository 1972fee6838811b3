// Exports as every window makes them: the Save dialog, drawings saved by
// the name's ending through the safe writer, and the status line that says
// how it went.
#include "ui/windowFiles.h"

#include "files/safeWrite.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <string>

// The Save dialog of every export. The window is modal to it and keeps it
// while it is open, so that closing the window closes the dialog too.
namespace {

struct asked {
    GtkFileChooserNative **open;
    void (*chosen)(gpointer data, int kind, const char *path);
    gpointer data;
    int kind;
};

void onResponse(GtkNativeDialog *dialog, gint response, gpointer data) {
    const asked a = *static_cast<asked *>(data);
    *a.open = nullptr;
    if (response == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path != nullptr) a.chosen(a.data, a.kind, path);
        g_free(path);
    }
    g_object_unref(dialog);
}

}  // namespace

void chooseExport(GtkWindow *parent, GtkFileChooserNative **open, const char *title, const char *name,
                  const char *filter, const std::vector<std::string> &endings,
                  void (*chosen)(gpointer data, int kind, const char *path), gpointer data, int kind) {
    if (*open != nullptr) return;
    GtkFileChooserNative *dialog =
        gtk_file_chooser_native_new(title, parent, GTK_FILE_CHOOSER_ACTION_SAVE, "_Save", "_Cancel");
    GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    const char *documents = g_get_user_special_dir(G_USER_DIRECTORY_DOCUMENTS);
    gtk_file_chooser_set_current_folder(chooser, documents != nullptr ? documents : g_get_home_dir());
    gtk_file_chooser_set_current_name(chooser, name);
    addFileFilter(chooser, filter, endings);
    g_object_set_data_full(G_OBJECT(dialog), "asked", new asked{open, chosen, data, kind},
                           [](gpointer p) { delete static_cast<asked *>(p); });
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    g_signal_connect(dialog, "response", G_CALLBACK(onResponse), g_object_get_data(G_OBJECT(dialog), "asked"));
    *open = dialog;
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

void closeChooser(GtkFileChooserNative **open) {
    if (*open == nullptr) return;
    GtkFileChooserNative *dialog = *open;
    *open = nullptr;
    // Whoever asked hears nothing more: the window is going.
    g_signal_handlers_disconnect_matched(dialog, G_SIGNAL_MATCH_ID, g_signal_lookup("response", GTK_TYPE_NATIVE_DIALOG),
                                         0, nullptr, nullptr, nullptr);
    gtk_native_dialog_destroy(GTK_NATIVE_DIALOG(dialog));
    g_object_unref(dialog);
}

void addFileFilter(GtkFileChooser *chooser, const char *name, const std::vector<std::string> &endings) {
    GtkFileFilter *filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, name);
    for (const std::string &e : endings) {
        std::string pattern = "*.";
        for (char c : e) {
            if (g_ascii_isalpha(c)) {
                pattern += '[';
                pattern += g_ascii_tolower(c);
                pattern += g_ascii_toupper(c);
                pattern += ']';
            } else {
                pattern += c;
            }
        }
        gtk_file_filter_add_pattern(filter, pattern.c_str());
    }
    gtk_file_chooser_add_filter(chooser, filter);
}

// A drawing saved as PNG, SVG or PDF by the name's ending: drawn into memory
// first, then written in one piece by the safe writer.
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

void showStatus(GtkWidget *status, const char *text, bool failed) {
    gtk_label_set_text(GTK_LABEL(status), text);
    // One line, cut short where it must be: the whole text on hovering it.
    gtk_widget_set_tooltip_text(status, *text != '\0' ? text : nullptr);
    GtkStyleContext *style = gtk_widget_get_style_context(status);
    if (failed)
        gtk_style_context_add_class(style, "failed");
    else
        gtk_style_context_remove_class(style, "failed");
}

// Every export says where it went, or that it left nothing behind.
void showExportOutcome(GtkWidget *status, const char *what, const char *path, bool ok, const char *why) {
    gchar *name = g_filename_display_name(path);
    gchar *text = ok ? g_strdup_printf("%s written to %s", what, name)
                     : g_strdup_printf("Not written: %s could not be saved (%s); no file was left behind.", name,
                                       why != nullptr ? why : "unknown error");
    showStatus(status, text, !ok);
    g_free(text);
    g_free(name);
}
