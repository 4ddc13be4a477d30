#include "tools/testing/stand_in_controls/picture_window.h"

#include "tools/testing/stand_in_controls/module.h"

namespace kavuno::stand_in {
namespace {

constexpr wchar_t kChildClass[] = L"KavunoStandInPicture";
constexpr wchar_t kFullScreenClass[] = L"KavunoStandInFullScreen";
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT kRepaintMs = 40;

bool RegisterOnce(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(ModuleInstance(), name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

void PictureWindow::UnregisterClasses() {
    UnregisterClassW(kChildClass, ModuleInstance());
    UnregisterClassW(kFullScreenClass, ModuleInstance());
}

bool PictureWindow::CreateChild(HWND parent, const RECT& rect) {
    Destroy();
    if (!RegisterOnce(kChildClass, Proc)) return false;
    fullScreen_ = false;
    hwnd_ = CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, ModuleInstance(), this);
    return hwnd_ != nullptr;
}

bool PictureWindow::CreateFullScreen(HWND owner, HWND nearby) {
    Destroy();
    if (!RegisterOnce(kFullScreenClass, Proc)) return false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = nearby ? MonitorFromWindow(nearby, MONITOR_DEFAULTTONEAREST)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoW(monitor, &info)) return false;
    const RECT& r = info.rcMonitor;
    fullScreen_ = true;
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, kFullScreenClass, L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, owner, nullptr, ModuleInstance(), this);
    if (!hwnd_) return false;
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    return true;
}

void PictureWindow::Destroy() {
    if (HWND hwnd = hwnd_) {
        hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

LRESULT CALLBACK PictureWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PictureWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<PictureWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT PictureWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
    case WM_CREATE: SetTimer(hwnd, kRepaintTimer, kRepaintMs, nullptr); return 0;
    case WM_TIMER:
        if (wParam != kRepaintTimer) return 0;
        if (tick_) tick_();
        if (hwnd_ && key_ && key_() != paintedKey_) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return 1;  // the picture covers everything
    case WM_PAINT: Paint(); return 0;
    case WM_KEYDOWN:
        if (fullScreen_ && wParam == VK_ESCAPE) Destroy();
        return 0;
    case WM_LBUTTONDBLCLK:
        if (fullScreen_) Destroy();
        return 0;
    case WM_DESTROY:
        // The parent went first (the host destroyed its window), or we
        // were closed: either way this object holds no window any more.
        KillTimer(hwnd, kRepaintTimer);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void PictureWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT area;
    GetClientRect(hwnd_, &area);
    // Drawn off screen first, so the picture does not flicker at 25 frames a second.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right > 0 ? area.right : 1, area.bottom > 0 ? area.bottom : 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (key_) paintedKey_ = key_();
    if (painter_) painter_(memory, area);
    BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd_, &ps);
}

}  // namespace kavuno::stand_in
