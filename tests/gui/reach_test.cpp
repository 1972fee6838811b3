// Every window reachable and readable: accessible names of every field,
// windows above the main window, a refused menu item bringing the open
// window forward, the keys, the explorer on a small screen, and the text
// contrast of the described windows under a dark theme.
#include "gui_support.h"

#include "model/model.h"
#include "shell/shell.h"
#include "slopes/slopesCharts.h"
#include "slopes/slopesWindow.h"

#include <gtest/gtest.h>

// After gtest: X11's macros (None, Bool) would break its headers.
#include <gdk/gdkx.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char *const kSite = "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";

// A part of the explorer by its id in slopes.ui.
GtkWidget *part(SlopesWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }

const slopes_view &view(SlopesWindow *w) { return *slopes_window_get_view(w); }

void startWithSite() {
    gui::start();
    gui::writeFile("locale.txt", kSite);
}

void collect(GtkWidget *widget, GType type, std::vector<GtkWidget *> *out) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) out->push_back(widget);
    if (!GTK_IS_CONTAINER(widget)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *l = children; l != nullptr; l = l->next) collect(GTK_WIDGET(l->data), type, out);
    g_list_free(children);
}

// Sends a key press to a toplevel as the X server would deliver it.
void key(GtkWidget *toplevel, guint keyval, guint state = 0) {
    GdkEvent *event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(toplevel)));
    event->key.keyval = keyval;
    event->key.state = state;
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    GdkSeat *seat = gdk_display_get_default_seat(gdk_display_get_default());
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
    gui::pump();
}

std::string accessibleName(GtkWidget *widget) {
    const char *name = atk_object_get_name(gtk_widget_get_accessible(widget));
    return name != nullptr ? name : "";
}

// Each entry and combo box under a widget has a name of its own.
void expectNamed(GtkWidget *top, const char *where) {
    std::vector<GtkWidget *> fields;
    collect(top, GTK_TYPE_ENTRY, &fields);
    collect(top, GTK_TYPE_COMBO_BOX, &fields);
    ASSERT_FALSE(fields.empty()) << where;
    for (GtkWidget *field : fields) {
        if (GTK_IS_ENTRY(field) && GTK_IS_COMBO_BOX(gtk_widget_get_parent(field))) continue;
        EXPECT_FALSE(accessibleName(field).empty()) << where << ": a " << G_OBJECT_TYPE_NAME(field) << " has no name";
    }
}

// The X window stacked highest among the top-level windows.
Window topmost() {
    Display *x = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    Window top = 0;
    for (unsigned int i = 0; i < count; i++) {
        XWindowAttributes a;
        if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable) top = children[i];
    }
    if (children != nullptr) XFree(children);
    return top;
}

Window xid(GtkWidget *w) { return GDK_WINDOW_XID(gtk_widget_get_window(w)); }

// The server restacks when it gets to the request: the top window once it
// is want, or after two seconds whatever it is.
Window topmostOnceSettled(Window want) {
    Display *x = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    Window top = 0;
    for (int i = 0; i < 200 && top != want; i++) {
        gui::pump();
        XSync(x, False);
        top = topmost();
        if (top != want) g_usleep(10000);
    }
    return top;
}

}  // namespace

TEST(Reach, EveryFieldOfEveryWindowHasAnAccessibleName) {
    startWithSite();
    expectNamed(locale_frame, "location frame");
    expectNamed(t1_frame, "instant test");
    expectNamed(t2_frame, "one-day test");
    expectNamed(t3_frame, "season test");
    EXPECT_EQ(accessibleName(locale_entry_elev), "Elevation");
    gui::activate(oneday);
    expectNamed(c1_window, "one-day window");
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(c1_window));
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(accessibleName(focus), "latitude");
    gtk_widget_destroy(c1_window);
    gui::pump();
    gui::activate(months);
    expectNamed(c2_window, "season window");
    gtk_widget_destroy(c2_window);
    gui::pump();
    gui::activate(slopes);
    ASSERT_NE(slopes_open, nullptr);
    expectNamed(GTK_WIDGET(slopes_open), "slope explorer");
    EXPECT_EQ(accessibleName(part(slopes_open, "slopes_compass")), "Compass of slopes");
    EXPECT_TRUE(gtk_widget_get_can_focus(part(slopes_open, "slopes_compass")));
    EXPECT_TRUE(gtk_widget_get_can_focus(part(slopes_open, "slopes_months_view")));
}

