#include "framework/failure_report.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <string>

#include "framework/app.h"
#include "framework/program_log.h"

namespace kavuno::ui {
namespace {

// A handler that fails on every paint would fill the log: after this many
// lines the rest are only counted.
constexpr int kMaxLoggedFailures = 50;

std::atomic<int> g_failures{0};
std::atomic<bool> g_told{false};
std::wstring g_noticeText;  // written once, before the timer that reads it

}  // namespace

std::string CaughtExceptionText() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an exception that is no std::exception";
    }
}

namespace {

std::wstring ProgramTitle() {
    std::wstring title = ProgramPath();
    title.erase(0, title.find_last_of(L"\\/") + 1);
    if (const auto dot = title.find_last_of(L'.'); dot != std::wstring::npos) title.erase(dot);
    return title;
}

void ShowMessageBox(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), ProgramTitle().c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

FailureNotice g_notice = &ShowMessageBox;

void CALLBACK ShowNotice(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    try {
        g_notice(g_noticeText);
    } catch (...) {
        // Nothing more can be done for the user here.
    }
}

}  // namespace

void ReportCaughtFailure(const char* where) noexcept {
    const int count = ++g_failures;
    try {
        if (count <= kMaxLoggedFailures) {
            WriteLog(logfile::Kind::Failure, std::string(where ? where : "?") + ": " + CaughtExceptionText());
        } else if (count == kMaxLoggedFailures + 1) {
            WriteLog(logfile::Kind::Failure, "further failures in this run are counted, not logged");
        }
        if (g_told.exchange(true)) return;
        g_noticeText = L"程序内部出现了一个错误，已经记录在日志文件中：\n" + LogFilePath() +
                       L"\n\n程序会继续运行。如果问题反复出现，请关闭并重新启动程序。";
        // Not from inside the failing handler: the box's own message loop
        // would run the window's messages in the middle of it.
        if (!SetTimer(nullptr, 0, 0, &ShowNotice)) g_notice(g_noticeText);
    } catch (...) {
        // Out of memory while reporting: the failure stays counted.
    }
}

void SetFailureNotice(FailureNotice notice) {
    g_notice = notice ? notice : &ShowMessageBox;
    g_told = false;
}

int CaughtFailureCount() { return g_failures; }

}  // namespace kavuno::ui
