#include "ui/ticks.h"

#include <gtest/gtest.h>

TEST(Ticks, MoreThanElapsedAcrossTheWrapAndForStoredFutureTicks) {
    const struct { uint32_t then, now; int32_t threshold; bool elapsed; } cases[] = {
        {1000, 1040, 40, false},      {1000, 1041, 40, true},           // "more than 40" means 41
        {0xFFFFFFF0u, 0x20, 40, true}, {0xFFFFFFF0u, 0x05, 40, false},  // across the wrap
        {5000, 4990, 500, false},     {0, 123456, 500, true},           // a tick from the future; start value 0
    };
    for (const auto& c : cases) EXPECT_EQ(MoreThanElapsed(c.then, c.now, c.threshold), c.elapsed) << c.then << " " << c.now;
    EXPECT_EQ(TicksSince(0xFFFFFFF0u, 0x20), 0x30);
}

TEST(Ticks, TheFirstCheckFiresAtAnyUptimeAndLaterChecksKeepTheInterval) {
    for (uint32_t now : {0u, 40u, 0x7FFFFFFFu, 0x80000000u, 0x80000028u, 0xFFFFFFFFu}) {
        TickMark mark;
        EXPECT_TRUE(IsDue(mark, now, 40)) << now;
        MarkRun(&mark, now);
        EXPECT_FALSE(IsDue(mark, now + 40, 40)) << now;
        EXPECT_TRUE(IsDue(mark, now + 41, 40)) << now; // across 2^31 and 2^32 too
    }
}

TEST(Ticks, TheWaitEndsWhenTheIntervalIsOver) {
    TickMark mark;
    EXPECT_EQ(MillisecondsUntilDue(mark, 0x80000000u, 40), 0u); // never run: due now
    MarkRun(&mark, 0xFFFFFFF0u);
    for (uint32_t waited : {0u, 1u, 40u, 41u, 500u}) {
        const uint32_t now = 0xFFFFFFF0u + waited; // across the wrap
        const uint32_t wait = MillisecondsUntilDue(mark, now, 40);
        EXPECT_EQ(wait, waited > 40 ? 0u : 41u - waited) << waited;
        EXPECT_TRUE(IsDue(mark, now + wait, 40)) << waited;
    }
}
