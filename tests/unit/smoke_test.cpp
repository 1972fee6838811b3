#include "model/model.h"
#include <gtest/gtest.h>
TEST(State, StartsAtZero) { EXPECT_EQ(in_use, 0); }
