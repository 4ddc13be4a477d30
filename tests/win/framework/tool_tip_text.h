// The text a tool tip holds for a whole-window tool of `owner`, for the tests
// that check tips.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/tool_tip.h"

namespace kavuno::ui::testing {

inline std::wstring TipText(const ToolTip& tips, HWND owner, HWND tool) {
    wchar_t text[80] = L"?";
    TTTOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    SendMessageW(tips.hwnd(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return text;
}

}  // namespace kavuno::ui::testing
