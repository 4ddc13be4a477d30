// What the skin's tests share: a window from the test's template
// kSkinTestDialog with the player's nine bitmap buttons (counting their
// draws), its slider and three labels, and reading back what a button or a
// bitmap puts on a canvas.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/bitmap_button.h"
#include "framework/dialog.h"
#include "player/skin/play_pause_button.h"
#include "player/skin/skin_slider.h"
#include "resources/player/resource.h"

namespace kavuno::skin::testing {

constexpr UINT kSkinTestDialog = 300;

template <class Button>
class Counting : public Button {
public:
    int draws = 0;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override {
        ++draws;
        Button::OnDrawItem(item);
    }
};

class SkinTestWindow : public ui::Dialog<SkinTestWindow> {
public:
    static const ui::MessageEntry<SkinTestWindow> kMessageTable[];
    SkinTestWindow();

    Counting<ui::BitmapButton> close, maximize, minimize, search, topmost, fullScreen, stop, mode;
    Counting<PlayPauseButton> playPause;
    SkinSlider slider;

    std::function<void()> paint;  // runs on WM_PAINT when set
    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    // WM_NCLBUTTONDOWN and WM_ICONERASEBKGND, kept from default processing,
    // and NM_RELEASEDCAPTURE (as WM_NOTIFY with the code in wParam).
    std::vector<Seen> seen;

    // The window at (0, 0), 760 x 396 pixels like the player's, shown, with
    // the children hidden when `bare`.
    void Open(bool bare = false);

    bool OnPaint(WPARAM, LPARAM, LRESULT&);
    bool OnNcLButtonDown(WPARAM wParam, LPARAM lParam, LRESULT&);
    bool OnIconEraseBackground(WPARAM wParam, LPARAM lParam, LRESULT&);
    bool OnNotification(WPARAM wParam, LPARAM lParam, LRESULT&);

protected:
    void DoDataExchange() override {
        Bind(IDC_CLOSE, close);
        Bind(IDC_MAXIMIZE, maximize);
        Bind(IDC_MINIMIZE, minimize);
        Bind(IDC_SEARCH, search);
        Bind(IDC_TOPMOST, topmost);
        Bind(IDC_FULL_SCREEN, fullScreen);
        Bind(IDC_STOP, stop);
        Bind(IDC_PLAY_PAUSE, playPause);
        Bind(IDC_MODE, mode);
        Bind(IDC_POSITION, slider);
    }
};

// The pixels `draw` leaves on a width x height canvas first filled with
// magenta, as 0x00RRGGBB, top row first.
std::vector<std::uint32_t> CanvasPixels(int width, int height, const std::function<void(HDC)>& draw);
// The pixels of a rectangle of a window as it shows them (its window DC).
std::vector<std::uint32_t> WindowPixels(HWND window, const RECT& rect);
// Bitmap resource `id` of the test program, copied onto a canvas of its size.
std::vector<std::uint32_t> ImagePixels(UINT id, int width = 0, int height = 0);
// Whether the button, drawn in `state`, shows bitmap `id`.
bool Shows(ui::BitmapButton& button, UINT id, UINT state = 0);

}  // namespace kavuno::skin::testing
