// The window's two independent modes: full mode (the whole skin) or play mode
// (only the player's right-hand part), and kept on top or not. Neither is
// saved: every start begins in full mode and not on top. The tool tips of the
// two buttons name the effect of their next click.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/bitmap_button.h"
#include "framework/tool_tip.h"
#include "player/skin/window_skin.h"

namespace kavuno::skin {

inline constexpr wchar_t kToPlayModeTip[] = L"播放模式";
inline constexpr wchar_t kToFullModeTip[] = L"完整模式";
inline constexpr wchar_t kKeepOnTopTip[] = L"窗体置前";
inline constexpr wchar_t kStopKeepingOnTopTip[] = L"取消窗体置前";

class WindowModes {
public:
    WindowModes(WindowSkin& skin, ui::BitmapButton& modeButton, ui::BitmapButton& topmostButton, ui::ToolTip& tips);

    // Switches skin and region, repaints the whole window, lets the video
    // area's page reload (`reloadPage`), and turns the mode button round.
    // Nothing else moves: controls, size, position and playback stay.
    void ToggleWindowMode(HWND window, const std::function<void()>& reloadPage);
    void ToggleTopmost(HWND window);
    bool IsTopmost() const { return onTop_; }

private:
    WindowSkin& skin_;
    ui::BitmapButton& modeButton_;
    ui::BitmapButton& topmostButton_;
    ui::ToolTip& tips_;
    bool onTop_ = false;
};

}  // namespace kavuno::skin
