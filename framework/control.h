// A member object bound to one control window of a dialog. Attaching
// subclasses the control, so the object sees the control's messages first;
// the dialog reflects owner-draw requests (WM_DRAWITEM) to it.
#pragma once
#include <windows.h>

namespace kavuno::ui {

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    void Attach(HWND hwnd);
    void Detach();
    HWND hwnd() const { return hwnd_; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, message, wParam, lParam);
    }

    // Owner-drawn controls draw here; the dialog calls it on WM_DRAWITEM.
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}

protected:
    // Return true when the message is handled and `result` holds its result;
    // false lets the control's own window procedure run.
    virtual bool HandleMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
    // Runs the control's own procedure for a message (for handlers that add to it).
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    HWND hwnd_ = nullptr;
};

}  // namespace kavuno::ui
