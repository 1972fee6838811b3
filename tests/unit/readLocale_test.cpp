// readLocale on real files in a private working folder.
#include "location/readLocale.h"
#include "model/model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ReadLocale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(oldDir_, sizeof oldDir_), nullptr);
        char pattern[] = "/tmp/veranta-unit-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        // Marker values, so that "kept" can be told from "set to 0".
        active_latitude = 1.5f;
        active_longitude = 2.5f;
        active_elev = 3.5f;
        active_aspect = 4.5f;
        active_tilt = 5.5f;
        haveprefs = -1;
    }
    void TearDown() override {
        std::remove("locale.txt");
        EXPECT_EQ(chdir(oldDir_), 0);
        rmdir(dir_.c_str());
    }
    void read(const std::string &content) {
        FILE *f = std::fopen("locale.txt", "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(content.data(), 1, content.size(), f), content.size());
        ASSERT_EQ(std::fclose(f), 0);
        readLocale();
    }

    char oldDir_[4096];
    std::string dir_;
};

TEST_F(ReadLocale, MissingFileClearsHaveprefsAndKeepsValues) {
    readLocale();
    EXPECT_EQ(haveprefs, 0);
    EXPECT_EQ(active_latitude, 1.5f);
    EXPECT_EQ(active_tilt, 5.5f);
}

TEST_F(ReadLocale, EmptyFileSetsHaveprefsAndKeepsValues) {
    read("");
    EXPECT_EQ(haveprefs, 1);
    EXPECT_EQ(active_latitude, 1.5f);
    EXPECT_EQ(active_longitude, 2.5f);
}

TEST_F(ReadLocale, WrittenFormAndOneSpaceForm) {
    read("latitude   44.1330\nlongitude  -123.2140\nelevation     114.0\n"
         "aspect     180.0\ntilt      10.0\n");
    EXPECT_EQ(haveprefs, 1);
    EXPECT_EQ(active_latitude, 44.133f);
    EXPECT_EQ(active_longitude, -123.214f);
    EXPECT_EQ(active_elev, 114.0f);
    EXPECT_EQ(active_aspect, 180.0f);
    EXPECT_EQ(active_tilt, 10.0f);

    read("lat 44\nlon -1\nele 2\nasp 3\ntil 4");  // no final line feed
    EXPECT_EQ(active_latitude, 44.0f);
    EXPECT_EQ(active_longitude, -1.0f);
    EXPECT_EQ(active_elev, 2.0f);
    EXPECT_EQ(active_aspect, 3.0f);
    EXPECT_EQ(active_tilt, 4.0f);
}

TEST_F(ReadLocale, OnlyTheFirstThreeLowerCaseCharactersClassify) {
    read("latxyz 7\ntilted 8 degrees\nasparagus 9\n");
    EXPECT_EQ(active_latitude, 7.0f);
    EXPECT_EQ(active_tilt, 8.0f);
    EXPECT_EQ(active_aspect, 9.0f);

    read("Latitude  40\n latitude  41\nLON 3\nla 5\n\televation 6\n");
    EXPECT_EQ(active_latitude, 7.0f);
    EXPECT_EQ(active_longitude, 2.5f);
    EXPECT_EQ(active_elev, 3.5f);
}

TEST_F(ReadLocale, NoSpaceSeparatorGivesZero) {
    read("latitude\t44\nlongitude\nele\n");
    EXPECT_EQ(active_latitude, 0.0f);
    EXPECT_EQ(active_longitude, 0.0f);
    EXPECT_EQ(active_elev, 0.0f);
    EXPECT_EQ(active_aspect, 4.5f);
}

TEST_F(ReadLocale, LaterLineOverridesAndUnnamedKeepOldValue) {
    read("latitude  44\nelevation  abc\nlatitude  45.5\n");
    EXPECT_EQ(active_latitude, 45.5f);
    EXPECT_EQ(active_elev, 0.0f);
    EXPECT_EQ(active_longitude, 2.5f);
    EXPECT_EQ(active_aspect, 4.5f);
    EXPECT_EQ(active_tilt, 5.5f);
}

