// Process entry, start-up of the main window and the handlers that the UI
// definition binds by name.
#include "shell/shell.h"

#include "location/location.h"
#include "model/model.h"
#include "model/readRegularFile.h"
#include "oneday/oneday.h"
#include "season/season.h"
#include "landmap/landmapWindow.h"
#include "slopes/slopesWindow.h"
#include "stationwindow/stationWindow.h"
#include "selftest/selftest.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Far above what either file needs (the definition is some 130 KiB), so
// that only something that is no UI definition or style sheet is refused.
const std::size_t kDefinitionLimit = 16u << 20;
const std::size_t kStyleLimit = 1u << 20;

}  // namespace

const char *const veranta_app_id = "io.github.veranta.Veranta";  // as in cmake/install.cmake

int startUp(int *argc, char ***argv) {
    // Named before the toolkit starts, so that the windows' class matches the
    // desktop entry's StartupWMClass and the desktop shows our icon.
    g_set_prgname(veranta_app_id);
    gtk_init(argc, argv);
    // After the toolkit's start, which sets a class of its own; no window
    // exists yet.
    gdk_set_program_class(veranta_app_id);
    gtk_window_set_default_icon_name(veranta_app_id);
    // The toolkit takes the desktop's locale; numbers keep the decimal point,
    // or a decimal-comma desktop would read 44.133 as 44 and save 44,0000.
    std::setlocale(LC_NUMERIC, "C");

    // Read by ourselves first, so that a FIFO or a device of that name ends
    // start-up with a message instead of blocking it or reading forever; then
    // loaded with an error report so that a missing or broken definition ends
    // the program with a message instead of a crash.
    char *definition = nullptr;
    std::size_t length = 0;
    bool more = false;
    int status = readRegularFile("veranta.glade", kDefinitionLimit, &definition, &length, &more);
    if (status != 0 || more) {
        const char *why = status == kNotRegularFile ? "it is not a regular file"
                          : status != 0             ? g_strerror(status)
                                                    : "it is larger than 16 MiB";
        std::fprintf(stderr, "veranta: cannot load the user interface veranta.glade: %s\n", why);
        if (status == 0) std::free(definition);
        return 1;
    }
    builder = gtk_builder_new();
    GError *error = nullptr;
    gboolean loaded = gtk_builder_add_from_string(builder, definition, length, &error);
    std::free(definition);
    if (!loaded) {
        gchar *message = g_strdup(error->message);
        g_strdelimit(message, "\r\n", ' ');
        std::fprintf(stderr, "veranta: cannot load the user interface veranta.glade: %s\n", message);
        g_free(message);
        g_error_free(error);
        g_object_unref(builder);
        builder = nullptr;
        return 1;
    }

    // A definition cut short can load without error yet define nothing; with
    // no main window the main loop would run with nothing on the screen.
    window = GTK_WIDGET(gtk_builder_get_object(builder, "window"));
    if (!GTK_IS_WINDOW(window)) {
        std::fprintf(stderr, "veranta: cannot load the user interface veranta.glade: it defines no main window \"window\"\n");
        g_object_unref(builder);
        builder = nullptr;
        window = nullptr;
        return 1;
    }
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

    // Registered by name so the loader finds them without symbol export.
    static const struct {
        const char *name;
        GCallback handler;
    } handlers[] = {
        {"on_locale_activate", G_CALLBACK(on_locale_activate)},
        {"on_locale_clear_clicked", G_CALLBACK(on_locale_clear_clicked)},
        {"on_locale_save_clicked", G_CALLBACK(on_locale_save_clicked)},
        {"on_locale_close_clicked", G_CALLBACK(on_locale_close_clicked)},
        {"on_quit_activate", G_CALLBACK(on_quit_activate)},
        {"on_oneday_activate", G_CALLBACK(on_oneday_activate)},
        {"on_months_activate", G_CALLBACK(on_months_activate)},
        {"on_error_close_clicked", G_CALLBACK(on_error_close_clicked)},
        {"on_testoneinstant_activate", G_CALLBACK(on_testoneinstant_activate)},
        {"on_t1_calculate_clicked", G_CALLBACK(on_t1_calculate_clicked)},
        {"on_t1_close_clicked", G_CALLBACK(on_t1_close_clicked)},
        {"on_testoneday_activate", G_CALLBACK(on_testoneday_activate)},
        {"on_t2_calculate_clicked", G_CALLBACK(on_t2_calculate_clicked)},
        {"on_t2_close_clicked", G_CALLBACK(on_t2_close_clicked)},
        {"on_testgrowingseason_activate", G_CALLBACK(on_testgrowingseason_activate)},
        {"on_t3_calculate_clicked", G_CALLBACK(on_t3_calculate_clicked)},
        {"on_t3_close_clicked", G_CALLBACK(on_t3_close_clicked)},
        {"on_tutorial_activate", G_CALLBACK(on_tutorial_activate)},
        {"on_tutorial_dismiss_clicked", G_CALLBACK(on_tutorial_dismiss_clicked)},
        {"on_about_activate", G_CALLBACK(on_about_activate)},
        {"on_about_dismiss_clicked", G_CALLBACK(on_about_dismiss_clicked)},
    };
    for (const auto &h : handlers) gtk_builder_add_callback_symbol(builder, h.name, h.handler);
    gtk_builder_connect_signals(builder, nullptr);

    buildWidgets(builder);
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "veranta");
    // Windows beyond the definition's handler contract are wired in code.
    if (slopes != nullptr) g_signal_connect(slopes, "activate", G_CALLBACK(on_slopes_activate), nullptr);
    if (landmap != nullptr) g_signal_connect(landmap, "activate", G_CALLBACK(on_landmap_activate), nullptr);
    if (station != nullptr) g_signal_connect(station, "activate", G_CALLBACK(on_station_activate), nullptr);
    describeMainWindow();
    g_signal_connect(window, "key-press-event", G_CALLBACK(onShellKey), nullptr);
    colorWidgets();

    // A missing or broken style sheet is not ours to report: the program runs
    // with the toolkit's look and the fixed colours. One that is no regular
    // file, or is far larger than any style sheet, is skipped like a missing
    // one.
    GtkCssProvider *provider = gtk_css_provider_new();
    char *style = nullptr;
    if (readRegularFile("veranta.css", kStyleLimit, &style, &length, &more) == 0) {
        if (!more) gtk_css_provider_load_from_data(provider, style, static_cast<gssize>(length), nullptr);
        std::free(style);
    }
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_USER);
    g_object_unref(provider);

    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_widget_show(window);

    in_use = 0;
    error_watch = 1;

    gtk_widget_hide(t1_frame);
    gtk_widget_hide(t2_frame);
    gtk_widget_hide(t3_frame);
    gtk_widget_hide(locale_frame);
    gtk_widget_hide(tutorial_frame);
    gtk_widget_hide(about_frame);
    gtk_widget_hide(error_frame);
    return 0;
}

