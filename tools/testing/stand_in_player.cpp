// A stand-in for the player in the launcher's tests, copied into a test folder
// as kavuno.exe. It notes that it was started, then closes the launcher the way
// the player does (WM_CLOSE to the dialog window titled "KavunoUp").
//
// The note is one line appended to the file named by KAVUNO_STAND_IN_LOG, or to
// "started.txt" beside the program: "started", whether the launcher's window was
// there, and the command line.
// KAVUNO_STAND_IN_KEEP_LAUNCHER=1 leaves the launcher open (a player that never
// closes it).
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/ownership.h"
#include "common/program_names.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
    return (n > 0 && n < MAX_PATH * 2) ? std::wstring(buffer, n) : std::wstring();
}

std::wstring NotePath() {
    std::wstring path = Environment(L"KAVUNO_STAND_IN_LOG");
    if (!path.empty()) return path;
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    path.assign(self, n);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"started.txt";
}

void AppendNote(const std::wstring& path, const std::wstring& line) {
    // Append with a retry: two stand-ins started together must both be counted.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const kavuno::win::OwnedHandle file(
            CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                            nullptr, nullptr);
            std::string utf8(static_cast<size_t>(bytes), '\0');
            WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                                nullptr);
            DWORD written = 0;
            WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            return;
        }
        Sleep(20);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HWND launcher = FindWindowW(kavuno::names::kDialogWindowClass, kavuno::names::kLauncherWindowText);
    AppendNote(NotePath(),
               std::wstring(L"started launcher=") + (launcher ? L"1" : L"0") + L" cmd=" + GetCommandLineW() + L"\n");
    if (launcher && Environment(L"KAVUNO_STAND_IN_KEEP_LAUNCHER") != L"1") SendMessageW(launcher, WM_CLOSE, 0, 0);
    return 0;
}
