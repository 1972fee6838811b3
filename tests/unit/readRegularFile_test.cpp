// The bounded reader: the bytes of a file up to the limit, whether it goes
// on, and files whose size fstat does not tell (they grow while read, or
// report 0 as /proc does) read whole all the same.
#include "model/readRegularFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

struct Read {
    int status;
    std::string text;
    bool more;
    bool terminated;
};

Read readAll(const char *path, std::size_t limit) {
    char *data = nullptr;
    std::size_t length = 0;
    bool more = false;
    int status = readRegularFile(path, limit, &data, &length, &more);
    if (status != 0) return {status, "", false, false};
    Read r{0, std::string(data, length), more, data[length] == '\0'};
    std::free(data);
    return r;
}

}  // namespace

TEST(ReadRegularFile, ReadsUpToTheLimitAndTellsWhetherTheFileGoesOn) {
    char path[] = "/tmp/veranta-read-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "abcdef", 6), 6);
    close(fd);
    struct Case {
        std::size_t limit;
        const char *text;
        bool more;
    } cases[] = {{100, "abcdef", false}, {6, "abcdef", false}, {5, "abcde", true}, {0, "", true}};
    for (const Case &c : cases) {
        Read r = readAll(path, c.limit);
        EXPECT_EQ(r.status, 0) << c.limit;
        EXPECT_EQ(r.text, c.text) << c.limit;
        EXPECT_EQ(r.more, c.more) << c.limit;
        EXPECT_TRUE(r.terminated) << c.limit;
    }
    unlink(path);
}

TEST(ReadRegularFile, FileLargerThanItsStatedSizeIsReadWhole) {
    // A regular file that states size 0; smaps runs to many kilobytes, so the
    // buffer has to grow several times.
    Read r = readAll("/proc/self/smaps", std::size_t{1} << 24);
    ASSERT_EQ(r.status, 0);
    EXPECT_GT(r.text.size(), 16384u);
    EXPECT_EQ(r.text.back(), '\n');
    EXPECT_FALSE(r.more);
    EXPECT_TRUE(r.terminated);

    Read cut = readAll("/proc/self/smaps", 10000);
    EXPECT_EQ(cut.text.size(), 10000u);
    EXPECT_TRUE(cut.more);
}
