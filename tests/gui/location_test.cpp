// The location frame driven through the menu: what it shows, what it stores
// in locale.txt, and that a failed save leaves everything as it was.
#include "gui_support.h"

#include "location/readLocale.h"
#include "model/model.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const stored =
    "latitude  44.133\nlongitude  -123.214\nelevation  114\naspect  180\ntilt  10\n";
const char *const savedForm =
    "latitude   44.1330\nlongitude  -123.2140\nelevation     114.0\naspect     180.0\ntilt      10.0\n";
const char *const failureMessage = "\nCould not open locale.txt for writing\n";

std::vector<GtkWidget *> entries() {
    return {locale_entry_lat, locale_entry_lon, locale_entry_elev, locale_entry_aspect, locale_entry_tilt};
}

std::vector<std::string> shown() {
    std::vector<std::string> out;
    for (GtkWidget *e : entries()) out.push_back(gui::text(e));
    return out;
}

void setAll(const char *value) {
    for (GtkWidget *e : entries()) gui::setText(e, value);
}

void openFrame(const char *content) {
    gui::start();
    if (content != nullptr) gui::writeFile("locale.txt", content);
    gui::activate(locale);
}

void reopen() {
    gui::click(locale_close);
    EXPECT_FALSE(gui::visible(locale_frame));
    gui::activate(locale);
}

void expectSite(float lat, float lon, float elev, float aspect, float tilt) {
    EXPECT_EQ(active_latitude, lat);
    EXPECT_EQ(active_longitude, lon);
    EXPECT_EQ(active_elev, elev);
    EXPECT_EQ(active_aspect, aspect);
    EXPECT_EQ(active_tilt, tilt);
}

void expectButtons(bool clearAndSave) {
    EXPECT_EQ(gui::sensitive(locale_clear), clearAndSave);
    EXPECT_EQ(gui::sensitive(locale_save), clearAndSave);
    EXPECT_TRUE(gui::sensitive(locale_close));
}

std::string message() { return gtk_label_get_text(GTK_LABEL(locale_message)); }

bool marked(GtkWidget *entry) { return gtk_style_context_has_class(gtk_widget_get_style_context(entry), "error"); }

bool exists(const char *name) {
    struct stat st;
    return stat(name, &st) == 0;
}

int leftoverTempFiles() {
    int n = 0;
    DIR *dir = opendir(".");
    if (dir == nullptr) return -1;
    for (dirent *e = readdir(dir); e != nullptr; e = readdir(dir)) {
        // The writer's temporary names carry the file's name with a suffix.
        if (std::strstr(e->d_name, "locale.txt.") != nullptr) n++;
    }
    closedir(dir);
    return n;
}

TEST(Location, ShowsStoredSiteInDisplayFormats) {
    gui::start();
    gui::writeFile("locale.txt", stored);
    active_minute = 7;
    active_second = 9;
    gui::activate(locale);

    EXPECT_TRUE(gui::visible(locale_frame));
    EXPECT_EQ(in_use, 1);
    EXPECT_EQ(haveprefs, 1);
    EXPECT_EQ(shown(), (std::vector<std::string>{" 44.1330", "-123.2140", "   114.0", "   180.0", "    10.0"}));
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
    EXPECT_EQ(active_temp, 15.0f);
    EXPECT_EQ(active_press, 1006.0f);
    EXPECT_EQ(active_timezone, -8.0f);
    EXPECT_EQ(active_hour, 12);
    EXPECT_EQ(active_minute, 0);
    EXPECT_EQ(active_second, 0);
    EXPECT_EQ(active_dt, 1);
    EXPECT_TRUE(gtk_entry_get_has_frame(GTK_ENTRY(locale_entry_lat)));
    expectButtons(true);
}

TEST(Location, SaveWritesEntryTextsAndRoundTrips) {
    openFrame(stored);
    testing::internal::CaptureStdout();
    gui::click(locale_save);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    bool found = false;
    EXPECT_EQ(gui::readFile("locale.txt", &found), savedForm);
    EXPECT_TRUE(found);
    EXPECT_EQ(leftoverTempFiles(), 0);
    expectButtons(false);
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);

    active_latitude = active_longitude = active_elev = active_aspect = active_tilt = 0.0f;
    readLocale();
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);

    reopen();
    expectButtons(true);
    EXPECT_EQ(shown(), (std::vector<std::string>{" 44.1330", "-123.2140", "   114.0", "   180.0", "    10.0"}));
}

