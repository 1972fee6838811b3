// The main window: start-up, the UI definition's contract, the rule of one
// open panel at a time, quitting, the error frame and failed start-ups.
#include "gui_support.h"

#include "model/model.h"
#include "shell/shell.h"
#include "landmap/landmapWindow.h"
#include "slopes/slopesWindow.h"

#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

GtkWidget *const *panels[] = {&t1_frame, &t2_frame, &t3_frame, &locale_frame, &tutorial_frame, &about_frame, &error_frame};

int visiblePanels() {
    int n = 0;
    for (GtkWidget *const *p : panels) n += gui::visible(*p) ? 1 : 0;
    return n;
}

// Background of the widget's normal state, as 8-bit channels.
std::vector<int> background(GtkWidget *widget) {
    GdkRGBA c;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_style_context_get_background_color(gtk_widget_get_style_context(widget), GTK_STATE_FLAG_NORMAL, &c);
    G_GNUC_END_IGNORE_DEPRECATIONS
    return {static_cast<int>(std::lround(c.red * 255)), static_cast<int>(std::lround(c.green * 255)),
            static_cast<int>(std::lround(c.blue * 255)), static_cast<int>(std::lround(c.alpha * 255))};
}

const std::vector<int> mainColor = {0x33, 0xFF, 0xCC, 255};
const std::vector<int> frameColor = {0x33, 0xEE, 0xCC, 255};
const std::vector<int> bandColor = {0xEE, 0x33, 0xAA, 255};

void expectColours() {
    for (GtkWidget *w : {window, locale, quit, oneday, months, slopes, landmap, testoneinstant, testoneday, testgrowingseason, tutorial,
                         about, error_frame})
        EXPECT_EQ(background(w), mainColor) << gtk_buildable_get_name(GTK_BUILDABLE(w));
    for (GtkWidget *w : {t1_frame, t2_frame, t3_frame, locale_frame})
        EXPECT_EQ(background(w), frameColor) << gtk_buildable_get_name(GTK_BUILDABLE(w));
    for (GtkWidget *w : {locale_topband, t1_topband, t2_topband, t3_topband, error_topband})
        EXPECT_EQ(background(w), bandColor) << gtk_buildable_get_name(GTK_BUILDABLE(w));
    for (GtkWidget *w : {menu1, startlogging, savelog, tutorial_frame, about_frame})
        EXPECT_NE(background(w), mainColor) << gtk_buildable_get_name(GTK_BUILDABLE(w)) << " is not to be painted";
}

// Start-up's standard error goes to a file. Should the process end inside
// start-up (the toolkit exits when it loses the display, a sanitizer stops on
// an error), what was captured is replayed on the real standard error, so the
// failed test says why instead of ending in silence.
int savedStderr = -1;
char capturePath[] = "/tmp/veranta-stderr-XXXXXX";

void replayCapture() {
    if (savedStderr < 0) return;
    std::fflush(stderr);
    int fd = open(capturePath, O_RDONLY);
    char buffer[4096];
    ssize_t n;
    while (fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0)
        if (write(savedStderr, buffer, static_cast<size_t>(n)) != n) break;
    if (fd >= 0) close(fd);
}

int startWithCapturedStderr(std::string *err) {
    static char arg0[] = "veranta";
    static char *args[] = {arg0, nullptr};
    int argc = 1;
    char **argv = args;
    // Connected before capturing, with retries: a refused connection would
    // otherwise end the process inside start-up.
    if (!gui::connectDisplay()) {
        *err = "cannot open display";
        return -1;
    }
    std::fflush(stderr);
    int fd = mkstemp(capturePath);
    if (fd < 0) {
        *err = "cannot create a capture file";
        return -1;
    }
    savedStderr = dup(2);
    dup2(fd, 2);
    close(fd);
    std::atexit(replayCapture);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(replayCapture);
#endif
    int status = startUp(&argc, &argv);
    std::fflush(stderr);
    dup2(savedStderr, 2);
    close(savedStderr);
    savedStderr = -1;
    *err = gui::readFile(capturePath);
    unlink(capturePath);
    return status;
}

