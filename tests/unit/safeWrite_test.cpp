// The safe writer on real files in a private folder.
#include "files/safeWrite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veranta-write-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string at(const std::string &name) const { return dir_ + "/" + name; }
    static std::string content(const std::string &path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void put(const std::string &path, const std::string &text, mode_t mode) {
        std::ofstream(path) << text;
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
    }
    static mode_t modeOf(const std::string &path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // Every name in the folder: no temporary file may be left behind.
    int entries() const {
        int n = 0;
        DIR *d = opendir(dir_.c_str());
        while (dirent *e = readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        closedir(d);
        return n;
    }
    std::string dir_;
};

TEST_F(SafeWrite, ReplacesWholeKeepingModeAndLinks) {
    put(at("old"), "old content", 0600);
    ASSERT_EQ(symlink("old", at("link").c_str()), 0);
    ASSERT_EQ(symlink(at("link").c_str(), at("link2").c_str()), 0);
    std::string error;
    ASSERT_TRUE(writeFileSafely(at("link2"), "new", 3, &error)) << error;
    EXPECT_EQ(content(at("old")), "new");
    EXPECT_EQ(modeOf(at("old")), 0600u);
    struct stat st;
    ASSERT_EQ(lstat(at("link2").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(entries(), 3);

    // A new file gets the mode any new file gets.
    mode_t mask = umask(022);
    ASSERT_TRUE(writeFileSafely(at("fresh"), "x", 1, &error)) << error;
    umask(mask);
    EXPECT_EQ(modeOf(at("fresh")), 0644u);
    EXPECT_EQ(entries(), 4);
}

TEST_F(SafeWrite, RefusesWhatMustStayAndLeavesNothing) {
    put(at("protected"), "keep", 0444);
    ASSERT_EQ(mkfifo(at("fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(at("folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink("loop", at("loop").c_str()), 0);
    ASSERT_EQ(symlink("/dev/null", at("device").c_str()), 0);
    struct Case {
        const char *name;
        const char *why;
    } cases[] = {{"protected", "write-protected"}, {"fifo", "not a regular file"}, {"folder", "folder"},
                 {"loop", "link"},                 {"device", "not a regular file"}, {"missing/file", "folder"}};
    for (const Case &c : cases) {
        std::string error;
        EXPECT_FALSE(writeFileSafely(at(c.name), "new", 3, &error)) << c.name;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.name << ": " << error;
    }
    EXPECT_EQ(content(at("protected")), "keep");
    EXPECT_EQ(entries(), 5);
}

TEST_F(SafeWrite, NamedWritersCommitOrAbandon) {
    put(at("out"), "old", 0640);
    safe_write w;
    std::string error;
    ASSERT_TRUE(beginSafeWrite(at("out"), &w, &error)) << error;
    std::ofstream(w.temp_path) << "given up";
    abandonSafeWrite(&w);
    EXPECT_EQ(content(at("out")), "old");
    EXPECT_EQ(entries(), 1);

    // A target that turns into a folder while the content is written stays.
    ASSERT_TRUE(beginSafeWrite(at("out"), &w, &error)) << error;
    std::ofstream(w.temp_path) << "new";
    ASSERT_EQ(unlink(at("out").c_str()), 0);
    ASSERT_EQ(mkdir(at("out").c_str(), 0755), 0);
    EXPECT_FALSE(commitSafeWrite(&w, &error));
    EXPECT_EQ(entries(), 1);
    ASSERT_EQ(rmdir(at("out").c_str()), 0);
    put(at("out"), "old", 0640);

    ASSERT_TRUE(beginSafeWrite(at("out"), &w, &error)) << error;
    std::ofstream(w.temp_path) << "new";
    ASSERT_TRUE(commitSafeWrite(&w, &error)) << error;
    EXPECT_EQ(content(at("out")), "new");
    EXPECT_EQ(modeOf(at("out")), 0640u);
    EXPECT_EQ(entries(), 1);
}

// A writer killed before it cleaned up leaves its temporary file; the next
// write into the folder removes it, and only it: a live writer's (this
// process's, or pid 1's), another host's, one still locked and a file not
// named like ours all stay.
TEST_F(SafeWrite, TemporariesOfWritersThatAreGoneAreRemoved) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        safe_write w;
        _exit(beginSafeWrite(at("killed.tif"), &w, nullptr) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(entries(), 1) << "the killed writer's temporary file";
    safe_write held;
    ASSERT_TRUE(beginSafeWrite(at("held.tif"), &held, nullptr));
    EXPECT_EQ(entries(), 1) << "the killed writer's gone, the live one's come";
    // ".held.tif.veranta-PID-HOST-RANDOM.tmp": this host's id from our own.
    const std::string mine = held.temp_path.substr(held.temp_path.rfind('/') + 1);
    const size_t mark = mine.find(".veranta-");
    ASSERT_NE(mark, std::string::npos) << mine;
    const std::string host = mine.substr(mine.find('-', mark + 9) + 1, 8);
    const std::string dead = std::to_string(child);
    const struct {
        std::string name;
        bool stays;
    } cases[] = {
        {".out.tif.veranta-" + dead + "-" + host + "-0badf00d.tmp", false},
        {".out.tif.veranta-1-" + host + "-0badf00d.tmp", true},
        {".out.tif.veranta-" + dead + "-" + (host == "00000000" ? "11111111" : "00000000") + "-0badf00d.tmp", true},
        {".locked.tif.veranta-" + dead + "-" + host + "-0badf00d.tmp", true},
        {".out.tif.veranta-" + dead + "-" + host + "-0badf00d.tmp.keep", true},
        {".out.tif.1234abcd.tmp", true},
    };
    for (const auto &c : cases) put(at(c.name), "x", 0644);
    const int lock = open(at(cases[3].name).c_str(), O_RDONLY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const int before = entries();

    ASSERT_TRUE(writeFileSafely(at("next.tif"), "new", 3, nullptr));
    EXPECT_EQ(entries(), before - 1 + 1) << "the first case goes, next.tif comes";
    for (const auto &c : cases) EXPECT_EQ(access(at(c.name).c_str(), F_OK) == 0, c.stays) << c.name;
    EXPECT_EQ(access(held.temp_path.c_str(), F_OK), 0) << "a live writer's";
    close(lock);
    abandonSafeWrite(&held);
}

// A name that fits the folder is written, however long: the temporary's
// name is shortened (at a character's start) to fit beside it.
TEST_F(SafeWrite, AnyNameThatFitsIsWritten) {
    // Two bytes a letter, the letters starting at an even or an odd byte,
    // so that one of the names must be cut between two letters' bytes.
    const struct {
        size_t length;
        const char *first;
    } names[] = {{250, ""}, {255, ""}, {255, "x"}};
    for (const auto &n : names) {
        const size_t length = n.length;
        std::string name = n.first;   // "ééé...é.tif"
        while (name.size() + 2 <= length - 4) name += "\xc3\xa9";
        if (name.size() < length - 4) name += "y";
        name += ".tif";
        ASSERT_EQ(name.size(), length);
        safe_write w;
        std::string error;
        ASSERT_TRUE(beginSafeWrite(at(name), &w, &error)) << length << ": " << error;
        const std::string temp = w.temp_path.substr(w.temp_path.rfind('/') + 1);
        EXPECT_LE(temp.size(), 255u) << length;
        EXPECT_NE(temp.find(".veranta-"), std::string::npos) << temp;
        EXPECT_NE(static_cast<unsigned char>(temp[temp.find(".veranta-") - 1]) & 0xC0, 0xC0u)
            << "cut inside a character: " << temp;
        std::ofstream(w.temp_path) << "long";
        ASSERT_TRUE(commitSafeWrite(&w, &error)) << length << ": " << error;
        EXPECT_EQ(content(at(name)), "long");
    }
    EXPECT_EQ(entries(), 3);
}

}  // namespace
