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
int g_closeTicks = 0;

}  // namespace

const ui::MessageEntry<AdPopup> AdPopup::kMessageTable[] = {
    ui::OnMessage(WM_TIMER, &AdPopup::OnTimer),
};

AdPopup::AdPopup() : Dialog(IDD_AD_POPUP, kMessageTable) {}

bool AdPopup::Open(HWND owner) {
    if (!CreateModeless(owner)) return false;
    RECT main;
    GetWindowRect(owner, &main);
    ShowWindow(hwnd(), SW_SHOW);
    SetWindowPos(hwnd(), HWND_TOPMOST, main.left, main.bottom, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void AdPopup::KeepOnTop() {
    if (hwnd()) SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool AdPopup::OnInitDialog() {
    Dialog::OnInitDialog();
    player::PlaceAtReferenceUnits(hwnd(), GetModuleHandleW(nullptr), IDD_AD_POPUP);
    RECT client;
    GetClientRect(hwnd(), &client);
    browser_.Create(L"Web Browser", WS_CHILD | WS_MAXIMIZE, client, hwnd(), kBrowserId);
    ShowWindow(browser_.hwnd(), SW_SHOW);
    browser_.SetResizable(false);
    browser_.Navigate(PopupAdPage());
    return true;
}

bool AdPopup::PreTranslateMessage(MSG& msg) {
    browser_.NoteInput(msg);
    if (msg.message == WM_LBUTTONUP) {
        // The point is the receiving window's own, as the message carries it.
        const POINT point = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        RECT client;
        GetClientRect(hwnd(), &client);
        if (PtInRect(&client, point)) SetTimer(hwnd(), kCloseTimer, kCloseInterval, nullptr);
    }
    return false;  // the click reaches the page as usual
}

bool AdPopup::OnTimer(WPARAM, LPARAM, LRESULT&) {
    if (++g_closeTicks == kCloseAtTick) {
        KillTimer(hwnd(), kCloseTimer);
        EndDialog(IDOK);  // a modeless window: destroyed
    }
    return false;
}

}  // namespace kavuno::ads
