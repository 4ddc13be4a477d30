#include "player/playback/video_area.h"

namespace kavuno::playback {
namespace {

// Hidden until shown: the players by the status display, the browser at once.
// The three share one rectangle: each clips the others, so that the one on
// top is the one seen, whichever repaints (the page's reload on a mode switch
// would otherwise draw over the moving picture).
constexpr DWORD kControlStyle = WS_CHILD | WS_MAXIMIZE | WS_CLIPSIBLINGS;

}  // namespace

VideoArea::~VideoArea() { Destroy(); }

void VideoArea::Create(HWND frame, const std::string& firstPage) {
    frame_ = frame;
    // The frame never paints over the controls it holds.
    SetWindowLongPtrW(frame, GWL_STYLE, GetWindowLongPtrW(frame, GWL_STYLE) | WS_CLIPCHILDREN);
    RECT screen;
    GetWindowRect(frame, &screen);
    const RECT area = {0, 0, screen.right - screen.left, screen.bottom - screen.top};

    realPlayer_.Create(L"Rm Player", kControlStyle, area, frame, kPlayerId);
    ShowWindow(realPlayer_.hwnd(), SW_HIDE);
    realPlayer_.SetFirstDisplayOption(true);
    realPlayer_.SetSecondDisplayOption(true);
    realPlayer_.SetControls("IMAGEWINDOW");

    mediaPlayer_.Create(L"Wmv Player", kControlStyle, area, frame, kPlayerId);
    mediaPlayer_.SetUiMode("none");
    ShowWindow(mediaPlayer_.hwnd(), SW_HIDE);
    mediaControls_ = mediaPlayer_.GetControls();

    browser_.Create(L"Web Browser2", kControlStyle, area, frame, kBrowserId);
    ShowWindow(browser_.hwnd(), SW_SHOW);
    browser_.SetResizable(false);
    browser_.Navigate(firstPage);
}

void VideoArea::Destroy() {
    browser_.Destroy();
    realPlayer_.Destroy();
    mediaPlayer_.Destroy();
}

void VideoArea::Repaint() {
    if (frame_) RedrawWindow(frame_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void VideoArea::HidePlayers() {
    ShowWindow(mediaPlayer_.hwnd(), SW_HIDE);
    ShowWindow(realPlayer_.hwnd(), SW_HIDE);
}

}  // namespace kavuno::playback