int count(const std::string &s, char c) {
    int n = 0;
    for (char x : s) n += x == c ? 1 : 0;
    return n;
}

}  // namespace

TEST(Shell, StartUpShowsTheMainWindowAloneAndSetsTheFlags) {
    in_use = 7;
    error_watch = 7;
    gui::start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(gui::visible(window));
    EXPECT_TRUE(gtk_widget_get_mapped(window));
    EXPECT_TRUE(gui::visible(menu1));
    GtkWindowPosition position = GTK_WIN_POS_NONE;
    g_object_get(window, "window-position", &position, nullptr);
    EXPECT_EQ(position, GTK_WIN_POS_CENTER);
    EXPECT_EQ(visiblePanels(), 0);
    EXPECT_EQ(in_use, 0);
    EXPECT_EQ(error_watch, 1);
    // The calculate buttons of the test panels start sensitive.
    EXPECT_TRUE(gui::sensitive(t1_calculate));
    EXPECT_TRUE(gui::sensitive(t2_calculate));
    EXPECT_TRUE(gui::sensitive(t3_calculate));
    expectColours();
}

TEST(Shell, DefinitionProvidesEveryIdAndBindsTheHandlers) {
    ASSERT_EQ(std::system("gtk-builder-tool validate " VERANTA_DATA_DIR "/veranta.glade"), 0);
    gui::start();
    const char *ids[] = {
        "window", "fixed0", "menu1", "startlogging", "savelog", "locale", "quit", "oneday", "months",
        "slopes", "testoneinstant", "testoneday", "testgrowingseason", "tutorial", "about", "t1_frame", "t1_fixed",
        "t1_entry1", "t1_entry2", "t1_entry3", "t1_entry4", "t1_entry5", "t1_entry6", "t1_entry7", "t1_entry8",
        "t1_entry9", "t1_entry10", "t1_entry11", "t1_entry12", "t1_calculate", "t1_close", "t1_topband",
        "t1_explanation", "t2_calculate", "t2_close", "t2_frame", "t2_fixed", "t2_frame1", "t2_fixed1",
        "t2_entry1", "t2_entry2", "t2_entry3", "t2_topband", "t3_frame", "t3_fixed", "t3_box", "t3_grid",
        "t3_calculate", "t3_close", "t3_entry1", "t3_entry2", "t3_entry3", "t3_entry4", "t3_entry5", "t3_entry6",
        "t3_entry7", "t3_entry8", "t3_topband", "error_frame", "error_fixed", "error_topband", "error_box",
        "error_grid", "error_close", "c1_window", "c2_window", "locale_frame", "locale_fixed", "locale_entry_lat",
        "locale_entry_lon", "locale_entry_elev", "locale_entry_aspect", "locale_entry_tilt", "locale_clear",
        "locale_save", "locale_close", "locale_topband", "tutorial_frame", "tutorial_fixed", "tutorial_dismiss",
        "about_frame", "about_fixed", "about_dismiss"};
    ASSERT_EQ(sizeof ids / sizeof ids[0], 83u);
    for (const char *id : ids) EXPECT_NE(gtk_builder_get_object(builder, id), nullptr) << id;
    // Each handle is the object of its own id.
    EXPECT_EQ(G_OBJECT(t1_entry12), gtk_builder_get_object(builder, "t1_entry12"));
    EXPECT_EQ(G_OBJECT(locale_entry_tilt), gtk_builder_get_object(builder, "locale_entry_tilt"));
    EXPECT_EQ(G_OBJECT(about_dismiss), gtk_builder_get_object(builder, "about_dismiss"));

    struct Binding {
        GtkWidget *widget;
        const char *signal;
    };
    const Binding bound[] = {
        {locale, "activate"},         {locale_clear, "clicked"},   {locale_save, "clicked"},
        {locale_close, "clicked"},    {quit, "activate"},          {oneday, "activate"},
        {months, "activate"},         {error_close, "clicked"},    {testoneinstant, "activate"},
        {t1_calculate, "clicked"},    {t1_close, "clicked"},       {testoneday, "activate"},
        {t2_calculate, "clicked"},    {t2_close, "clicked"},       {testgrowingseason, "activate"},
        {t3_calculate, "clicked"},    {t3_close, "clicked"},       {tutorial, "activate"},
        {tutorial_dismiss, "clicked"}, {about, "activate"},        {about_dismiss, "clicked"},
    };
    for (const Binding &b : bound) {
        guint id = g_signal_lookup(b.signal, G_OBJECT_TYPE(b.widget));
        EXPECT_TRUE(g_signal_has_handler_pending(b.widget, id, 0, FALSE)) << gtk_buildable_get_name(GTK_BUILDABLE(b.widget));
    }
    // The slope explorer's item is wired in code, not through the definition.
    EXPECT_TRUE(g_signal_has_handler_pending(slopes, g_signal_lookup("activate", GTK_TYPE_MENU_ITEM), 0, FALSE));
    for (GtkWidget *w : {startlogging, savelog})
        EXPECT_FALSE(g_signal_has_handler_pending(w, g_signal_lookup("activate", GTK_TYPE_MENU_ITEM), 0, FALSE));

    // Stored lines hold at most 39 characters; the entries keep texts within that.
    EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(locale_entry_lat)), 28);
    EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(locale_entry_lon)), 27);
    EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(locale_entry_elev)), 27);
    EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(locale_entry_aspect)), 30);
    EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(locale_entry_tilt)), 32);

    // Every field a user reads or types into has a label of its own.
    for (GtkWidget *e : {t1_entry1, t1_entry2, t1_entry3, t1_entry4, t1_entry5, t1_entry6, t1_entry7, t1_entry8,
                         t1_entry9, t1_entry10, t1_entry11, t1_entry12, t2_entry1, t2_entry2, t2_entry3, t3_entry1,
                         t3_entry2, t3_entry3, t3_entry4, t3_entry5, t3_entry6, t3_entry7, t3_entry8, locale_entry_lat,
                         locale_entry_lon, locale_entry_elev, locale_entry_aspect, locale_entry_tilt}) {
        GList *labels = gtk_widget_list_mnemonic_labels(e);
        ASSERT_NE(labels, nullptr) << gtk_buildable_get_name(GTK_BUILDABLE(e));
        EXPECT_STRNE(gtk_label_get_text(GTK_LABEL(labels->data)), "");
        g_list_free(labels);
    }
}

