// The launcher's progress bar, drawn from bitmaps: the track (151) stretched
// over the whole control, border included, and the filled part tiled with the
// stripe pattern (152). Range and position stay the control's own.
//
// It takes over the control's window procedure directly instead of through the
// framework's Control (comctl32 subclassing): under Wine that costs two server
// round trips per message, and the update worker sends this bar two messages
// for every 200 bytes it downloads.
#pragma once
#include <windows.h>

class CSkinProgressCtrl {
public:
    CSkinProgressCtrl();  // loads the bitmaps; no window is needed yet
    ~CSkinProgressCtrl();
    CSkinProgressCtrl(const CSkinProgressCtrl&) = delete;
    CSkinProgressCtrl& operator=(const CSkinProgressCtrl&) = delete;

    // Binds the object to a progress bar control (and gives it back on Detach
    // or when the control is destroyed).
    void Attach(HWND hwnd);
    void Detach();
    HWND hwnd() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcW(m_pfnDefault, m_hWnd, message, wParam, lParam);
    }
    LRESULT MoveQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    void EraseWithTrack();
    void PaintFill();
    int CurrentFillRight();

    HBITMAP m_bmpTrack = nullptr;
    HBITMAP m_bmpBar = nullptr;
    HBRUSH m_brBar = nullptr;
    HWND m_hWnd = nullptr;
    WNDPROC m_pfnDefault = nullptr;
};
