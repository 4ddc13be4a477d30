// The channel between the update worker and the window: once the window gives
// up on a stalled update nothing more is committed, a commit under way is
// never cut off by giving up, and the quiet since the last network step is
// measured.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/update_worker.h"

namespace {

using kavuno::launcher::ProgressChannel;

TEST(ProgressChannel, GivingUpWaitsForACommitAndStopsAllLaterOnes) {
    ProgressChannel channel;  // connected to no window: messages go nowhere
    ASSERT_TRUE(channel.BeginCommit());
    EXPECT_FALSE(channel.GiveUp()) << "not in the middle of a commit";
    EXPECT_FALSE(channel.IsClosed());
    channel.EndCommit();
    EXPECT_TRUE(channel.GiveUp());
    EXPECT_TRUE(channel.IsClosed());
    EXPECT_FALSE(channel.BeginCommit());
    EXPECT_TRUE(channel.GiveUp()) << "giving up twice is giving up";
    EXPECT_EQ(channel.GetPos(), 0);

    ProgressChannel closing;
    ASSERT_TRUE(closing.BeginCommit());
    closing.Close();  // the window goes while a commit runs: the commit ends, nothing after it
    closing.EndCommit();
    EXPECT_TRUE(closing.IsClosed());
    EXPECT_FALSE(closing.BeginCommit());
}

TEST(ProgressChannel, QuietIsCountedFromTheLastNetworkStep) {
    ProgressChannel channel;
    Sleep(300);
    ULONGLONG before = channel.QuietMs();
    EXPECT_GE(before, 250u);
    channel.NoteActivity();
    EXPECT_LT(channel.QuietMs(), before);
}

}  // namespace