TEST(Shell, OnePanelAtATime) {
    gui::start();
    GtkWidget *const c1Before = c1_window;
    GtkWidget *const c2Before = c2_window;
    struct Opener {
        GtkWidget *item;
        GtkWidget *frame;
        GtkWidget *close;
    };
    const Opener openers[] = {{locale, locale_frame, locale_close},       {testoneinstant, t1_frame, t1_close},
                              {testoneday, t2_frame, t2_close},           {testgrowingseason, t3_frame, t3_close},
                              {tutorial, tutorial_frame, tutorial_dismiss}, {about, about_frame, about_dismiss}};
    GtkWidget *const items[] = {startlogging,   savelog,    locale,            oneday,   months, slopes, landmap,
                                testoneinstant, testoneday, testgrowingseason, tutorial, about};
    // Each panel twice: a closed panel must open again.
    for (int round = 0; round < 2; ++round) {
        for (const Opener &o : openers) {
            SCOPED_TRACE(gtk_buildable_get_name(GTK_BUILDABLE(o.item)));
            ASSERT_EQ(in_use, 0);
            gui::activate(o.item);
            EXPECT_TRUE(gui::visible(o.frame));
            EXPECT_EQ(in_use, 1);
            // What was typed survives: an open frame is not filled again.
            gui::setText(locale_entry_lat, "typed");
            for (GtkWidget *other : items) {
                gui::activate(other);
                EXPECT_EQ(in_use, 1) << gtk_buildable_get_name(GTK_BUILDABLE(other));
                EXPECT_TRUE(gui::visible(o.frame));
                EXPECT_EQ(visiblePanels(), 1) << gtk_buildable_get_name(GTK_BUILDABLE(other));
                EXPECT_TRUE(gui::sensitive(o.item));
            }
            EXPECT_EQ(gui::text(locale_entry_lat), "typed");
            // No calculator was built behind the open panel.
            EXPECT_EQ(c1_window, c1Before);
            EXPECT_EQ(c2_window, c2Before);
            EXPECT_EQ(slopes_open, nullptr);
            EXPECT_EQ(landmap_open, nullptr);
            gui::click(o.close);
            EXPECT_FALSE(gui::visible(o.frame));
            EXPECT_EQ(in_use, 0);
        }
    }
}

