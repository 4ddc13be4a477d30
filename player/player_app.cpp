#include "player/player_app.h"

#include <ole2.h>

#include "common/program_names.h"
#include "player/main_window.h"
#include "player/presence.h"

namespace {

// A launcher that does not answer in this time is not waited for any longer.
constexpr UINT kLauncherCloseTimeoutMs = 10000;
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

PlayerApp theApp;

}  // namespace

bool PlayerApp::InitInstance() {
    // The launcher's dialog window (no other window of that name is closed);
    // the launcher ends when it is closed.
    HWND launcher = FindWindowW(kavuno::names::kDialogWindowClass, kavuno::names::kLauncherWindowText);
    if (!launcher) {
        ShowExclamation(kNoLauncherMessage);
        return false;
    }
    // Synchronous, but a hung launcher cannot hang the player. Not
    // SMTO_ABORTIFHUNG: a launcher still inside the ShellExecute that started
    // this player answers no message for a while without being hung (Wine
    // waits there until the new program is idle), and would miss its close.
    // One that does not answer in time is sent it to handle when it can.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(launcher, WM_CLOSE, 0, 0, SMTO_NORMAL, kLauncherCloseTimeoutMs, &ignored))
        PostMessageW(launcher, WM_CLOSE, 0, 0);

    kavuno::player::SocketsSession sockets;
    if (!sockets.ok()) {
        ShowExclamation(kNoSocketsMessage);
        return false;
    }
    OleSession ole;
    // Dialog controls have had the three-dimensional look since Windows 95:
    // nothing is left to enable for it.

    {
        MainWindow dialog;
        dialog.DoModal();
    }
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The current folder leaves the DLL search; the media controls still load
    // from the paths they are registered with.
    SetDllDirectoryW(L"");
    return theApp.Run(instance);
}
