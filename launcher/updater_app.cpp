#include "launcher/updater_app.h"

#include "common/program_names.h"
#include "launcher/updater_dlg.h"

namespace {

constexpr wchar_t kPlayerRunningMessage[] = L"已运行一个应用程序，无法再运行！";
// How long the closed window waits for a worker in the middle of a read.
constexpr DWORD kWorkerGraceMs = 3000;

UpdaterApp theApp;

// DLLs loaded from now on come from the system folder only, never from the
// program folder the launcher writes into. SetDefaultDllDirectories is looked
// up at run time: Windows 7 has it only with KB2533623; without it, the
// current folder at least leaves the search.
void LoadDllsFromTheSystemFolderOnly() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

}  // namespace

bool UpdaterApp::InitInstance() {
    // Only the player's dialog window counts: an Explorer window on a folder
    // named Kavuno (the obvious place to install it) does not stop the launcher.
    if (FindWindowW(kavuno::names::kDialogWindowClass, kavuno::names::kPlayerWindowText)) {
        ShowExclamation(kPlayerRunningMessage);
        return false;
    }
    UpdaterDialog dialog;
    dialog.DoModal();
    dialog.FinishUpdate(kWorkerGraceMs);
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    LoadDllsFromTheSystemFolderOnly();
    return theApp.Run(instance);
}