TEST(Reach, WindowsStayAboveTheMainWindow) {
    startWithSite();
    GtkWidget *item[3] = {oneday, months, slopes};
    for (GtkWidget *menuItem : item) {
        gui::activate(menuItem);
        GtkWidget *open = menuItem == oneday ? c1_window : menuItem == months ? c2_window : GTK_WIDGET(slopes_open);
        EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(open)), GTK_WINDOW(window));
        gtk_widget_destroy(open);
        gui::pump();
        ASSERT_EQ(in_use, 0);
    }
}

// A calculator lost behind the main window comes back with the next menu
// item instead of every item doing nothing.
TEST(Reach, ARefusedMenuItemBringsTheOpenWindowForward) {
    startWithSite();
    gui::activate(oneday);
    GtkWidget *open = c1_window;
    GtkWidget *item[3] = {months, locale, slopes};
    for (GtkWidget *menuItem : item) {
        gdk_window_raise(gtk_widget_get_window(window));
        gui::pump();
        ASSERT_EQ(topmostOnceSettled(xid(window)), xid(window));
        gui::activate(menuItem);
        EXPECT_EQ(topmostOnceSettled(xid(open)), xid(open)) << gtk_menu_item_get_label(GTK_MENU_ITEM(menuItem));
        EXPECT_EQ(c1_window, open);
        EXPECT_EQ(slopes_open, nullptr);
        EXPECT_FALSE(gui::visible(locale_frame));
    }
}

TEST(Reach, EscapeClosesAsTheCloseButtonDoes) {
    startWithSite();
    gui::activate(locale);
    key(window, GDK_KEY_Escape);
    EXPECT_FALSE(gui::visible(locale_frame));
    EXPECT_EQ(in_use, 0);
    gui::activate(tutorial);
    key(window, GDK_KEY_Escape);
    EXPECT_FALSE(gui::visible(tutorial_frame));
    gui::activate(oneday);
    key(c1_window, GDK_KEY_Escape);
    EXPECT_EQ(c1_window, nullptr);
    gui::activate(months);
    key(c2_window, GDK_KEY_Escape);
    EXPECT_EQ(c2_window, nullptr);
    gui::activate(slopes);
    key(GTK_WIDGET(slopes_open), GDK_KEY_Escape);
    EXPECT_EQ(slopes_open, nullptr);
    EXPECT_EQ(in_use, 0);
}

TEST(Reach, F1OpensTheTutorialAndCtrlQQuits) {
    startWithSite();
    key(window, GDK_KEY_F1);
    EXPECT_TRUE(gui::visible(tutorial_frame));
    GtkWidget *before = c1_window;
    gui::activate(oneday);  // refused while the tutorial is open
    EXPECT_EQ(c1_window, before);
    g_idle_add(
        [](gpointer) -> gboolean {
            key(window, GDK_KEY_q, GDK_CONTROL_MASK);
            return G_SOURCE_REMOVE;
        },
        nullptr);
    static bool late = false;
    guint guard = g_timeout_add_seconds(
        20,
        [](gpointer) -> gboolean {
            late = true;
            gtk_main_quit();
            return G_SOURCE_REMOVE;
        },
        nullptr);
    gtk_main();
    EXPECT_FALSE(late) << "Ctrl+Q did not end the main loop";
    if (!late) g_source_remove(guard);
}

TEST(Reach, EnterPressesTheMainButton) {
    startWithSite();
    gui::activate(locale);
    gtk_widget_grab_focus(locale_entry_tilt);
    gui::setText(locale_entry_tilt, "12.5");
    key(window, GDK_KEY_Return);
    EXPECT_NE(gui::readFile("locale.txt").find("tilt  12.5"), std::string::npos);
    gui::click(locale_close);

    gui::activate(oneday);
    std::vector<GtkWidget *> grids = gui::grids(c1_window);
    gui::setText(gui::cell(grids[0], 4, 2), "22");
    gui::choose(gui::cell(grids[0], 4, 3), "July");
    gui::setText(gui::cell(grids[0], 4, 4), "2007");
    gtk_widget_grab_focus(gui::cell(grids[0], 4, 4));
    key(c1_window, GDK_KEY_Return);
    EXPECT_NE(gui::text(gui::cell(grids[1], 1, 1)).find(':'), std::string::npos) << "no sunrise after Enter";
    gtk_widget_destroy(c1_window);
    gui::pump();

    gui::activate(slopes);
    gtk_widget_grab_focus(part(slopes_open, "slopes_tilt"));
    key(GTK_WIDGET(slopes_open), GDK_KEY_Return);
    EXPECT_TRUE(slopes_window_is_comparing(slopes_open) || view(slopes_open).have) << "Enter did not compare";
}

