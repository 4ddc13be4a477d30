// A tool tip control whose tools are whole windows (buttons, say), each with
// one text. The tools are not subclassed: the owner hands every message to
// Relay() before dispatching it, so the tips see the mouse.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/ownership.h"

namespace kavuno::ui {

class ToolTip {
public:
    ToolTip() = default;
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // Creates the control for the tools of `owner` and activates it.
    bool Create(HWND owner);
    // Registers `tool` (a child of the owner) with its text.
    void Add(HWND tool, const std::wstring& text);
    // Gives the tool of `tool` a new text; it keeps its one tool.
    void SetText(HWND tool, const std::wstring& text);
    // Passes a message on its way to its window to the control (TTM_RELAYEVENT).
    void Relay(const MSG& msg) const;

    HWND hwnd() const { return window_.get(); }

private:
    TTTOOLINFOW ToolInfo(HWND tool, const std::wstring& text) const;

    OwnedWindow window_;
    HWND owner_ = nullptr;
};

}  // namespace kavuno::ui