#ifndef VERANTA_NO_MAIN
int main(int argc, char **argv) {
    if (startUp(&argc, &argv) != 0) return 1;
    gtk_main();
    return 0;
}
#endif

// Every opening handler follows one rule: nothing opens while another panel
// or calculator window is open (in_use 1); that one is brought to the front.

extern "C" {

void on_locale_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(locale_frame);
    gtk_widget_set_sensitive(locale_clear, TRUE);
    gtk_widget_set_sensitive(locale_save, TRUE);
    gtk_widget_set_sensitive(locale_close, TRUE);
    populateLocale();
    gtk_widget_grab_focus(locale_entry_lat);
    in_use = 1;
}

void on_locale_clear_clicked(GtkWidget *, gpointer) { clearLocale(); }

void on_locale_save_clicked(GtkWidget *, gpointer) { saveLocale(); }

void on_locale_close_clicked(GtkWidget *, gpointer) {
    gtk_widget_hide(locale_frame);
    in_use = 0;
}

void on_quit_activate(GtkWidget *, gpointer) { gtk_main_quit(); }

void on_oneday_activate(GtkWidget *, gpointer) {
    if (in_use == 0) {
        oneDay();
        adoptWindow(c1_window);
    } else {
        presentOpen();
    }
    in_use = 1;
}