TEST_F(ReadLocale, LongLinesAreReadInPiecesOf127) {
    // 126 characters and a line feed: one piece, the next line starts fresh.
    std::string whole = "ele 1" + std::string(121, ' ') + "\n";
    ASSERT_EQ(whole.size(), 127u);
    // 127 characters without a line feed, the last an 'x': the piece after
    // it starts exactly at "til" only when pieces are 127 characters long.
    std::string piece = "lat 2" + std::string(121, ' ') + "x";
    ASSERT_EQ(piece.size(), 127u);
    read(whole + "asp 3\n" + piece + "til 9\n");
    EXPECT_EQ(active_elev, 1.0f);
    EXPECT_EQ(active_aspect, 3.0f);
    EXPECT_EQ(active_latitude, 2.0f);
    EXPECT_EQ(active_tilt, 9.0f);

    // A line of thousands of characters: only piece starts are classified.
    std::string longLine = "lon " + std::string(5000, '7') + "\n";
    read(longLine + "elevation  12\n");
    EXPECT_TRUE(std::isinf(active_longitude));
    EXPECT_EQ(active_elev, 12.0f);
}

TEST_F(ReadLocale, HostileContentIsReadByTheSameRule) {
    // A NUL byte ends the text of its line; the rest of that line is lost.
    read(std::string("lat\0 5\nlon 6\n\xff\xfe\x01til 3\n", 22));
    EXPECT_EQ(active_latitude, 0.0f);
    EXPECT_EQ(active_longitude, 6.0f);
    EXPECT_EQ(active_tilt, 5.5f);

    read("lat nan\nlon -inf\nele 1e999\nasp " + std::string(400, '9') + "\ntil -1e-999\n");
    EXPECT_TRUE(std::isnan(active_latitude));
    EXPECT_TRUE(std::isinf(active_longitude) && active_longitude < 0);
    EXPECT_TRUE(std::isinf(active_elev));
    EXPECT_TRUE(std::isinf(active_aspect) && active_aspect > 0);
    EXPECT_EQ(active_tilt, 0.0f);
}

// readLocale in a child process that the alarm ends after a few seconds: a
// reader that blocks or reads forever fails instead of hanging the suite.
// The child's exit status is haveprefs, or 9 when the latitude was changed.
int readInChild() {
    pid_t child = fork();
    if (child == 0) {
        alarm(5);
        readLocale();
        _exit(active_latitude != 1.5f ? 9 : haveprefs);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    if (!WIFEXITED(status)) return -2;  // killed by the alarm
    return WEXITSTATUS(status);
}

TEST_F(ReadLocale, FifoAndDevicesCountAsNoFileWithoutBlocking) {
    ASSERT_EQ(mkfifo("locale.txt", 0644), 0);
    EXPECT_EQ(readInChild(), 0) << "FIFO";
    ASSERT_EQ(std::remove("locale.txt"), 0);
    for (const char *device : {"/dev/zero", "/dev/urandom"}) {
        ASSERT_EQ(symlink(device, "locale.txt"), 0);
        EXPECT_EQ(readInChild(), 0) << device;
        ASSERT_EQ(std::remove("locale.txt"), 0);
    }
    ASSERT_EQ(mkdir("locale.txt", 0755), 0);
    EXPECT_EQ(readInChild(), 0) << "folder";
    ASSERT_EQ(rmdir("locale.txt"), 0);
}

TEST_F(ReadLocale, OnlyTheFirst64KiBOfAHugeFileAreRead) {
    // A sparse file of 1 GiB: its first line counts, a line after 64 KiB of
    // NUL bytes is never reached.
    int fd = open("locale.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "tilt 7\n", 7), 7);
    ASSERT_EQ(pwrite(fd, "\nlat 9\n", 7, 65536), 7);
    ASSERT_EQ(ftruncate(fd, 1L << 30), 0);
    ASSERT_EQ(close(fd), 0);
    EXPECT_EQ(readInChild(), 1);
    readLocale();
    EXPECT_EQ(active_tilt, 7.0f);
    EXPECT_EQ(active_latitude, 1.5f);
}

}  // namespace
