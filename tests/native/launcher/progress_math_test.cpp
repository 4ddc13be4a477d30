// The progress bar's fill and the worker's position steps, including the
// sizes that would overflow 16 or 32 bits.
#include <gtest/gtest.h>

#include <climits>

#include "launcher/progress_math.h"

namespace {

using kavuno::launcher::NextProgressPosition;
using kavuno::launcher::ProgressFillRight;

// The launcher's bar: 306 pixels wide inside its border.
constexpr int kRight = 306;

TEST(ProgressFillRight, GrowsFromTheLeftEdgeToTwoShortOfTheRight) {
    EXPECT_EQ(ProgressFillRight(1, 1, 1000, kRight), 2);  // 304 / 1000 truncates to 0: an empty fill
    EXPECT_EQ(ProgressFillRight(500, 1, 1000, kRight), 152);
    EXPECT_EQ(ProgressFillRight(1000, 1, 1000, kRight), 304);
    EXPECT_EQ(ProgressFillRight(201, 1, 1000, kRight), 201 * 304 / 1000);
}

TEST(ProgressFillRight, NothingIsFilledWhenABoundIsZeroOrTheSizeNegative) {
    EXPECT_EQ(ProgressFillRight(0, 0, 100, kRight), -1);  // the control's default range
    EXPECT_EQ(ProgressFillRight(1, 1, 0, kRight), -1);    // a size of 0
    EXPECT_EQ(ProgressFillRight(5, 0, 0, kRight), -1);
    // A negative size, wherever the control then puts the position: an empty
    // bar, not a full one (-5 × width / -5).
    EXPECT_EQ(ProgressFillRight(-5, 1, -5, kRight), -1);
    EXPECT_EQ(ProgressFillRight(1, 1, -5, kRight), -1);
    EXPECT_EQ(ProgressFillRight(INT_MIN, 1, INT_MIN, kRight), -1);
}

TEST(ProgressFillRight, LargeSizesDoNotOverflow) {
    // 5 MB and 2 GB files: position × width exceeds 32 bits.
    EXPECT_EQ(ProgressFillRight(5'000'000, 1, 5'000'000, kRight), 304);
    EXPECT_EQ(ProgressFillRight(2'500'000, 1, 5'000'000, kRight), 152);
    EXPECT_EQ(ProgressFillRight(INT_MAX, 1, INT_MAX, kRight), 304);
    EXPECT_EQ(ProgressFillRight(INT_MAX / 2, 1, INT_MAX, kRight), 151);
}

TEST(ProgressFillRight, StaysInsideTheTrackForOddRanges) {
    EXPECT_EQ(ProgressFillRight(900, 1, 100, kRight), 304);  // beyond the upper bound
    EXPECT_EQ(ProgressFillRight(1, 1, 1, 1), 2);             // a window too narrow to fill
}

TEST(NextProgressPosition, AddsOneStepAndHoldsAtTheTop) {
    EXPECT_EQ(NextProgressPosition(1), 201);
    EXPECT_EQ(NextProgressPosition(801), 1001);
    EXPECT_EQ(NextProgressPosition(INT_MAX - 200), INT_MAX);
    EXPECT_EQ(NextProgressPosition(INT_MAX - 199), INT_MAX);
    EXPECT_EQ(NextProgressPosition(INT_MAX), INT_MAX);
}

}  // namespace