void on_months_activate(GtkWidget *, gpointer) {
    if (in_use == 0) {
        manyDays();
        adoptWindow(c2_window);
    } else {
        presentOpen();
    }
    in_use = 1;
}

void on_slopes_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    GtkWidget *explorer = GTK_WIDGET(slopes_window_open(GTK_WINDOW(window)));
    adoptWindow(explorer);
    releaseWhenGone(explorer);
    in_use = 1;
}

void on_landmap_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    GtkWidget *map = GTK_WIDGET(landmap_window_open(GTK_WINDOW(window)));
    adoptWindow(map);
    releaseWhenGone(map);
    in_use = 1;
}

void on_station_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    station_window_open(GTK_WINDOW(window));
    if (station_open == nullptr) return;
    adoptWindow(GTK_WIDGET(station_open));
    releaseWhenGone(GTK_WIDGET(station_open));
    in_use = 1;
}

void on_error_close_clicked(GtkWidget *, gpointer) {
    // The calculator behind the warning stays open, so in_use is left alone.
    gtk_widget_hide(error_frame);
    error_watch = 0;
    if (oneormany == 1) gtk_widget_show(c1_window);
    if (oneormany == 2) gtk_widget_show(c2_window);
}

void on_testoneinstant_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(t1_frame);
    gtk_widget_set_sensitive(t1_close, FALSE);
    gtk_widget_set_sensitive(t1_calculate, TRUE);
    gtk_label_set_text(GTK_LABEL(t1_explanation), "");
    in_use = 1;
}

void on_t1_calculate_clicked(GtkWidget *, gpointer) {
    t1_Populate();
    gtk_widget_set_sensitive(t1_close, TRUE);
    gtk_widget_set_sensitive(t1_calculate, FALSE);
    gtk_label_set_text(GTK_LABEL(t1_explanation), "1st value above is calculated here, 2nd (in parens) is correct");
}

void on_t1_close_clicked(GtkWidget *, gpointer) {
    t1_Depopulate();
    gtk_widget_hide(t1_frame);
    in_use = 0;
}

void on_testoneday_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(t2_frame);
    gtk_widget_set_sensitive(t2_close, FALSE);
    in_use = 1;
}

void on_t2_calculate_clicked(GtkWidget *, gpointer) {
    t2_Populate();
    gtk_widget_set_sensitive(t2_close, TRUE);
    gtk_widget_set_sensitive(t2_calculate, FALSE);
}

void on_t2_close_clicked(GtkWidget *, gpointer) {
    t2_Depopulate();
    gtk_widget_hide(t2_frame);
    in_use = 0;
}

void on_testgrowingseason_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(t3_frame);
    gtk_widget_set_sensitive(t3_close, FALSE);
    in_use = 1;
}

void on_t3_calculate_clicked(GtkWidget *, gpointer) {
    t3_Populate();
    gtk_widget_set_sensitive(t3_close, TRUE);
    gtk_widget_set_sensitive(t3_calculate, FALSE);
}

void on_t3_close_clicked(GtkWidget *, gpointer) {
    t3_Depopulate();
    gtk_widget_hide(t3_frame);
    in_use = 0;
}

void on_tutorial_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(tutorial_frame);
    gtk_widget_set_sensitive(tutorial_dismiss, TRUE);
    in_use = 1;
}

void on_tutorial_dismiss_clicked(GtkWidget *, gpointer) {
    gtk_widget_hide(tutorial_frame);
    in_use = 0;
}

void on_about_activate(GtkWidget *, gpointer) {
    if (in_use != 0) {
        presentOpen();
        return;
    }
    gtk_widget_show(about_frame);
    gtk_widget_set_sensitive(about_dismiss, TRUE);
    in_use = 1;
}

void on_about_dismiss_clicked(GtkWidget *, gpointer) {
    gtk_widget_hide(about_frame);
    in_use = 0;
}

}  // extern "C"
