// The bitmap buttons' faces: the images each gets at set-up, the hover poll
// that lights six of them up while the pointer rests on them and redraws them
// at once, the play/pause glyph; and the slider, drawn from its track and thumb
// images, which knows when it is held.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "framework/gdi.h"
#include "player/skin/button_faces.h"
#include "tests/win/player/skin_test_window.h"

namespace kavuno::skin {
namespace {

using testing::CanvasPixels;
using testing::ImagePixels;
using testing::Shows;
using testing::SkinTestWindow;
using testing::WindowPixels;

class SkinButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.Open();
        faces_ = std::make_unique<ButtonFaces>(SkinButtons{window_.close, window_.maximize, window_.minimize,
                                                           window_.search, window_.topmost, window_.fullScreen,
                                                           window_.stop, window_.playPause, window_.mode});
        faces_->LoadSetUpImages();
    }

    // Puts the pointer on the middle of `control`, or off every button, and polls.
    void PollWithPointerOn(HWND control) {
        RECT r = {1200, 800, 1201, 801};  // far from the window
        if (control) GetWindowRect(control, &r);
        const POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ASSERT_TRUE(SetCursorPos(at.x, at.y));
        POINT now = {};
        ASSERT_TRUE(GetCursorPos(&now));
        ASSERT_EQ(now.x, at.x);
        ASSERT_EQ(now.y, at.y);
        faces_->PollHover();
    }

    SkinTestWindow window_;
    std::unique_ptr<ButtonFaces> faces_;
};

TEST_F(SkinButtonsTest, EachButtonsImagesAtSetUp) {
    const struct {
        ui::BitmapButton& button;
        UINT normal, pressed;
    } setUp[] = {
        {window_.close, IDB_CLOSE, IDB_CLOSE_PRESSED},
        {window_.maximize, IDB_MAXIMIZE, IDB_MAXIMIZE},  // its only image
        {window_.minimize, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED},
        {window_.search, IDB_SEARCH, IDB_SEARCH_PRESSED},
        // Until the pointer first leaves them, these are pressed with the pointer-over face.
        {window_.topmost, IDB_TOPMOST, IDB_TOPMOST_HOVER},
        {window_.fullScreen, IDB_FULL_SCREEN, IDB_FULL_SCREEN_HOVER},
        {window_.stop, IDB_STOP, IDB_STOP_HOVER},
        {window_.playPause, IDB_PLAY, IDB_PLAY_HOVER},
        {window_.mode, IDB_MODE_FULL, IDB_MODE_FULL},
    };
    for (const auto& button : setUp) {
        EXPECT_TRUE(Shows(button.button, button.normal)) << button.normal;
        EXPECT_TRUE(Shows(button.button, button.pressed, ODS_SELECTED)) << button.pressed;
    }
}

TEST_F(SkinButtonsTest, ThePollLightsAButtonWhileThePointerRestsOnItAndRedrawsItAtOnce) {
    const struct {
        ui::BitmapButton& button;
        const int& draws;
        UINT enter, leave, pressed;
    } polled[] = {
        {window_.close, window_.close.draws, IDB_CLOSE_HOVER, IDB_CLOSE, IDB_CLOSE_PRESSED},
        {window_.minimize, window_.minimize.draws, IDB_MINIMIZE_HOVER, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED},
        {window_.fullScreen, window_.fullScreen.draws, IDB_FULL_SCREEN_HOVER, IDB_FULL_SCREEN, IDB_FULL_SCREEN_PRESSED},
        {window_.stop, window_.stop.draws, IDB_STOP_HOVER, IDB_STOP, IDB_STOP_PRESSED},
        {window_.topmost, window_.topmost.draws, IDB_TOPMOST_HOVER, IDB_TOPMOST, IDB_TOPMOST_PRESSED},
        {window_.playPause, window_.playPause.draws, IDB_PLAY_HOVER, IDB_PLAY, IDB_PLAY_PRESSED},
    };
    for (const auto& button : polled) {
        const int before = button.draws;
        PollWithPointerOn(button.button.hwnd());
        EXPECT_TRUE(Shows(button.button, button.enter)) << button.enter;
        EXPECT_TRUE(Shows(button.button, button.pressed, ODS_SELECTED)) << button.pressed;
        EXPECT_GT(button.draws, before) << button.enter;
        for (const auto& other : polled) {
            if (&other != &button) {
                EXPECT_FALSE(Shows(other.button, other.enter)) << other.enter;
            }
        }
        const int lit = button.draws;
        faces_->PollHover();  // nothing changed: nothing loaded or drawn
        EXPECT_EQ(button.draws, lit);

        PollWithPointerOn(nullptr);
        EXPECT_TRUE(Shows(button.button, button.leave)) << button.leave;
        EXPECT_TRUE(Shows(button.button, button.pressed, ODS_SELECTED)) << button.pressed;
        EXPECT_GT(button.draws, lit);
    }
    // The search, maximise and mode buttons have no pointer-over face.
    for (HWND button : {window_.search.hwnd(), window_.mode.hwnd()}) {
        PollWithPointerOn(button);
        EXPECT_TRUE(Shows(window_.search, IDB_SEARCH));
        EXPECT_TRUE(Shows(window_.mode, IDB_MODE_FULL));
    }
    // While playing, the play/pause button lights up with the pause glyph.
    window_.playPause.ShowPlaying(true, false);
    PollWithPointerOn(window_.playPause.hwnd());
    EXPECT_TRUE(Shows(window_.playPause, IDB_PAUSE_HOVER));
    EXPECT_TRUE(Shows(window_.playPause, IDB_PAUSE_PRESSED, ODS_SELECTED));
    PollWithPointerOn(nullptr);
    EXPECT_TRUE(Shows(window_.playPause, IDB_PAUSE));
}

