// A member object bound to one control window of a dialog. Attaching
// subclasses the control, so the object sees the control's messages first;
// the dialog reflects owner-draw requests (WM_DRAWITEM) and the control's
// notifications (WM_NOTIFY) to it, so a control answers what concerns only
// itself and the dialog's table keeps what the window is about.
//
// The subclass replaces the window procedure and keeps the object in
// GWLP_USERDATA (the application's slot, which no standard control uses):
// both are read without a server round trip under Wine, unlike the window
// properties that comctl32's SetWindowSubclass looks up on every message.
// That matters for controls that get thousands of messages, such as a
// progress bar moved on every 200 bytes of a download.
//
// Detaching restores the control's procedure. When someone else has
// subclassed the control since, ours cannot be taken out from under theirs:
// it stays in the chain and passes every message on to the control's own
// procedure, and the next object attached to the window takes it over.
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
    // The control's WM_NOTIFY, before the dialog's table sees it. True when
    // answered, with the answer in `result`; false leaves it to the table.
    virtual bool OnNotifyReflect(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

protected:
    // Return true when the message is handled and `result` holds its result;
    // false lets the control's own window procedure run.
    virtual bool HandleMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
    // Runs the control's own procedure for a message (for handlers that add to it).
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The messages of a window whose subclass has no object any more.
    static LRESULT PassOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // `windowStays` is false on the window's last message: nothing needs passing on after it.
    void Unhook(bool windowStays);

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
};

}  // namespace kavuno::ui
