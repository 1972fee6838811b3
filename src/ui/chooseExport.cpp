// The Save dialog of every export. The window is modal to it and keeps it
// while it is open, so that closing the window closes the dialog too.
#include "ui/windowFiles.h"

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
