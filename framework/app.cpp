#include "framework/app.h"

#include <commctrl.h>

#include "framework/crash_report.h"
#include "framework/failure_report.h"
#include "framework/program_log.h"

namespace kavuno::ui {
namespace {
App* g_current = nullptr;
}

App::App(std::wstring_view logName) : logName_(logName) { g_current = this; }

App::~App() {
    if (g_current == this) g_current = nullptr;
}

App& App::Current() { return *g_current; }

int App::Run(HINSTANCE instance) {
    instance_ = instance;
    std::wstring path = ProgramPath();
    size_t slash = path.find_last_of(L"\\/");
    title_ = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    size_t dot = title_.find_last_of(L'.');
    if (dot != std::wstring::npos) title_.erase(dot);

    SetLogName(logName_);
    InstallCrashHandler(logName_);
    WriteLog(logfile::Kind::Start, L"version " KAVUNO_VERSION_TEXT L", " + path);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    try {
        InitInstance();
    } catch (...) {
        // Outside any window: no message loop is left to show a box later.
        WriteLog(logfile::Kind::Failure, "start-up: " + CaughtExceptionText());
        ShowExclamation(L"程序无法启动：内部错误，已经记录在日志文件中：\n" + LogFilePath());
        return 1;
    }
    return 0;
}

int App::ShowExclamation(const std::wstring& text) const {
    return MessageBoxW(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // a long path: try again with more room
    }
}

std::wstring ProgramDirectory() {
    std::wstring path = ProgramPath();
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace kavuno::ui
