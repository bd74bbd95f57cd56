#include "playback/track_info.h"

#include <gtest/gtest.h>

TEST(TimeText, MinutesAreNotLimitedAndNegativeSecondsShowNoSign) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "00:00"},   {59, "00:59"},   {3599, "59:59"},  {5400, "90:00"},
        {6000, "100:00"}, {-65, "01:05"}, {-2147483647 - 1, "35791394:08"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(TimeText(seconds), text) << seconds;
}
