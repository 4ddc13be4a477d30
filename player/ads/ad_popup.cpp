#include "player/ads/ad_popup.h"

#include "player/ads/ad_pages.h"
#include "player/template_setup.h"
#include "resources/player/resource.h"

namespace kavuno::ads {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseInterval = 1000;  // ms
constexpr int kCloseAtTick = 6;

// Ticks of the close timer, for the whole program: further clicks restart the
// current second but never the count.
int s_nCloseTicks = 0;

}  // namespace

const ui::MessageEntry<CAdPopupDlg> CAdPopupDlg::kMessageTable[] = {
    ui::OnMessage(WM_TIMER, &CAdPopupDlg::OnTimer),
};

CAdPopupDlg::CAdPopupDlg() : Dialog(IDD_AD_POPUP, kMessageTable) {}

bool CAdPopupDlg::Open(HWND owner) {
    if (!CreateModeless(owner)) return false;
    RECT main;
    GetWindowRect(owner, &main);
    ShowWindow(hwnd(), SW_SHOW);
    SetWindowPos(hwnd(), HWND_TOPMOST, main.left, main.bottom, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void CAdPopupDlg::KeepOnTop() {
    if (hwnd()) SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL CAdPopupDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    player::PlaceAtReferenceUnits(hwnd(), GetModuleHandleW(nullptr), IDD_AD_POPUP);
    RECT client;
    GetClientRect(hwnd(), &client);
    m_pPopupBrowser.Create(L"Web Browser", WS_CHILD | WS_MAXIMIZE, client, hwnd(), kBrowserId);
    ShowWindow(m_pPopupBrowser.hwnd(), SW_SHOW);
    m_pPopupBrowser.SetResizable(false);
    m_pPopupBrowser.Navigate(PopupAdPage());
    return TRUE;
}

bool CAdPopupDlg::PreTranslateMessage(MSG& msg) {
    m_pPopupBrowser.NoteInput(msg);
    if (msg.message == WM_LBUTTONUP) {
        // The point is the receiving window's own, as the message carries it.
        const POINT point = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        RECT client;
        GetClientRect(hwnd(), &client);
        if (PtInRect(&client, point)) SetTimer(hwnd(), kCloseTimer, kCloseInterval, nullptr);
    }
    return false;  // the click reaches the page as usual
}

bool CAdPopupDlg::OnTimer(WPARAM, LPARAM, LRESULT&) {
    if (++s_nCloseTicks == kCloseAtTick) {
        KillTimer(hwnd(), kCloseTimer);
        EndDialog(IDOK);  // a modeless window: destroyed
    }
    return false;
}

}  // namespace kavuno::ads