TEST(Shell, OpenCalculatorBlocksEveryOtherMenuItem) {
    gui::start();
    GtkWidget *const items[] = {startlogging,   savelog,    locale,            oneday,   months, slopes, landmap,
                                testoneinstant, testoneday, testgrowingseason, tutorial, about};
    for (GtkWidget *calculator : {oneday, months}) {
        SCOPED_TRACE(gtk_buildable_get_name(GTK_BUILDABLE(calculator)));
        GtkWidget *const c1Before = c1_window;
        GtkWidget *const c2Before = c2_window;
        gui::activate(calculator);
        GtkWidget *const open = calculator == oneday ? c1_window : c2_window;
        ASSERT_NE(open, calculator == oneday ? c1Before : c2Before);
        for (GtkWidget *other : items) {
            gui::activate(other);
            EXPECT_EQ(in_use, 1) << gtk_buildable_get_name(GTK_BUILDABLE(other));
            EXPECT_EQ(visiblePanels(), 0) << gtk_buildable_get_name(GTK_BUILDABLE(other));
            EXPECT_EQ(calculator == oneday ? c1_window : c2_window, open);
            EXPECT_EQ(calculator == oneday ? c2_window : c1_window, calculator == oneday ? c2Before : c1Before);
            EXPECT_TRUE(gui::visible(open));
            EXPECT_EQ(slopes_open, nullptr);
            EXPECT_EQ(landmap_open, nullptr);
        }
        gtk_window_close(GTK_WINDOW(open));
        gui::pump();
        ASSERT_EQ(in_use, 0);
    }
}

TEST(Shell, TutorialAndAboutOpenWithTheirDismissButtonUsable) {
    gui::start();
    gtk_widget_set_sensitive(tutorial_dismiss, FALSE);
    gtk_widget_set_sensitive(about_dismiss, FALSE);
    gui::activate(tutorial);
    EXPECT_TRUE(gui::sensitive(tutorial_dismiss));
    gui::click(tutorial_dismiss);
    gui::activate(about);
    EXPECT_TRUE(gui::visible(about_frame));
    EXPECT_TRUE(gui::sensitive(about_dismiss));
    gui::click(about_dismiss);
    EXPECT_EQ(visiblePanels(), 0);
    EXPECT_EQ(in_use, 0);
}

namespace {
void collectLabelTexts(GtkWidget *widget, std::vector<std::string> *out) {
    if (GTK_IS_LABEL(widget)) out->push_back(gtk_label_get_text(GTK_LABEL(widget)));
    if (!GTK_IS_CONTAINER(widget)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *l = children; l != nullptr; l = l->next) collectLabelTexts(GTK_WIDGET(l->data), out);
    g_list_free(children);
}
}  // namespace

TEST(Shell, AboutShowsTheVersionThatWasBuilt) {
    gui::start();
    gui::activate(about);
    std::vector<std::string> texts;
    collectLabelTexts(about_frame, &texts);
    int found = 0;
    for (const std::string &t : texts) found += t == "version " VERANTA_VERSION ? 1 : 0;
    EXPECT_EQ(found, 1) << "the about panel should name version " VERANTA_VERSION;
}

