#include "framework/control.h"

#include "framework/failure_report.h"

namespace kavuno::ui {

Control::~Control() { Detach(); }

void Control::Attach(HWND hwnd) {
    Detach();
    if (!hwnd) return;
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::WindowProc)));
}

void Control::Detach() {
    // Only a subclass that is still the outermost one can be taken off.
    if (hwnd_ && IsWindow(hwnd_) &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &Control::WindowProc) {
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
    original_ = nullptr;
}

LRESULT Control::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!control || control->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = control->original_;
        control->Detach();
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        if (control->HandleMessage(message, wParam, lParam, result)) return result;
    } catch (...) {
        // The control's own procedure still runs: a paint that failed is
        // painted (and validated) by it instead of being asked for forever.
        ReportCaughtFailure("control");
    }
    return control->CallDefault(message, wParam, lParam);
}

}  // namespace kavuno::ui
