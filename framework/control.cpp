#include "framework/control.h"

#include "framework/failure_report.h"

namespace kavuno::ui {
namespace {

// A subclass that could not be taken off the window (another one sat on top
// of it, and calls it) stays in the chain after its object has gone. It keeps
// the procedure it passes messages on to here; only that rare path reads it.
constexpr wchar_t kOrphanedSubclass[] = L"KavunoControlOriginalProc";

}  // namespace

Control::~Control() { Detach(); }

void Control::Attach(HWND hwnd) {
    Detach();
    if (!hwnd) return;
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A subclass of ours left in the chain takes this object in its place.
    if (HANDLE orphaned = RemovePropW(hwnd, kOrphanedSubclass)) {
        original_ = reinterpret_cast<WNDPROC>(orphaned);
        return;
    }
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::WindowProc)));
}

void Control::Detach() { Unhook(true); }

void Control::Unhook(bool windowStays) {
    if (hwnd_ && IsWindow(hwnd_)) {
        if (GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &Control::WindowProc) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        } else if (windowStays) {
            // Another subclass sits on top and calls ours: ours stays, passing every message on.
            SetPropW(hwnd_, kOrphanedSubclass, reinterpret_cast<HANDLE>(original_));
        }
    }
    hwnd_ = nullptr;
    original_ = nullptr;
}

LRESULT Control::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!control || control->hwnd_ != hwnd) return PassOn(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = control->original_;
        control->Unhook(false);
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

LRESULT Control::PassOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOrphanedSubclass));
    if (!original) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Once the window goes, or the subclass above has gone, ours leaves too.
    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, kOrphanedSubclass);
    } else if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &Control::WindowProc) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(hwnd, kOrphanedSubclass);
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

}  // namespace kavuno::ui