TEST(Shell, LoggingItemsDoNothing) {
    gui::start();
    for (int open = 0; open < 2; ++open) {
        if (open == 1) gui::activate(about);
        const int inUse = in_use;
        const int panelsShown = visiblePanels();
        gui::activate(startlogging);
        gui::activate(savelog);
        EXPECT_EQ(in_use, inUse);
        EXPECT_EQ(visiblePanels(), panelsShown);
        EXPECT_EQ(gui::visible(about_frame), open == 1);
        EXPECT_TRUE(gui::visible(window));
    }
}

namespace {
bool guardFired = false;
gboolean guard(gpointer) {
    guardFired = true;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}
}  // namespace

TEST(Shell, QuitEndsTheMainLoopWithAPanelOpen) {
    gui::start();
    gui::activate(testoneinstant);
    g_idle_add(
        [](gpointer) -> gboolean {
            gtk_menu_item_activate(GTK_MENU_ITEM(quit));
            return G_SOURCE_REMOVE;
        },
        nullptr);
    guint timeout = g_timeout_add_seconds(20, guard, nullptr);
    gtk_main();
    EXPECT_FALSE(guardFired) << "quit did not end the main loop";
    if (!guardFired) g_source_remove(timeout);
    // Nothing is closed on the way out.
    EXPECT_TRUE(gui::visible(t1_frame));
    EXPECT_EQ(in_use, 1);
}

TEST(Shell, ClosingTheMainWindowEndsTheMainLoop) {
    gui::start();
    gui::activate(about);
    g_idle_add(
        [](gpointer) -> gboolean {
            gtk_widget_destroy(window);
            return G_SOURCE_REMOVE;
        },
        nullptr);
    guint timeout = g_timeout_add_seconds(20, guard, nullptr);
    gtk_main();
    EXPECT_FALSE(guardFired) << "destroying the main window did not end the main loop";
    if (!guardFired) g_source_remove(timeout);
}

TEST(Shell, ErrorCloseReturnsToTheCalculatorLastOpened) {
    gui::start();
    GtkWidget *one = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget *many = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    c1_window = one;
    c2_window = many;
    in_use = 1;

    // The one-day calculator found its location outside the region.
    oneormany = 1;
    gtk_widget_show(error_frame);
    gui::pump();
    gui::click(error_close);
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_EQ(error_watch, 0);
    EXPECT_TRUE(gui::visible(one));
    EXPECT_FALSE(gui::visible(many));
    EXPECT_EQ(in_use, 1);

    gtk_widget_hide(one);
    oneormany = 2;
    gtk_widget_show(error_frame);
    gui::click(error_close);
    EXPECT_FALSE(gui::visible(error_frame));
    EXPECT_FALSE(gui::visible(one));
    EXPECT_TRUE(gui::visible(many));
    EXPECT_EQ(error_watch, 0);
    EXPECT_EQ(in_use, 1);

    // No calculator opened yet: nothing to bring back.
    gtk_widget_hide(many);
    oneormany = 0;
    gtk_widget_show(error_frame);
    gui::click(error_close);
    EXPECT_FALSE(gui::visible(one));
    EXPECT_FALSE(gui::visible(many));
    EXPECT_EQ(error_watch, 0);

    gtk_widget_destroy(one);
    gtk_widget_destroy(many);
}

TEST(Shell, MissingStyleSheetStillStartsWithTheColours) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(true, false);
    std::string err;
    ASSERT_EQ(startWithCapturedStderr(&err), 0);
    gui::pump();
    EXPECT_TRUE(gui::visible(window));
    EXPECT_EQ(visiblePanels(), 0);
    // The toolkit may warn; a line of our own would start with the program's name.
    EXPECT_NE(err.rfind("veranta: ", 0), 0u) << err;
    EXPECT_EQ(err.find("\nveranta: "), std::string::npos) << err;
    expectColours();
}

