#include "skin_progress.h"

#include <commctrl.h>

#include "progress_math.h"
#include "resource_ids.h"

namespace {

constexpr int kTrackWidth = 320;
constexpr int kTrackHeight = 15;
// Inset of the filled part from the client area's edges.
constexpr int kFillInset = 2;

HBITMAP LoadBitmapResource(UINT id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
}

bool ChangesPosition(UINT message) {
    switch (message) {
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
    case PBM_SETRANGE:
    case PBM_SETRANGE32:
        return true;
    default:
        return false;
    }
}

}  // namespace

CSkinProgressCtrl::CSkinProgressCtrl()
    : m_bmpTrack(LoadBitmapResource(IDB_PROGRESS_TRACK)), m_bmpBar(LoadBitmapResource(IDB_PROGRESS_BAR)) {
    if (m_bmpBar) m_brBar = CreatePatternBrush(m_bmpBar);
}

CSkinProgressCtrl::~CSkinProgressCtrl() {
    if (m_brBar) DeleteObject(m_brBar);
    if (m_bmpBar) DeleteObject(m_bmpBar);
    if (m_bmpTrack) DeleteObject(m_bmpTrack);
}

bool CSkinProgressCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
        break;
    }
    if (!ChangesPosition(message)) return false;
    // The control invalidates what its own drawing would change, which is not
    // quite our fill; repaint whenever our fill's edge moves, erasing the track
    // back in when it shrinks.
    int before = CurrentFillRight();
    result = CallDefault(message, wParam, lParam);
    int after = CurrentFillRight();
    if (after != before) InvalidateRect(hwnd(), nullptr, after < before);
    return true;
}

int CSkinProgressCtrl::CurrentFillRight() {
    PBRANGE range = {};
    CallDefault(PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    int position = static_cast<int>(CallDefault(PBM_GETPOS, 0, 0));
    RECT client;
    GetClientRect(hwnd(), &client);
    return kavuno::launcher::ProgressFillRight(position, range.iLow, range.iHigh, client.right);
}

void CSkinProgressCtrl::EraseWithTrack() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    HDC dc = GetWindowDC(hwnd());
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_bmpTrack);
    StretchBlt(dc, 0, 0, window.right - window.left, window.bottom - window.top, memory, 0, 0, kTrackWidth,
               kTrackHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(hwnd(), dc);
}

void CSkinProgressCtrl::PaintFill() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    int right = CurrentFillRight();
    if (right >= 0 && m_brBar) {
        RECT fill = {client.left + kFillInset, client.top + kFillInset, right, client.bottom - kFillInset};
        FillRect(dc, &fill, m_brBar);
    }
    EndPaint(hwnd(), &ps);
}
