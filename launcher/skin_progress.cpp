#include "launcher/skin_progress.h"

#include <commctrl.h>

#include "framework/gdi.h"
#include "launcher/progress_math.h"
#include "launcher/resource_ids.h"

namespace {

constexpr int kTrackWidth = 320;
constexpr int kTrackHeight = 15;
// Inset of the filled part from the client area's edges.
constexpr int kFillInset = 2;

using kavuno::ui::LoadBitmapResource;

bool ChangesPosition(UINT message) {
    switch (message) {
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
    case PBM_SETRANGE:
    case PBM_SETRANGE32: return true;
    default: return false;
    }
}

}  // namespace

SkinProgress::SkinProgress()
    : track_(LoadBitmapResource(IDB_PROGRESS_TRACK)), bar_(LoadBitmapResource(IDB_PROGRESS_BAR)) {
    if (bar_) barBrush_.Reset(CreatePatternBrush(bar_.get()));
}

bool SkinProgress::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND:
        EraseWithTrack();
        result = 1;
        return true;
    case WM_PAINT:
        PaintFill();
        result = 0;
        return true;
    default:
        if (!ChangesPosition(message)) return false;
        result = MoveQuietly(message, wParam, lParam);
        return true;
    }
}

LRESULT SkinProgress::MoveQuietly(UINT message, WPARAM wParam, LPARAM lParam) {
    // The control repaints itself at once on every move, which our painting
    // would redo for nothing: the worker moves the bar on every 200-byte read,
    // a 5 MB file 26,000 times across some 300 pixels. So the control moves
    // while it is marked invisible (it then draws nothing), and the bar is
    // repainted when our fill's edge moves, erasing the track back in when it
    // shrinks.
    int before = CurrentFillRight();
    LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    bool visible = (style & WS_VISIBLE) != 0;
    if (visible) SetWindowLongPtrW(hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    LRESULT result = CallDefault(message, wParam, lParam);
    if (visible) SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
    int after = CurrentFillRight();
    if (after != before) InvalidateRect(hwnd(), nullptr, after < before);
    return result;
}

int SkinProgress::CurrentFillRight() {
    auto low = static_cast<int>(CallDefault(PBM_GETRANGE, TRUE, 0));
    auto high = static_cast<int>(CallDefault(PBM_GETRANGE, FALSE, 0));
    auto position = static_cast<int>(CallDefault(PBM_GETPOS, 0, 0));
    RECT client;
    GetClientRect(hwnd(), &client);
    return kavuno::launcher::ProgressFillRight(position, low, high, client.right);
}

void SkinProgress::EraseWithTrack() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    const kavuno::ui::ScopedGetDC dc(hwnd(), kavuno::ui::ScopedGetDC::Area::Window);
    const kavuno::ui::OwnedDC memory(CreateCompatibleDC(dc.get()));
    const kavuno::ui::ScopedSelectObject track(memory.get(), track_.get());
    StretchBlt(dc.get(), 0, 0, window.right - window.left, window.bottom - window.top, memory.get(), 0, 0, kTrackWidth,
               kTrackHeight, SRCCOPY);
}

void SkinProgress::PaintFill() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    int right = CurrentFillRight();
    if (right >= 0 && barBrush_) {
        RECT fill = {client.left + kFillInset, client.top + kFillInset, right, client.bottom - kFillInset};
        FillRect(dc, &fill, barBrush_.get());
    }
    EndPaint(hwnd(), &ps);
}