TEST_F(SkinButtonsTest, ThePlayPauseGlyphFollowsPlaybackWithTheFaceAskedFor) {
    PlayPauseButton& button = window_.playPause;
    const struct {
        bool playing, pointerOver;
        UINT normal, pressed;
    } changes[] = {
        {true, false, IDB_PAUSE, IDB_PAUSE_PRESSED},
        {false, true, IDB_PLAY_HOVER, IDB_PLAY_PRESSED},  // paused with the pointer on the button
        {true, true, IDB_PAUSE_HOVER, IDB_PAUSE_PRESSED},
        {false, false, IDB_PLAY, IDB_PLAY_PRESSED},
    };
    for (const auto& change : changes) {
        const int before = window_.playPause.draws;
        button.ShowPlaying(change.playing, change.pointerOver);
        EXPECT_EQ(button.ShowsPlaying(), change.playing);
        EXPECT_GT(window_.playPause.draws, before) << "redrawn at once";
        EXPECT_TRUE(Shows(button, change.normal)) << change.normal;
        EXPECT_TRUE(Shows(button, change.pressed, ODS_SELECTED)) << change.pressed;
    }
}

TEST_F(SkinButtonsTest, TheSliderIsItsTrackWithTheThumbImageAndKnowsWhenItIsHeld) {
    HWND slider = window_.slider.hwnd();
    SetWindowPos(slider, nullptr, 485, 356, 156, 15, SWP_NOZORDER);
    window_.slider.Send(TBM_SETRANGEMAX, TRUE, 100);
    window_.slider.Send(TBM_SETPOS, TRUE, 40);
    ui::RedrawNow(slider);
    RECT client = {}, thumb = {};
    GetClientRect(slider, &client);
    window_.slider.Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    ASSERT_GT(thumb.right, thumb.left);

    // The track from its origin over the whole control, the thumb image (no
    // more of it than the thumb is wide and high) six pixels below the thumb's top.
    const std::vector<std::uint32_t> track = ImagePixels(IDB_SLIDER_TRACK, client.right, client.bottom);
    const std::vector<std::uint32_t> thumbImage = ImagePixels(IDB_SLIDER_THUMB);
    const std::vector<std::uint32_t> expected = CanvasPixels(client.right, client.bottom, [&](HDC dc) {
        const int width = client.right;
        for (int i = 0; i < width * client.bottom; ++i) {
            const std::uint32_t c = track[static_cast<std::size_t>(i)];
            SetPixelV(dc, i % width, i / width, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
        const int w = std::min<int>(thumb.right - thumb.left, 9), h = std::min<int>(thumb.bottom - thumb.top, 4);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t c = thumbImage[static_cast<std::size_t>(y * 9 + x)];
                SetPixelV(dc, thumb.left + x, thumb.top + 6 + y, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
            }
        }
    });
    ASSERT_EQ(thumbImage.size(), 9u * 4u);
    EXPECT_EQ(WindowPixels(slider, client), expected);

    // Held from the press to the release, while the track bar does its own
    // part: the thumb follows the mouse, and the release tells the window.
    const int y = (thumb.top + thumb.bottom) / 2;
    EXPECT_FALSE(window_.slider.IsDragging());
    window_.slider.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((thumb.left + thumb.right) / 2, y));
    EXPECT_TRUE(window_.slider.IsDragging());
    EXPECT_EQ(GetCapture(), slider);
    window_.slider.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right - 5, y));
    EXPECT_GT(window_.slider.Send(TBM_GETPOS), 40);
    window_.seen.clear();
    window_.slider.Send(WM_LBUTTONUP, 0, MAKELPARAM(client.right - 5, y));
    EXPECT_FALSE(window_.slider.IsDragging());
    EXPECT_NE(GetCapture(), slider);
    ASSERT_EQ(window_.seen.size(), 1u);
    EXPECT_EQ(window_.seen[0].message, static_cast<UINT>(WM_NOTIFY));
    EXPECT_EQ(window_.seen[0].wParam, static_cast<WPARAM>(NM_RELEASEDCAPTURE));
}

}  // namespace
}  // namespace kavuno::skin
