#include "player/playback/video_area.h"

namespace kavuno::playback {
namespace {

// Hidden until shown: the players by the status display, the browser at once.
constexpr DWORD kControlStyle = WS_CHILD | WS_MAXIMIZE;

}  // namespace

VideoArea::~VideoArea() { Destroy(); }

void VideoArea::Create(HWND frame, const std::string& firstPage) {
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

void VideoArea::HidePlayers() {
    ShowWindow(m_wmpPlayer.hwnd(), SW_HIDE);
    ShowWindow(m_realPlayer.hwnd(), SW_HIDE);
}

}  // namespace kavuno::playback
