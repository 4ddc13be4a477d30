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
    Detach();
    if (m_brBar) DeleteObject(m_brBar);
    if (m_bmpBar) DeleteObject(m_bmpBar);
    if (m_bmpTrack) DeleteObject(m_bmpTrack);
}

void CSkinProgressCtrl::Attach(HWND hwnd) {
    Detach();
    if (!hwnd) return;
    m_hWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnDefault = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSkinProgressCtrl::WindowProc)));
}

void CSkinProgressCtrl::Detach() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnDefault));
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
    m_hWnd = nullptr;
    m_pfnDefault = nullptr;
}

LRESULT CALLBACK CSkinProgressCtrl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CSkinProgressCtrl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->m_pfnDefault;
        self->Detach();
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT CSkinProgressCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        EraseWithTrack();
        return 1;
    case WM_PAINT:
        PaintFill();
        return 0;
    default:
        return ChangesPosition(message) ? MoveQuietly(message, wParam, lParam) : CallDefault(message, wParam, lParam);
    }
}

LRESULT CSkinProgressCtrl::MoveQuietly(UINT message, WPARAM wParam, LPARAM lParam) {
    // The control repaints itself at once on every move, which our painting
    // would redo for nothing: the worker moves the bar on every 200-byte read,
    // a 5 MB file 26,000 times across some 300 pixels. So the control moves
    // while it is marked invisible (it then draws nothing), and the bar is
    // repainted when our fill's edge moves, erasing the track back in when it
    // shrinks.
    int before = CurrentFillRight();
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    bool visible = (style & WS_VISIBLE) != 0;
    if (visible) SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    LRESULT result = CallDefault(message, wParam, lParam);
    if (visible) SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    int after = CurrentFillRight();
    if (after != before) InvalidateRect(m_hWnd, nullptr, after < before);
    return result;
}

int CSkinProgressCtrl::CurrentFillRight() {
    auto low = static_cast<int>(CallDefault(PBM_GETRANGE, TRUE, 0));
    auto high = static_cast<int>(CallDefault(PBM_GETRANGE, FALSE, 0));
    auto position = static_cast<int>(CallDefault(PBM_GETPOS, 0, 0));
    RECT client;
    GetClientRect(m_hWnd, &client);
    return kavuno::launcher::ProgressFillRight(position, low, high, client.right);
}

void CSkinProgressCtrl::EraseWithTrack() {
    RECT window;
    GetWindowRect(m_hWnd, &window);
    HDC dc = GetWindowDC(m_hWnd);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_bmpTrack);
    StretchBlt(dc, 0, 0, window.right - window.left, window.bottom - window.top, memory, 0, 0, kTrackWidth,
               kTrackHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(m_hWnd, dc);
}

void CSkinProgressCtrl::PaintFill() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int right = CurrentFillRight();
    if (right >= 0 && m_brBar) {
        RECT fill = {client.left + kFillInset, client.top + kFillInset, right, client.bottom - kFillInset};
        FillRect(dc, &fill, m_brBar);
    }
    EndPaint(m_hWnd, &ps);
}
