// Every export says where it went, or that it left nothing behind.
#include "ui/windowFiles.h"

void showExportOutcome(GtkWidget *status, const char *what, const char *path, bool ok, const char *why) {
    gchar *name = g_filename_display_name(path);
    gchar *text = ok ? g_strdup_printf("%s written to %s", what, name)
                     : g_strdup_printf("Not written: %s could not be saved (%s); no file was left behind.", name,
                                       why != nullptr ? why : "unknown error");
    showStatus(status, text, !ok);
    g_free(text);
    g_free(name);
}
