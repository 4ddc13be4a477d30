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

    m_realPlayer.Create(L"Rm Player", kControlStyle, area, frame, kPlayerId);
    ShowWindow(m_realPlayer.hwnd(), SW_HIDE);
    m_realPlayer.SetFirstDisplayOption(true);
    m_realPlayer.SetSecondDisplayOption(true);
    m_realPlayer.SetControls("IMAGEWINDOW");

    m_wmpPlayer.Create(L"Wmv Player", kControlStyle, area, frame, kPlayerId);
    m_wmpPlayer.SetUiMode("none");
    ShowWindow(m_wmpPlayer.hwnd(), SW_HIDE);
    m_wmpControls = m_wmpPlayer.GetControls();

    m_browser.Create(L"Web Browser2", kControlStyle, area, frame, kBrowserId);
    ShowWindow(m_browser.hwnd(), SW_SHOW);
    m_browser.SetResizable(false);
    m_browser.Navigate(firstPage);
}

void VideoArea::Destroy() {
    m_browser.Destroy();
    m_realPlayer.Destroy();
    m_wmpPlayer.Destroy();
}

void VideoArea::Repaint() {
    if (frame_) RedrawWindow(frame_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void VideoArea::HidePlayers() {
    ShowWindow(m_wmpPlayer.hwnd(), SW_HIDE);
    ShowWindow(m_realPlayer.hwnd(), SW_HIDE);
}

}  // namespace kavuno::playback
