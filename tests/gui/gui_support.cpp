#include "gui_support.h"

#include "shell/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace gui {

namespace {

// Every test process talks to the private X server only: no accessibility
// bridge (it would open a D-Bus session for each process) and no Wayland.
const bool environmentReady = [] {
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GDK_BACKEND", "x11", 1);
    // File choosers keep their settings in memory, not in the user's dconf.
    setenv("GSETTINGS_BACKEND", "memory", 1);
    return true;
}();

// The working folders this process made, removed again when it ends.
std::vector<std::string> &madeFolders() {
    static std::vector<std::string> folders;
    return folders;
}

void removeMadeFolders() {
    if (chdir("/") != 0) return;
    std::error_code ignored;
    for (const std::string &folder : madeFolders()) std::filesystem::remove_all(folder, ignored);
}

void copyFile(const std::string &from, const std::string &to) {
    std::ifstream in(from, std::ios::binary);
    ASSERT_TRUE(in.good()) << "cannot read " << from;
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    ASSERT_TRUE(out.good()) << "cannot write " << to;
}

void collectGrids(GtkWidget *widget, std::vector<GtkWidget *> *out) {
    if (GTK_IS_GRID(widget)) out->push_back(widget);
    if (!GTK_IS_CONTAINER(widget)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *l = children; l != nullptr; l = l->next) collectGrids(GTK_WIDGET(l->data), out);
    g_list_free(children);
}

}  // namespace

std::string enterTempDir(bool withGlade, bool withCss) {
    char pattern[] = "/tmp/veranta-gui-XXXXXX";
    const char *dir = mkdtemp(pattern);
    EXPECT_NE(dir, nullptr);
    if (dir == nullptr) return "";
    std::string path = dir;
    if (madeFolders().empty()) std::atexit(removeMadeFolders);
    madeFolders().push_back(path);
    if (withGlade) copyFile(std::string(VERANTA_DATA_DIR) + "/veranta.glade", path + "/veranta.glade");
    if (withCss) copyFile(std::string(VERANTA_DATA_DIR) + "/veranta.css", path + "/veranta.css");
    EXPECT_EQ(chdir(path.c_str()), 0);
    return path;
}

bool connectDisplay() {
    static char arg0[] = "veranta";
    static char *args[] = {arg0, nullptr};
    int argc = 1;
    char **argv = args;
    // A busy X server now and then refuses a new connection; try again for a
    // while, so that the test exercises start-up, not the server.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (gtk_init_check(&argc, &argv)) {
            // The real pointer rests in the screen's last corner, outside every
            // test window: tests running beside this one on the same display map
            // and unmap windows, which would otherwise send our widgets real
            // enter and leave events between a synthetic motion and its check.
            GdkDisplay *display = gdk_display_get_default();
            GdkRectangle all{};
            gdk_monitor_get_geometry(gdk_display_get_monitor(display, 0), &all);
            gdk_device_warp(gdk_seat_get_pointer(gdk_display_get_default_seat(display)),
                            gdk_display_get_default_screen(display), all.x + all.width - 1, all.y + all.height - 1);
            gdk_display_flush(display);
            return true;
        }
        g_usleep(100000);
    }
    return false;
}

void start() {
    ASSERT_TRUE(environmentReady);
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "GUI tests need an X display; run them through scripts/test";
    enterTempDir();
    ASSERT_TRUE(connectDisplay()) << "cannot open display " << std::getenv("DISPLAY");
    static char arg0[] = "veranta";
    static char *args[] = {arg0, nullptr};
    int argc = 1;
    char **argv = args;
    ASSERT_EQ(startUp(&argc, &argv), 0);
    pump();
}

void pump() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

bool await(const std::function<bool()> &done, double seconds) {
#ifdef __SANITIZE_ADDRESS__
    // The sanitizers slow the work waited for two- to threefold, as they
    // double every test's own timeout.
    seconds *= 2;
#endif
    const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(seconds * G_USEC_PER_SEC);
    while (!done() && g_get_monotonic_time() < deadline) {
        gtk_main_iteration_do(FALSE);
        if (!gtk_events_pending()) g_usleep(2000);
    }
    pump();
    return done();
}

void activate(GtkWidget *menuItem) {
    ASSERT_NE(menuItem, nullptr);
    gtk_menu_item_activate(GTK_MENU_ITEM(menuItem));
    pump();
}

void click(GtkWidget *button) {
    ASSERT_NE(button, nullptr);
    gtk_button_clicked(GTK_BUTTON(button));
    pump();
}

std::string text(GtkWidget *entry) {
    return gtk_entry_get_text(GTK_ENTRY(entry));
}

void setText(GtkWidget *entry, const char *value) {
    gtk_entry_set_text(GTK_ENTRY(entry), value);
    pump();
}

bool visible(GtkWidget *widget) { return gtk_widget_get_visible(widget); }

bool sensitive(GtkWidget *widget) { return gtk_widget_get_sensitive(widget); }

void choose(GtkWidget *comboBoxText, const char *item) {
    GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(comboBoxText));
    GtkTreeIter iter;
    int index = 0;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &iter); ok;
         ok = gtk_tree_model_iter_next(model, &iter), ++index) {
        gchar *value = nullptr;
        gtk_tree_model_get(model, &iter, 0, &value, -1);
        bool match = value != nullptr && std::string(value) == item;
        g_free(value);
        if (match) {
            gtk_combo_box_set_active(GTK_COMBO_BOX(comboBoxText), index);
            pump();
            return;
        }
    }
    ADD_FAILURE() << "no item " << item;
}

GObject *templateObject(GtkWidget *window, const char *id) {
    return gtk_widget_get_template_child(window, G_OBJECT_TYPE(window), id);
}

GtkWidget *templateChild(GtkWidget *window, const char *id) {
    GObject *child = templateObject(window, id);
    EXPECT_TRUE(GTK_IS_WIDGET(child)) << "no widget " << id << " in the window's template";
    return GTK_IS_WIDGET(child) ? GTK_WIDGET(child) : nullptr;
}

std::vector<GtkWidget *> grids(GtkWidget *window) {
    std::vector<GtkWidget *> out;
    collectGrids(window, &out);
    return out;
}

GtkWidget *cell(GtkWidget *grid, int column, int row) {
    return gtk_grid_get_child_at(GTK_GRID(grid), column, row);
}

void writeFile(const char *name, const std::string &content) {
    std::ofstream out(name, std::ios::binary);
    out << content;
}

std::string readFile(const char *name, bool *exists) {
    std::ifstream in(name, std::ios::binary);
    if (exists != nullptr) *exists = in.good();
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace gui
