// The time display's format.
#include <gtest/gtest.h>

#include <climits>

#include "player/playback/play_time.h"

namespace kavuno::playback {
namespace {

TEST(PlayTime, HoursMinutesSecondsTruncated) {
    EXPECT_EQ(FormatPlayTime(0), "00:00:00");
    EXPECT_EQ(FormatPlayTime(999), "00:00:00");
    EXPECT_EQ(FormatPlayTime(59'999), "00:00:59");
    EXPECT_EQ(FormatPlayTime(60'000), "00:01:00");
    EXPECT_EQ(FormatPlayTime(3'599'000), "00:59:59");
    EXPECT_EQ(FormatPlayTime(3'600'000), "01:00:00");
    EXPECT_EQ(FormatPlayTime(36'000'000), "10:00:00");
    EXPECT_EQ(FormatPlayTime(360'000'000), "100:00:00");
    EXPECT_EQ(FormatPlayTime(59'500), "00:00:59");
    EXPECT_EQ(FormatPlayTime(INT_MAX), "596:31:23");
}

TEST(PlayTime, NegativeTimesShowAsZero) {
    EXPECT_EQ(FormatPlayTime(-1), "00:00:00");
    EXPECT_EQ(FormatPlayTime(-3'600'000), "00:00:00");
    EXPECT_EQ(FormatPlayTime(INT_MIN), "00:00:00");
}

}  // namespace
}  // namespace kavuno::playback