TEST(Location, UnnamedParameterIsShownAndOneDecimalIsSavedRounded) {
    gui::start();
    gui::writeFile("locale.txt", "lat 44\nlon -123\nele 100\nasp 90\n");
    active_tilt = 33.65f;
    gui::activate(locale);
    EXPECT_EQ(gui::text(locale_entry_tilt), "    33.7");

    gui::click(locale_save);
    EXPECT_EQ(gui::readFile("locale.txt"),
              "latitude   44.0000\nlongitude  -123.0000\nelevation     100.0\naspect      90.0\ntilt      33.7\n");
    EXPECT_EQ(active_tilt, 33.7f);
}

TEST(Location, OnlyLatitudeFilledStillWritesFiveLines) {
    openFrame(stored);
    setAll("");
    gui::setText(locale_entry_lat, "44.5");
    gui::click(locale_save);

    EXPECT_EQ(gui::readFile("locale.txt"), "latitude  44.5\nlongitude  \nelevation  \naspect  \ntilt  \n");
    expectSite(44.5f, 0.0f, 0.0f, 0.0f, 0.0f);
    expectButtons(false);
    active_longitude = 9.0f;
    readLocale();
    expectSite(44.5f, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST(Location, SaveWithAllEntriesEmptyRemovesTheFile) {
    openFrame(stored);
    setAll("");
    gui::click(locale_save);

    EXPECT_FALSE(exists("locale.txt"));
    EXPECT_EQ(leftoverTempFiles(), 0);
    expectSite(0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    expectButtons(false);
    // No file was saved, and the frame does not say one was.
    EXPECT_EQ(message().rfind("Nothing to store", 0), 0u) << message();
}

TEST(Location, ClearForgetsFileButNotParameters) {
    openFrame(stored);
    // Clear leaves every button as it was.
    gtk_widget_set_sensitive(locale_save, FALSE);
    gui::click(locale_clear);
    EXPECT_FALSE(gui::sensitive(locale_save));
    gtk_widget_set_sensitive(locale_save, TRUE);

    EXPECT_FALSE(exists("locale.txt"));
    EXPECT_EQ(shown(), std::vector<std::string>(5, ""));
    EXPECT_EQ(haveprefs, 0);
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
    expectButtons(true);
    EXPECT_TRUE(gui::visible(locale_frame));

    reopen();
    EXPECT_EQ(shown(), std::vector<std::string>(5, ""));
    EXPECT_EQ(haveprefs, 0);
}

TEST(Location, UnsavedTypingReappearsWithoutFile) {
    openFrame(nullptr);
    EXPECT_EQ(haveprefs, 0);
    gui::setText(locale_entry_lat, "12.5");
    gui::setText(locale_entry_tilt, "steep");
    reopen();
    EXPECT_EQ(gui::text(locale_entry_lat), "12.5");
    EXPECT_EQ(gui::text(locale_entry_tilt), "steep");
    EXPECT_FALSE(exists("locale.txt"));
}

TEST(Location, OverlongEntryTextIsCutToOneLine) {
    openFrame(stored);
    // Lift the UI's cap to reach the writer's own bound: 32 characters of tilt.
    gtk_entry_set_max_length(GTK_ENTRY(locale_entry_tilt), 0);
    gtk_entry_set_max_length(GTK_ENTRY(locale_entry_aspect), 0);
    std::string tilt = "12.5" + std::string(56, '0');
    gui::setText(locale_entry_tilt, tilt.c_str());
    // Only numbers are stored, so a long text is a number with white space
    // around it; cut to its 30 characters it still reads the same.
    std::string aspect = "7" + std::string(40, ' ');
    gui::setText(locale_entry_aspect, aspect.c_str());
    gui::click(locale_save);

    std::string file = gui::readFile("locale.txt");
    EXPECT_NE(file.find("\ntilt  " + tilt.substr(0, 32) + "\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\naspect  " + aspect.substr(0, 30) + "\n"), std::string::npos) << file;
    EXPECT_EQ(active_tilt, 12.5f);
    readLocale();
    EXPECT_EQ(active_tilt, 12.5f);
    EXPECT_EQ(active_aspect, 7.0f);
}

// Types a new latitude, makes the save fail by breakIt, and checks that the
// message is printed and nothing else changed.
void expectFailedSave(void (*breakIt)(), void (*repair)(), bool storedFileStays = true) {
    gui::setText(locale_entry_lat, "1.0");
    testing::internal::CaptureStdout();
    breakIt();
    gtk_button_clicked(GTK_BUTTON(locale_save));
    repair();
    gui::pump();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), failureMessage);
    // Said in the frame too, until the next action.
    EXPECT_TRUE(gui::visible(locale_message));
    EXPECT_EQ(message().rfind("Not saved: ", 0), 0u) << message();

    if (storedFileStays) {
        EXPECT_EQ(gui::readFile("locale.txt"), stored);
    }
    EXPECT_EQ(leftoverTempFiles(), 0);
    EXPECT_EQ(gui::text(locale_entry_lat), "1.0");
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
    expectButtons(true);
    EXPECT_EQ(haveprefs, 1);
}

rlimit savedLimit;

// Sets the soft limit of a resource, keeping the old one for restoreLimit.
void limit(int resource, rlim_t value) {
    ASSERT_EQ(getrlimit(resource, &savedLimit), 0);
    rlimit r = savedLimit;
    r.rlim_cur = value;
    ASSERT_EQ(setrlimit(resource, &r), 0);
}

void restoreLimit(int resource) { ASSERT_EQ(setrlimit(resource, &savedLimit), 0); }

TEST(Location, SaveThatCannotCreateItsFileChangesNothing) {
    openFrame(stored);
    expectFailedSave([] { limit(RLIMIT_NOFILE, 0); }, [] { restoreLimit(RLIMIT_NOFILE); });
}

TEST(Location, SaveWhoseWritesFailKeepsTheStoredFile) {
    openFrame(stored);
    std::signal(SIGXFSZ, SIG_IGN);
    // Room for the message in the captured output, not for the five lines.
    expectFailedSave([] { limit(RLIMIT_FSIZE, 64); }, [] { restoreLimit(RLIMIT_FSIZE); });
}

TEST(Location, SaveThatCannotReplaceTheFileChangesNothing) {
    openFrame(stored);
    ASSERT_EQ(std::remove("locale.txt"), 0);
    ASSERT_EQ(mkdir("locale.txt", 0755), 0);
    expectFailedSave([] {}, [] {}, false);
    struct stat st;
    ASSERT_EQ(stat("locale.txt", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// Root writes into any folder; the save then runs as an unprivileged user.
const uid_t nobody = 65534;
void dropPrivileges() {
    if (getuid() == 0) {
        ASSERT_EQ(seteuid(nobody), 0);
    }
}
void regainPrivileges() {
    if (getuid() == 0) {
        ASSERT_EQ(seteuid(0), 0);
    }
}

TEST(Location, SaveIntoReadOnlyFolderChangesNothing) {
    openFrame(stored);
    ASSERT_EQ(chmod(".", 0555), 0);
    dropPrivileges();
    bool writable = faccessat(AT_FDCWD, ".", W_OK, AT_EACCESS) == 0;
    regainPrivileges();
    if (writable) {
        chmod(".", 0755);
        GTEST_SKIP() << "permissions do not stop this user from writing";
    }
    expectFailedSave(dropPrivileges, regainPrivileges);
    chmod(".", 0755);
}

TEST(Location, DecimalCommaDesktopStillReadsAndWritesDecimalPoints) {
    // A desktop that writes 44,133 must not cost the stored site its
    // decimals: the entries and the file keep the decimal point.
    char dir[] = "/tmp/veranta-locale-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string build = std::string("localedef -i de_DE -f UTF-8 ") + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) {
        rmdir(dir);
        GTEST_SKIP() << "cannot build a decimal-comma locale here";
    }
    setenv("LOCPATH", dir, 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    openFrame(stored);
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "de_DE.UTF-8") << "the desktop's locale was not taken";

    EXPECT_EQ(shown(), (std::vector<std::string>{" 44.1330", "-123.2140", "   114.0", "   180.0", "    10.0"}));
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
    gui::click(locale_save);
    EXPECT_EQ(gui::readFile("locale.txt"), savedForm);
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

TEST(Location, SaveRefusesTextThatIsNoFiniteNumber) {
    openFrame(stored);
    struct Case {
        GtkWidget *entry;
        const char *text;
        const char *said;
    } cases[] = {
        {locale_entry_lat, "44,13", "latitude \"44,13\" is not a plain number"},
        {locale_entry_lon, "-123\xc2\xb0" "12", "longitude \"-123\xc2\xb0" "12\" is not a plain number"},
        {locale_entry_elev, "abc", "elevation \"abc\" is not a number"},
        {locale_entry_aspect, "nan", "aspect \"nan\" is not a finite number"},
        {locale_entry_tilt, "1e999", "tilt \"1e999\" is not a finite number"},
        {locale_entry_lat, "inf", "latitude \"inf\" is not a finite number"},
        {locale_entry_lat, "  ", "latitude \"  \" is not a number"},
    };
    for (const Case &c : cases) {
        std::string before = gui::text(c.entry);
        gui::setText(c.entry, c.text);
        testing::internal::CaptureStdout();
        gui::click(locale_save);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.text;
        EXPECT_EQ(gui::readFile("locale.txt"), stored) << c.text;
        EXPECT_NE(message().find(c.said), std::string::npos) << message();
        EXPECT_TRUE(gui::visible(locale_message)) << c.text;
        EXPECT_TRUE(marked(c.entry)) << c.text;
        expectSite(44.133f, -123.214f, 114.0f, 180.0f, 10.0f);
        expectButtons(true);
        gui::setText(c.entry, before.c_str());
    }

    // The next action takes the refusal and the mark away; empty entries are
    // stored as described, and the frame says where and that no calculator
    // takes an empty tilt.
    gui::setText(locale_entry_tilt, "");
    gui::click(locale_save);
    EXPECT_EQ(message().rfind("Saved in ", 0), 0u) << message();
    EXPECT_NE(message().find("/locale.txt. It is kept as typed, but no calculator accepts an empty tilt (read as 0)."),
              std::string::npos)
        << message();
    EXPECT_FALSE(marked(locale_entry_lat));
    EXPECT_EQ(gui::readFile("locale.txt"),
              "latitude   44.1330\nlongitude  -123.2140\nelevation     114.0\naspect     180.0\ntilt  \n");
    expectSite(44.133f, -123.214f, 114.0f, 180.0f, 0.0f);
}

TEST(Location, FailedClearIsSaidInTheFrame) {
    openFrame(stored);
    ASSERT_EQ(chmod(".", 0555), 0);
    dropPrivileges();
    gui::click(locale_clear);
    bool deleted = !exists("locale.txt");
    regainPrivileges();
    chmod(".", 0755);
    if (deleted) GTEST_SKIP() << "permissions do not stop this user from deleting";
    EXPECT_TRUE(gui::visible(locale_message));
    EXPECT_EQ(message().rfind("Not cleared: ", 0), 0u) << message();
    // Until the next action: opening the frame again.
    reopen();
    EXPECT_FALSE(gui::visible(locale_message));
}

TEST(Location, ReadOnlyLocaleFileIsNotReplaced) {
    openFrame(stored);
    ASSERT_EQ(chmod("locale.txt", 0444), 0);
    // The folder is anyone's, so only the file's own protection stands.
    ASSERT_EQ(chmod(".", 0777), 0);
    dropPrivileges();
    bool writable = faccessat(AT_FDCWD, "locale.txt", W_OK, AT_EACCESS) == 0;
    regainPrivileges();
    if (writable) GTEST_SKIP() << "permissions do not stop this user from writing";
    expectFailedSave(dropPrivileges, regainPrivileges);
    EXPECT_NE(message().find("write-protected"), std::string::npos) << message();
    struct stat st;
    ASSERT_EQ(stat("locale.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    // An empty site would delete it: refused the same way.
    setAll("");
    testing::internal::CaptureStdout();
    dropPrivileges();
    gtk_button_clicked(GTK_BUTTON(locale_save));
    regainPrivileges();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), failureMessage);
    EXPECT_EQ(gui::readFile("locale.txt"), stored);
}

TEST(Location, LinkedLocaleFileHasItsTargetReplaced) {
    openFrame(nullptr);
    ASSERT_EQ(mkdir("sites", 0755), 0);
    gui::writeFile("sites/farm.txt", stored);
    ASSERT_EQ(chmod("sites/farm.txt", 0604), 0);
    ASSERT_EQ(symlink("sites/farm.txt", "locale.txt"), 0);
    reopen();
    ASSERT_EQ(haveprefs, 1);
    gui::setText(locale_entry_tilt, "12.5");
    gui::click(locale_save);

    struct stat st;
    ASSERT_EQ(lstat("locale.txt", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(gui::readFile("sites/farm.txt"),
              "latitude   44.1330\nlongitude  -123.2140\nelevation     114.0\naspect     180.0\ntilt  12.5\n");
    ASSERT_EQ(stat("sites/farm.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
    EXPECT_EQ(leftoverTempFiles(), 0);
    std::error_code ignored;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("sites", ignored), {}), 1);

    // A link to a file not there yet creates it; an empty site removes the
    // link and leaves the file.
    ASSERT_EQ(std::remove("sites/farm.txt"), 0);
    reopen();
    gui::setText(locale_entry_lat, "44.5");
    gui::click(locale_save);
    ASSERT_EQ(lstat("locale.txt", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(gui::readFile("sites/farm.txt").rfind("latitude  44.5\n", 0), 0u);
    reopen();
    setAll("");
    gui::click(locale_save);
    EXPECT_FALSE(exists("locale.txt"));
    EXPECT_TRUE(exists("sites/farm.txt"));
}

TEST(Location, NumbersTooWideForTheEntryAreShownAsReadAndSavedSo) {
    openFrame("latitude  1e38\nlongitude  -3.4028234e38\nelevation  1e30\naspect  180\ntilt  1e-3\n");
    struct Case {
        GtkWidget *entry;
        float *value;
        float read;
    } cases[] = {{locale_entry_lat, &active_latitude, 1e38f},
                 {locale_entry_lon, &active_longitude, -3.4028234e38f},
                 {locale_entry_elev, &active_elev, 1e30f}};
    for (const Case &c : cases) {
        std::string text = gui::text(c.entry);
        EXPECT_LE(static_cast<int>(text.size()), gtk_entry_get_max_length(GTK_ENTRY(c.entry))) << text;
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), c.read) << text;
    }
    // Numbers that fit keep the display format, rounding included.
    EXPECT_EQ(gui::text(locale_entry_aspect), "   180.0");
    EXPECT_EQ(gui::text(locale_entry_tilt), "     0.0");

    gui::click(locale_save);
    for (const Case &c : cases) *c.value = 0.0f;
    readLocale();
    for (const Case &c : cases) EXPECT_EQ(*c.value, c.read);
}

TEST(Location, ClearKeepsAWriteProtectedFileAsSaveDoes) {
    openFrame(stored);
    ASSERT_EQ(chmod("locale.txt", 0444), 0);
    testing::internal::CaptureStdout();
    gui::click(locale_clear);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(gui::readFile("locale.txt"), stored);
    EXPECT_EQ(message(), "Not cleared: the file is write-protected. The stored location is unchanged.");
    EXPECT_EQ(gui::text(locale_entry_lat), " 44.1330");
    EXPECT_EQ(haveprefs, 1);
}

TEST(Location, FifoLocaleFileNeitherBlocksNorIsDeleted) {
    gui::start();
    ASSERT_EQ(mkfifo("locale.txt", 0644), 0);
    alarm(20);
    gui::activate(locale);
    EXPECT_EQ(haveprefs, 0);
    gui::click(locale_clear);
    alarm(0);
    struct stat st;
    ASSERT_EQ(lstat("locale.txt", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // Nothing was removed, and the frame does not claim otherwise.
    EXPECT_EQ(message().find("removed"), std::string::npos) << message();
}

}  // namespace
