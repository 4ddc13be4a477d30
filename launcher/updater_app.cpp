#include "launcher/updater_app.h"

#include <memory>

#include "launcher/updater_dlg.h"

namespace {

// The player's main window, by caption.
constexpr wchar_t kPlayerCaption[] = L"Kavuno";
constexpr wchar_t kPlayerRunningMessage[] = L"已运行一个应用程序，无法再运行！";
// How long the closed window waits for a worker in the middle of a read.
constexpr DWORD kWorkerGraceMs = 3000;

CUpdaterApp theApp;

}  // namespace

bool CUpdaterApp::InitInstance() {
    if (FindWindowW(nullptr, kPlayerCaption)) {
        ShowExclamation(kPlayerRunningMessage);
        return false;
    }
    auto dialog = std::make_unique<CUpdaterDlg>();
    dialog->DoModal();
    // A worker stuck in a network call may still read the dialog: keep it for
    // the few moments until the process ends.
    if (!dialog->FinishUpdate(kWorkerGraceMs)) static_cast<void>(dialog.release());
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return theApp.Run(instance); }
