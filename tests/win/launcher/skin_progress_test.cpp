// SkinProgress on a real progress bar: the track everywhere, the stripes
// up to position × width / upper bound, nothing for a zero bound, and a bar
// that shrinks when a new range starts. Pixels are read back from the window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "launcher/skin_progress.h"

namespace {

// The launcher's bar: 306 x 14 with a thin border, so a 304 x 12 client area.
constexpr int kWidth = 306;
constexpr int kHeight = 14;
constexpr int kRow = 6;  // a row inside the filled part

bool IsGreen(COLORREF c) { return GetGValue(c) > 120 && GetRValue(c) < 200 && GetBValue(c) < 170; }
bool IsTrackWhite(COLORREF c) { return GetRValue(c) > 230 && GetGValue(c) > 230 && GetBValue(c) > 230; }

class SkinProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        host_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 340, 60, nullptr, nullptr,
                                nullptr, nullptr);
        bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, kWidth, kHeight,
                               host_, nullptr, nullptr, nullptr);
        ASSERT_TRUE(bar_);
        progress_.Attach(bar_);
        Refresh();
    }
    void TearDown() override {
        progress_.Detach();
        DestroyWindow(host_);
    }
    void Refresh() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        UpdateWindow(bar_);
    }
    void Set(int low, int high, int pos) {
        SendMessageW(bar_, PBM_SETRANGE32, low, high);
        SendMessageW(bar_, PBM_SETPOS, pos, 0);
        Refresh();
    }
    // Pixel at client x on the test row.
    COLORREF At(int x) {
        HDC dc = GetDC(bar_);
        COLORREF c = GetPixel(dc, x, kRow);
        ReleaseDC(bar_, dc);
        return c;
    }
    // First client x, scanning from the left inside, where the stripes end.
    int FillEnd() {
        int x = 2;
        while (x < kWidth && IsGreen(At(x))) ++x;
        return x;
    }

    HWND host_ = nullptr;
    HWND bar_ = nullptr;
    SkinProgress progress_;
};

TEST_F(SkinProgressTest, BeforeAnyRangeOnlyTheTrackShows) {
    EXPECT_TRUE(IsTrackWhite(At(100))) << std::hex << At(100);
    EXPECT_FALSE(IsGreen(At(3)));
}

TEST_F(SkinProgressTest, FillsFromTwoPixelsInUpToItsShareOfTheWidth) {
    Set(1, 1000, 500);
    EXPECT_FALSE(IsGreen(At(1)));
    EXPECT_EQ(FillEnd(), 500 * (304 - 2) / 1000);
    Set(1, 1000, 1000);
    EXPECT_EQ(FillEnd(), 302);
}

TEST_F(SkinProgressTest, LargeRangesFillWithoutOverflow) {
    Set(1, 5'000'000, 2'500'000);
    EXPECT_EQ(FillEnd(), 151);
    Set(1, 2'000'000'000, 2'000'000'000);
    EXPECT_EQ(FillEnd(), 302);
}

TEST_F(SkinProgressTest, AZeroUpperBoundDrawsNothing) {
    Set(1, 1000, 1000);
    SendMessageW(bar_, PBM_SETRANGE32, 1, 0);
    Refresh();
    ASSERT_EQ(SendMessageW(bar_, PBM_GETRANGE, FALSE, 0), 0);
    EXPECT_FALSE(IsGreen(At(3)));
    EXPECT_TRUE(IsTrackWhite(At(100)));
}

TEST_F(SkinProgressTest, ANegativeSizeDrawsAnEmptyBar) {
    // The worker's range for a size of -5 from the manifest, then its reads.
    Set(1, -5, 1);
    EXPECT_FALSE(IsGreen(At(3)));
    EXPECT_FALSE(IsGreen(At(150)));
    SendMessageW(bar_, PBM_SETPOS, 201, 0);
    Refresh();
    EXPECT_FALSE(IsGreen(At(3)));
    EXPECT_TRUE(IsTrackWhite(At(100)));
}

TEST_F(SkinProgressTest, TheNextFileStartsFromAnEmptyBar) {
    Set(1, 1000, 1000);
    ASSERT_EQ(FillEnd(), 302);
    Set(1, 2048, 1);  // the next entry's range and first position
    EXPECT_LE(FillEnd(), 2);
    EXPECT_TRUE(IsTrackWhite(At(200)));
}

}  // namespace
