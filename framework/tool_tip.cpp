#include "framework/tool_tip.h"

#include <commctrl.h>

namespace kavuno::ui {

bool ToolTip::Create(HWND owner) {
    owner_ = owner;
    // The tools belong to `owner`, but the control's window is not owned by it:
    // under Wine a hidden, top-most owned window keeps its owner from ever
    // being kept on top (SetWindowPos with HWND_TOPMOST succeeds but does not
    // take). The object owns the control instead.
    window_.Reset(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_) return false;
    SendMessageW(hwnd(), TTM_ACTIVATE, TRUE, 0);
    return true;
}

TTTOOLINFOW ToolTip::ToolInfo(HWND tool, const std::wstring& text) const {
    TTTOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());  // the control copies the text
    return info;
}

void ToolTip::Add(HWND tool, const std::wstring& text) {
    if (!window_) return;
    TTTOOLINFOW info = ToolInfo(tool, text);
    SendMessageW(hwnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetText(HWND tool, const std::wstring& text) {
    if (!window_) return;
    TTTOOLINFOW info = ToolInfo(tool, text);
    SendMessageW(hwnd(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::Relay(const MSG& msg) const {
    if (window_) SendMessageW(hwnd(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace kavuno::ui
