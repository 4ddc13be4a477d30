#include "framework/gdi.h"

#include "framework/ownership.h"

namespace kavuno::ui {

HBITMAP LoadBitmapResource(UINT id) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool DrawBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap) {
    if (!bitmap) return false;
    const OwnedDC memory(CreateCompatibleDC(dc));
    if (!memory) return false;
    const ScopedSelectObject selected(memory.get(), bitmap);
    if (!selected.ok()) return false;
    BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
    return true;
}

void CentreInWorkArea(HWND window) {
    RECT frame, area;
    GetWindowRect(window, &frame);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        area = monitor.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RedrawNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

}  // namespace kavuno::ui
