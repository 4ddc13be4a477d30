#include "player/skin/skin_slider.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/gdi.h"
#include "framework/ownership.h"
#include "resources/player/resource.h"

namespace kavuno::skin {
namespace {

constexpr int kThumbDrop = 6;  // the thumb image sits this far below the thumb rectangle's top

}  // namespace

bool SkinSlider::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_LBUTTONDOWN:
        InvalidateRect(hwnd(), nullptr, FALSE);
        dragging_ = true;
        return false;  // the track bar moves the thumb and notifies the window
    case WM_MOUSEMOVE:
        if (dragging_) InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    case WM_LBUTTONUP: dragging_ = false; return false;
    case WM_CAPTURECHANGED:
        // Mid-drag the capture went elsewhere: like a release, without a seek,
        // so the thumb follows playback again.
        if (!dragging_) return false;
        dragging_ = false;
        losingCapture_ = true;
        result = CallDefault(message, wParam, lParam);
        losingCapture_ = false;
        return true;
    default: return false;
    }
}

void SkinSlider::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    // Two small images, loaded for each paint: nothing is kept between paints.
    const ui::GdiObject<HBITMAP> track(ui::LoadBitmapResource(IDB_SLIDER_TRACK));
    const ui::GdiObject<HBITMAP> thumb(ui::LoadBitmapResource(IDB_SLIDER_THUMB));
    RECT client;
    GetClientRect(hwnd(), &client);
    ui::DrawBitmap(dc, client.left, client.top, client.right - client.left, client.bottom - client.top, track.get());
    RECT thumbRect = {};
    CallDefault(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumbRect));
    // Never more than the image: a larger thumb rectangle would copy pixels
    // from beyond the bitmap's edge.
    const SIZE image = ui::BitmapSize(thumb.get());
    ui::DrawBitmap(dc, thumbRect.left, thumbRect.top + kThumbDrop,
                   std::min<int>(thumbRect.right - thumbRect.left, image.cx),
                   std::min<int>(thumbRect.bottom - thumbRect.top, image.cy), thumb.get());
    EndPaint(hwnd(), &ps);
}

}  // namespace kavuno::skin
