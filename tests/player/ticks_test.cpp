#include "ui/ticks.h"

#include <gtest/gtest.h>

TEST(Ticks, FortyMillisecondsIsNotMoreThanForty) {
    EXPECT_FALSE(MoreThanElapsed(1000, 1040, 40));
    EXPECT_TRUE(MoreThanElapsed(1000, 1041, 40));
}

TEST(Ticks, IntervalStaysRightAcrossTheWrapOfTheCounter) {
    const uint32_t before = 0xFFFFFFF0u;
    EXPECT_EQ(TicksSince(before, 0x00000020u), 0x30);
    EXPECT_TRUE(MoreThanElapsed(before, 0x00000020u, 40));
    EXPECT_FALSE(MoreThanElapsed(before, 0x00000005u, 40));
}

TEST(Ticks, AStoredTickFromTheFutureCountsAsNotElapsed) {
    // A tick set a moment ago by another handler must not fire the work early.
    EXPECT_LT(TicksSince(5000, 4990), 0);
    EXPECT_FALSE(MoreThanElapsed(5000, 4990, 500));
}

TEST(Ticks, StartValueZeroFiresOnTheFirstPass) {
    EXPECT_TRUE(MoreThanElapsed(0, 123456, 500));
}
