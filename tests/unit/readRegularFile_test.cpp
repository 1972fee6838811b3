// The bounded reader sizes its buffer by the file: a file of just the limit,
// one byte over it, and files that state size 0 (as /proc does) yet run to
// many kilobytes, so that the buffer has to grow.
#include "model/readRegularFile.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

TEST(ReadRegularFile, ReadsUpToTheLimitWhateverSizeTheFileStates) {
    char path[] = "/tmp/veranta-read-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "abcdef", 6), 6);
    close(fd);
    struct Case {
        const char *path;
        std::size_t limit, length;   // length 0: more than 16 KiB, to its end
        bool more;
    } cases[] = {{path, 6, 6, false}, {path, 5, 5, true}, {"/proc/self/smaps", 1 << 24, 0, false},
                 {"/proc/self/smaps", 10000, 10000, true}};
    for (const Case &c : cases) {
        char *data = nullptr;
        std::size_t length = 0;
        bool more = !c.more;
        ASSERT_EQ(readRegularFile(c.path, c.limit, &data, &length, &more), 0) << c.path;
        if (c.length > 0) EXPECT_EQ(length, c.length) << c.path << " " << c.limit;
        else EXPECT_TRUE(length > 16384 && data[length - 1] == '\n') << length;
        EXPECT_EQ(more, c.more) << c.path << " " << c.limit;
        EXPECT_EQ(data[length], '\0');
        std::free(data);
    }
    unlink(path);
}
