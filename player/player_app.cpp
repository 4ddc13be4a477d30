#include "player/player_app.h"

#include <ole2.h>

#include "player/main_window.h"
#include "player/presence.h"

namespace {

// The launcher's window, by caption; the launcher ends when it is closed.
constexpr wchar_t kLauncherCaption[] = L"KavunoUp";
constexpr wchar_t kNoLauncherMessage[] = L"无法运行，需要引导程序！";
constexpr wchar_t kNoSocketsMessage[] = L"Windows 通信端口初始化失败。";

// ActiveX hosting needs OLE on this (the GUI) thread for the program's life.
class OleSession {
public:
    OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool ok_;
};

CPlayerApp theApp;

}  // namespace

bool CPlayerApp::InitInstance() {
    HWND launcher = FindWindowW(nullptr, kLauncherCaption);
    if (!launcher) {
        ShowExclamation(kNoLauncherMessage);
        return false;
    }
    SendMessageW(launcher, WM_CLOSE, 0, 0);

    kavuno::player::SocketsSession sockets;
    if (!sockets.ok()) {
        ShowExclamation(kNoSocketsMessage);
        return false;
    }
    OleSession ole;
    // Dialog controls have had the three-dimensional look since Windows 95:
    // nothing is left to enable for it.

    {
        CPlayerDlg dialog;
        dialog.DoModal();
    }
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return theApp.Run(instance); }
