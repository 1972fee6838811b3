// Reading the value out of one line of the location file. Every line lives in
// a heap block of exactly its own size, so a read or write past the
// terminator shows up under AddressSanitizer.
#include "model/model.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

struct Parsed {
    float value;
    std::string rest;
};

Parsed parse(const char *text) {
    std::size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]> line(new char[size]);
    std::memcpy(line.get(), text, size);
    float value = getDescriptor(line.get());
    return {value, std::string(line.get())};
}

}  // namespace

TEST(Descriptor, TakesTheValueAndRewritesTheLine) {
    Parsed p = parse("latitude  44.1330\n");
    EXPECT_FLOAT_EQ(p.value, 44.133f);
    EXPECT_EQ(p.rest, "44.1330\n");

    // The separator may stand at the fourth character.
    p = parse("lat 33.65");
    EXPECT_FLOAT_EQ(p.value, 33.65f);
    EXPECT_EQ(p.rest, "33.65");

    p = parse("aspect    180 degrees");
    EXPECT_FLOAT_EQ(p.value, 180.0f);
    EXPECT_EQ(p.rest, "180 degrees");

    p = parse("longitude -123.214\n");
    EXPECT_FLOAT_EQ(p.value, -123.214f);
}

TEST(Descriptor, FirstThreeCharactersAreAlwaysKeyword) {
    // The spaces at positions 0..2 are skipped over; the first space at or
    // after position 3 separates.
    Parsed p = parse("a b12 7");
    EXPECT_FLOAT_EQ(p.value, 7.0f);
    EXPECT_EQ(p.rest, "7");

    p = parse("ab 12");
    EXPECT_FLOAT_EQ(p.value, 0.0f);
    EXPECT_EQ(p.rest, "");
}

TEST(Descriptor, LinesWithoutAValueGiveZeroAndAnEmptyBuffer) {
    for (const char *text : {"", "t", "ab", "abc", "tilt", "tilt\t10", "elevation", "    ", " ",
                             "tilt   ", "tilt \n"}) {
        Parsed p = parse(text);
        EXPECT_EQ(p.value, 0.0f) << '"' << text << '"';
        if (std::strchr(text, '\n') == nullptr) {
            EXPECT_EQ(p.rest, "") << '"' << text << '"';
        } else {
            EXPECT_EQ(p.rest, "\n") << '"' << text << '"';
        }
    }
    EXPECT_EQ(getDescriptor(nullptr), 0.0f);
}

TEST(Descriptor, NonNumericValueReadsAsZero) {
    Parsed p = parse("tilt  steep");
    EXPECT_EQ(p.value, 0.0f);
    EXPECT_EQ(p.rest, "steep");
}

TEST(Descriptor, HugeValuesNarrowAsRoundingWould) {
    EXPECT_EQ(parse("elev 1e300").value, HUGE_VALF);
    EXPECT_EQ(parse("elev -1e300").value, -HUGE_VALF);
    EXPECT_EQ(parse("elev 3.4028235e38").value, 3.4028235e38f);
}