TEST(Shell, MissingDefinitionEndsStartUpWithOneLine) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(false, true);
    std::string err;
    EXPECT_EQ(startWithCapturedStderr(&err), 1);
    EXPECT_NE(err.find("veranta.glade"), std::string::npos) << err;
    EXPECT_EQ(count(err, '\n'), 1) << err;
    EXPECT_EQ(window, nullptr);
    GList *tops = gtk_window_list_toplevels();
    for (GList *l = tops; l != nullptr; l = l->next) EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(l->data)));
    g_list_free(tops);
}

TEST(Shell, MalformedDefinitionEndsStartUpWithTheLoadersMessage) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(false, true);
    gui::writeFile("veranta.glade", "<interface>\n  <object class=\"GtkWindow\" id=\"window\">\n</interface>\n");
    std::string err;
    EXPECT_EQ(startWithCapturedStderr(&err), 1);
    EXPECT_EQ(err.rfind("veranta: ", 0), 0u) << err;
    EXPECT_NE(err.find("veranta.glade"), std::string::npos) << err;
    EXPECT_NE(err.find("line 3"), std::string::npos) << "the loader's own message: " << err;
    EXPECT_EQ(count(err, '\n'), 1) << err;
    EXPECT_EQ(window, nullptr);
}

TEST(Shell, DefinitionWithoutMainWindowEndsStartUp) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(false, true);
    // Cut short: the loader accepts it but builds nothing.
    gui::writeFile("veranta.glade", "<interface>\n  <object class=\"GtkWindow\" id=\"window\">\n");
    std::string err;
    EXPECT_EQ(startWithCapturedStderr(&err), 1);
    EXPECT_EQ(err.rfind("veranta: ", 0), 0u) << err;
    EXPECT_NE(err.find("veranta.glade"), std::string::npos) << err;
    EXPECT_EQ(count(err, '\n'), 1) << err;
    EXPECT_EQ(window, nullptr);
}

TEST(Shell, ProgramExitsWithStatusOneWithoutItsDefinition) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(false, true);
    std::string command = std::string("'") + VERANTA_EXE + "' 2>stderr.txt >/dev/null";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string err = gui::readFile("stderr.txt");
    EXPECT_EQ(err.rfind("veranta: ", 0), 0u) << err;
    EXPECT_NE(err.find("veranta.glade"), std::string::npos) << err;
    EXPECT_EQ(count(err, '\n'), 1) << err;
}

// Start-up with a UI definition or style sheet that is no regular file: the
// alarm turns a start-up that blocks or reads forever into a failure.
TEST(Shell, DefinitionThatIsAFifoEndsStartUpWithOneLine) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(false, true);
    ASSERT_EQ(mkfifo("veranta.glade", 0644), 0);
    std::string err;
    alarm(20);
    EXPECT_EQ(startWithCapturedStderr(&err), 1);
    alarm(0);
    EXPECT_EQ(err, "veranta: cannot load the user interface veranta.glade: it is not a regular file\n");
    EXPECT_EQ(window, nullptr);
}

TEST(Shell, StyleSheetThatIsNoRegularFileIsSkipped) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(true, false);
    ASSERT_EQ(mkfifo("veranta.css", 0644), 0);
    std::string err;
    alarm(20);
    ASSERT_EQ(startWithCapturedStderr(&err), 0);
    alarm(0);
    gui::pump();
    EXPECT_TRUE(gui::visible(window));
    expectColours();
}

TEST(Shell, StyleSheetLinkedToADeviceIsSkipped) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    gui::enterTempDir(true, false);
    ASSERT_EQ(symlink("/dev/zero", "veranta.css"), 0);
    std::string err;
    alarm(20);
    ASSERT_EQ(startWithCapturedStderr(&err), 0);
    alarm(0);
    gui::pump();
    EXPECT_TRUE(gui::visible(window));
    expectColours();
}
