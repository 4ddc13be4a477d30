#include "control.h"

#include <commctrl.h>

namespace kavuno::ui {
namespace {
// One id for all our subclasses: a control is bound to at most one object.
constexpr UINT_PTR kSubclassId = 0x4B56;  // "KV"
}

Control::~Control() { Detach(); }

void Control::Attach(HWND hwnd) {
    Detach();
    hwnd_ = hwnd;
    if (hwnd_) SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void Control::Detach() {
    if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    hwnd_ = nullptr;
}

LRESULT Control::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* control = reinterpret_cast<Control*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        control->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (control->HandleMessage(message, wParam, lParam, result)) return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace kavuno::ui
