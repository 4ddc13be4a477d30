// The channel between the update worker and the window: once the window gives
// up on a stalled update nothing more is committed, a commit under way is
// never cut off by giving up, the quiet since the last network step is
// measured, and the bar hears of a large file's reads only as it moves.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

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

int g_positionsTold = 0;
WNDPROC g_barProc = nullptr;
LRESULT CALLBACK CountingBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PBM_SETPOS) ++g_positionsTold;
    return CallWindowProcW(g_barProc, bar, message, wParam, lParam);
}

TEST(ProgressChannel, TheBarHearsOfReadsOnlyAsItMoves) {
    InitCommonControls();
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 300, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingBar)));
    ProgressChannel channel;
    channel.Connect(bar);

    // A 6 MB file read 200 bytes at a time, as the update reads it.
    const int size = 6 * 1024 * 1024;
    channel.SetRange(size);
    channel.SetPos(1);
    int largestLag = 0;
    for (int read = 0; read < size / 200 + 1; ++read) {
        channel.SetPos(channel.GetPos() + 200);
        largestLag = std::max(largestLag, channel.GetPos() - static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
    }
    EXPECT_LE(g_positionsTold, ProgressChannel::kBarSteps + 2);
    EXPECT_GE(g_positionsTold, ProgressChannel::kBarSteps / 2);
    EXPECT_LT(largestLag, size / ProgressChannel::kBarSteps) << "never a visible step behind";
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), size) << "the end is always told";

    // The next file starts the bar again; a small one is told every read.
    g_positionsTold = 0;
    channel.SetRange(500);
    channel.SetPos(1);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 1);
    for (int read = 0; read < 3; ++read) channel.SetPos(channel.GetPos() + 200);
    EXPECT_EQ(g_positionsTold, 4);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 500);
    DestroyWindow(bar);
}

}  // namespace
