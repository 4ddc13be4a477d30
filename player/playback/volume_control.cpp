#include "player/playback/volume_control.h"

#include <windowsx.h>

#include "framework/gdi.h"
#include "resources/player/resource.h"

namespace kavuno::playback {
namespace {

constexpr wchar_t kClassName[] = L"KavunoVolume";

// Columns [from, from + width) of `bitmap` to the same place of `dc`.
void DrawColumns(HDC dc, HBITMAP bitmap, int from, int width, int height) {
    if (!bitmap || width <= 0) return;
    const ui::OwnedDC memory(CreateCompatibleDC(dc));
    const ui::ScopedSelectObject selected(memory.get(), bitmap);
    if (selected.ok()) BitBlt(dc, from, 0, width, height, memory.get(), from, 0, SRCCOPY);
}

}  // namespace

bool VolumeControl::Create(HWND parent, int x, int y, UINT id) {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass);
    }();
    if (!registered) return false;
    window_.Reset(CreateWindowExW(0, kClassName, L"音量", WS_CHILD | WS_VISIBLE, x, y, kWidth, kHeight, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), this));
    shown_ = volume_.setting();
    return static_cast<bool>(window_);
}

void VolumeControl::Show(const VolumeSetting& setting) {
    shown_ = setting;
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
}

void VolumeControl::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_.get(), &paint);
    const ui::GdiObject<HBITMAP> face(ui::LoadBitmapResource(shown_.muted ? IDB_VOLUME_MUTED : IDB_VOLUME));
    const ui::GdiObject<HBITMAP> level(ui::LoadBitmapResource(IDB_VOLUME_LEVEL));
    ui::DrawBitmap(dc, 0, 0, kWidth, kHeight, face.get());
    DrawColumns(dc, level.get(), kTrackLeft, shown_.level * kTrackWidth / VolumeSetting::kMax, kHeight);
    EndPaint(window_.get(), &paint);
}

void VolumeControl::SetLevelAt(int x) {
    volume_.SetLevel(((x - kTrackLeft) * VolumeSetting::kMax + kTrackWidth / 2) / kTrackWidth);
}

LRESULT CALLBACK VolumeControl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<VolumeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->window_) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: self->Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the faces cover the whole control
    case WM_LBUTTONDOWN:
        if (GET_X_LPARAM(lParam) < kTrackLeft) {
            self->volume_.ToggleMute();
        } else {
            SetCapture(hwnd);
            self->SetLevelAt(GET_X_LPARAM(lParam));
        }
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) self->SetLevelAt(GET_X_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_.Detach();
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace kavuno::playback
