#include "player/skin/window_modes.h"

#include "resources/player/resource.h"

namespace kavuno::skin {

WindowModes::WindowModes(WindowSkin& skin, ui::BitmapButton& modeButton, ui::BitmapButton& topmostButton,
                         ui::ToolTip& tips)
    : skin_(skin), modeButton_(modeButton), topmostButton_(topmostButton), tips_(tips) {}

void WindowModes::ToggleWindowMode(HWND window, const std::function<void()>& reloadPage) {
    const bool toPlayMode = !skin_.PlayMode();
    skin_.Apply(window, toPlayMode);
    InvalidateRect(window, nullptr, TRUE);
    if (reloadPage) reloadPage();
    const UINT image = toPlayMode ? IDB_MODE_PLAY : IDB_MODE_FULL;
    modeButton_.SetImages(image, image);
    // The button's text names the next click, as its tip does.
    const wchar_t* next = toPlayMode ? kToFullModeTip : kToPlayModeTip;
    SetWindowTextW(modeButton_.hwnd(), next);
    tips_.SetText(modeButton_.hwnd(), next);
}

void WindowModes::ToggleTopmost(HWND window) {
    const bool toTopmost = !onTop_;
    SetWindowPos(window, toTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    onTop_ = toTopmost;
    tips_.SetText(topmostButton_.hwnd(), toTopmost ? kStopKeepingOnTopTip : kKeepOnTopTip);
}

}  // namespace kavuno::skin
