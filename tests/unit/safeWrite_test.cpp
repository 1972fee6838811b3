// The safe writer on real files in a private folder.
#include "files/safeWrite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
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

}  // namespace