// Arrow keys walk the compass: left and right the aspect, up and down the
// tilt; the title and the month table follow the selection.
TEST(Reach, CompassTakesTheArrowKeys) {
    startWithSite();
    gui::activate(slopes);
    SlopesWindow *w = slopes_open;
    ASSERT_NE(w, nullptr);
    gui::click(part(w, "slopes_compare"));
    gint64 deadline = g_get_monotonic_time() + 100 * G_USEC_PER_SEC;
    while (slopes_window_is_comparing(w) && g_get_monotonic_time() < deadline) gui::pump();
    ASSERT_TRUE(view(w).have);
    const int best = view(w).best;
    ASSERT_EQ(view(w).selected, best);
    ASSERT_LT(best % SLOPES_TILTS, SLOPES_TILTS - 1) << "the best slope is the steepest: no step up to test";
    GtkWidget *compass = part(w, "slopes_compass");
    gtk_widget_grab_focus(compass);
    const struct {
        guint key;
        int selected;
    } steps[] = {
        {GDK_KEY_Right, (best + SLOPES_TILTS) % SLOPES_GRID},
        {GDK_KEY_Up, (best + SLOPES_TILTS) % SLOPES_GRID + 1},
        {GDK_KEY_Left, best + 1},
        {GDK_KEY_Down, best},
    };
    std::string title = gtk_label_get_text(GTK_LABEL(part(w, "slopes_selected")));
    for (const auto &s : steps) {
        key(GTK_WIDGET(w), s.key);
        EXPECT_EQ(view(w).selected, s.selected) << gdk_keyval_name(s.key);
        std::string now = gtk_label_get_text(GTK_LABEL(part(w, "slopes_selected")));
        EXPECT_NE(now, title) << gdk_keyval_name(s.key);
        title = now;
    }
    // Other keys are not the compass's: Escape still closes.
    key(GTK_WIDGET(w), GDK_KEY_Escape);
    EXPECT_EQ(slopes_open, nullptr);
}

// On a 1024 x 600 screen every button of the explorer stays in the window,
// and a comparison does not make the window grow.
TEST(Reach, ExplorerFitsASmallScreenAndDoesNotGrowAfterCompare) {
    startWithSite();
    gui::activate(slopes);
    SlopesWindow *w = slopes_open;
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(GTK_WIDGET(w), &minimum, nullptr);
    EXPECT_LE(minimum.width, 1024);
    EXPECT_LE(minimum.height, 560);  // 600 less a title bar and a panel
    gtk_window_resize(GTK_WINDOW(w), 1024, 560);
    int width = 0, height = 0;
    for (int i = 0; i < 200 && (width != 1024 || height != 560); i++) {
        gui::pump();
        g_usleep(5000);
        gtk_window_get_size(GTK_WINDOW(w), &width, &height);
    }
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 560);
    gui::click(part(w, "slopes_compare"));
    gint64 deadline = g_get_monotonic_time() + 100 * G_USEC_PER_SEC;
    while (slopes_window_is_comparing(w) && g_get_monotonic_time() < deadline) gui::pump();
    ASSERT_TRUE(view(w).have);
    gui::pump();
    int after_w = 0, after_h = 0;
    gtk_window_get_size(GTK_WINDOW(w), &after_w, &after_h);
    EXPECT_EQ(after_w, width);
    EXPECT_EQ(after_h, height);
    for (GtkWidget *button : {part(w, "slopes_close"), part(w, "slopes_export_table"), part(w, "slopes_save_chart")}) {
        int x = 0, y = 0;
        ASSERT_TRUE(gtk_widget_translate_coordinates(button, GTK_WIDGET(w), 0, 0, &x, &y));
        GtkAllocation a;
        gtk_widget_get_allocation(button, &a);
        EXPECT_LE(x + a.width, after_w);
        EXPECT_LE(y + a.height, after_h);
    }
}

