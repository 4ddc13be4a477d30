#include "player/key_input.h"

#include <windowsx.h>

#include <cstdlib>

#include "resources/player/resource.h"

namespace kavuno::player {

FocusPlace KeyInput::Place(HWND focus) const {
    auto is = [&](int id) {
        HWND control = GetDlgItem(window_, id);
        return control && (focus == control || IsChild(control, focus));
    };
    if (focus == window_ || is(IDC_MOVIE_LIST)) return FocusPlace::ListOrWindow;
    // The web page in the video area may have fields of its own to type in.
    if (is(IDC_SEARCH_TEXT) || is(IDC_SEARCH_TYPE) || is(IDC_VIDEO_AREA)) return FocusPlace::SearchBox;
    if (is(IDC_CATEGORY_TREE)) return FocusPlace::Tree;
    return FocusPlace::Other;
}

bool KeyInput::Over(POINT screen, bool bar) const {
    RECT area;
    if (!GetWindowRect(GetDlgItem(window_, IDC_VIDEO_AREA), &area)) return false;
    RECT frame;
    if (bar && GetWindowRect(window_, &frame)) area.bottom = frame.bottom;
    return PtInRect(&area, screen) != FALSE;
}

bool KeyInput::DoubleClick(const MSG& msg) {
    if (!playback_.MovieLoaded() || !Over(msg.pt, false)) {
        pressed_ = false;
        return false;
    }
    if (msg.message == WM_LBUTTONDBLCLK) return true;
    const bool second = pressed_ && msg.time - lastPressTime_ <= GetDoubleClickTime() &&
                        std::abs(msg.pt.x - lastPress_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(msg.pt.y - lastPress_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    pressed_ = !second;
    lastPressTime_ = msg.time;
    lastPress_ = msg.pt;
    return second;
}

bool KeyInput::Translate(const MSG& msg) {
    if (!window_ || GetAncestor(msg.hwnd, GA_ROOT) != window_) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const KeyPress key{static_cast<std::uint32_t>(msg.wParam), GetKeyState(VK_CONTROL) < 0,
                           msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)) != 0};
        const KeyAction action = ActionForKey(key, Place(msg.hwnd));
        if (action == KeyAction::None) return false;
        // A key held down repeats seeks and volume steps, not the switches.
        const bool repeat = (msg.lParam & (1 << 30)) != 0;
        if (!repeat || SeekSeconds(action) != 0 || action == KeyAction::VolumeUp || action == KeyAction::VolumeDown) {
            Run(action);
        }
        return true;
    }
    case WM_MOUSEWHEEL: {
        if (!Over({GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, true)) return false;
        const int delta = GET_WHEEL_DELTA_WPARAM(msg.wParam);
        const int notches = delta / WHEEL_DELTA;
        volume_.Step(notches != 0 ? notches : (delta > 0 ? 1 : -1));
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!DoubleClick(msg)) return false;
        Run(KeyAction::FullScreen);
        return true;
    default: return false;
    }
}

bool KeyInput::OnAppCommand(LPARAM lParam) {
    const KeyAction action = ActionForAppCommand(GET_APPCOMMAND_LPARAM(lParam));
    if (action == KeyAction::None) return false;
    Run(action);
    return true;
}

void KeyInput::Run(KeyAction action) {
    switch (action) {
    case KeyAction::PlayPause: playback_.OnPlayPause(); break;
    case KeyAction::Stop: playback_.StopPlayback(); break;
    case KeyAction::SeekBack:
    case KeyAction::SeekForward:
    case KeyAction::SeekBackLong:
    case KeyAction::SeekForwardLong: playback_.SeekBy(SeekSeconds(action)); break;
    case KeyAction::FullScreen: playback_.OnFullScreen(); break;
    case KeyAction::FocusSearch: {
        HWND search = GetDlgItem(window_, IDC_SEARCH_TEXT);
        SetFocus(search);
        SendMessageW(search, EM_SETSEL, 0, -1);
        break;
    }
    case KeyAction::VolumeUp: volume_.Step(1); break;
    case KeyAction::VolumeDown: volume_.Step(-1); break;
    case KeyAction::Mute: volume_.ToggleMute(); break;
    case KeyAction::None: break;
    }
}

}  // namespace kavuno::player