// The notes beside bad entries, in both frames at once, widen the content,
// not the window: it scrolls instead, and the buttons stay in reach.
TEST(Reach, ExplorerNotesDoNotWidenItBeyondASmallScreen) {
    startWithSite();
    gui::activate(slopes);
    SlopesWindow *w = slopes_open;
    ASSERT_NE(w, nullptr);
    gui::setText(part(w, "slopes_elev"), "4,5");
    gui::setText(part(w, "slopes_year"), "1999");
    gui::click(part(w, "slopes_compare"));
    ASSERT_TRUE(gui::visible(part(w, "slopes_elev_msg")));
    ASSERT_TRUE(gui::visible(part(w, "slopes_year_msg")));
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(GTK_WIDGET(w), &minimum, nullptr);
    EXPECT_LE(minimum.width, 1024);
}

namespace {

double luminance(const GdkRGBA &c) {
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.red) + 0.7152 * lin(c.green) + 0.0722 * lin(c.blue);
}

double contrast(const GdkRGBA &a, const GdkRGBA &b) {
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind a widget: its own background or the nearest painted one
// of its ancestors.
GdkRGBA background(GtkWidget *widget) {
    for (GtkWidget *w = widget; w != nullptr; w = gtk_widget_get_parent(w)) {
        GtkStyleContext *style = gtk_widget_get_style_context(w);
        GdkRGBA *colour = nullptr;
        gtk_style_context_get(style, gtk_style_context_get_state(style), GTK_STYLE_PROPERTY_BACKGROUND_COLOR, &colour,
                              nullptr);
        GdkRGBA c = *colour;
        gdk_rgba_free(colour);
        if (c.alpha > 0.5) return c;
    }
    return GdkRGBA{1, 1, 1, 1};
}

void expectReadable(GtkWidget *top, const char *where) {
    std::vector<GtkWidget *> labels;
    collect(top, GTK_TYPE_LABEL, &labels);
    for (GtkWidget *label : labels) {
        if (!gtk_widget_is_drawable(label) || !gtk_widget_is_sensitive(label)) continue;
        if (gtk_label_get_text(GTK_LABEL(label))[0] == '\0') continue;
        // A label on a button is the button's: the theme paints both.
        GtkWidget *parent = gtk_widget_get_parent(label);
        if (GTK_IS_BUTTON(parent) || GTK_IS_BUTTON(gtk_widget_get_parent(parent))) continue;
        GtkStyleContext *style = gtk_widget_get_style_context(label);
        GdkRGBA ink;
        gtk_style_context_get_color(style, gtk_style_context_get_state(style), &ink);
        EXPECT_GE(contrast(ink, background(label)), 4.5)
            << where << ": \"" << gtk_label_get_text(GTK_LABEL(label)) << "\"";
    }
}

}  // namespace

// Under a dark desktop theme the painted windows keep their colours; their
// text must still read on them, and so must the highlighted menu item.
TEST(Reach, DescribedWindowsReadUnderADarkTheme) {
    setenv("GTK_THEME", "Adwaita:dark", 1);
    startWithSite();
    expectReadable(menu1, "menu bar");
    gui::activate(locale);
    expectReadable(locale_frame, "location frame");
    gui::click(locale_close);
    gui::activate(testoneinstant);
    gui::click(t1_calculate);
    expectReadable(t1_frame, "instant test");
    gui::click(t1_close);
    gui::activate(oneday);
    expectReadable(c1_window, "one-day window");
    gtk_widget_destroy(c1_window);
    gui::pump();
    gui::activate(months);
    expectReadable(c2_window, "season window");
    gtk_widget_destroy(c2_window);
    gui::pump();

    gtk_widget_set_state_flags(oneday, GTK_STATE_FLAG_PRELIGHT, FALSE);
    GtkWidget *text = gtk_bin_get_child(GTK_BIN(oneday));
    GtkStyleContext *style = gtk_widget_get_style_context(text);
    GdkRGBA ink;
    gtk_style_context_get_color(style, gtk_style_context_get_state(style), &ink);
    GtkStyleContext *item = gtk_widget_get_style_context(oneday);
    GdkRGBA *paper = nullptr;
    gtk_style_context_get(item, gtk_style_context_get_state(item), GTK_STYLE_PROPERTY_BACKGROUND_COLOR, &paper, nullptr);
    EXPECT_GE(contrast(ink, *paper), 4.5) << "highlighted menu item";
    gdk_rgba_free(paper);
}
