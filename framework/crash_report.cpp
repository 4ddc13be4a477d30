#include "framework/crash_report.h"

#include <windows.h>
#include <dbghelp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "common/ownership.h"
#include "framework/program_log.h"

namespace kavuno::ui {
namespace {

using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                        PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// Prepared at installation: the handler only formats into fixed buffers.
WriteDumpFunction g_writeDump = nullptr;
wchar_t g_folder[MAX_PATH] = {};
wchar_t g_program[64] = {};
std::atomic<bool> g_crashing{false};

// A note holds one path; anything longer is no note of ours.
constexpr DWORD kMaxNoteBytes = 4 * MAX_PATH;

// WriteNote and Report run after a crash, in a process that may be damaged:
// they close their files by hand rather than through owners, and depend on
// no destructor and as little of the heap as they can.
void WriteNote(const wchar_t* dumpPath) {
    wchar_t notePath[MAX_PATH + 80];
    _snwprintf(notePath, sizeof notePath / sizeof notePath[0] - 1, L"%ls%ls.crash", g_folder, g_program);
    notePath[sizeof notePath / sizeof notePath[0] - 1] = L'\0';
    HANDLE file = CreateFileW(notePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, dumpPath, static_cast<DWORD>(wcslen(dumpPath) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

// The dump, the log line and the note; `pointers` is null for a C++ exception.
void Report(EXCEPTION_POINTERS* pointers, const char* what) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t dumpPath[MAX_PATH + 80];
    _snwprintf(dumpPath, sizeof dumpPath / sizeof dumpPath[0] - 1, L"%ls%ls-%04u%02u%02u-%02u%02u%02u-%lu.dmp",
               g_folder, g_program, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, GetCurrentProcessId());
    dumpPath[sizeof dumpPath / sizeof dumpPath[0] - 1] = L'\0';

    bool dumped = false;
    if (g_writeDump && g_folder[0]) {
        HANDLE file = CreateFileW(dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            MINIDUMP_EXCEPTION_INFORMATION exception = {GetCurrentThreadId(), pointers, FALSE};
            dumped = g_writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                 pointers ? &exception : nullptr, nullptr, nullptr) != FALSE;
            CloseHandle(file);
            if (!dumped) DeleteFileW(dumpPath);
        }
    }

    char line[MAX_PATH * 3 + 200];
    const std::string dumpName = dumped ? ToUtf8(dumpPath) : std::string("no dump could be written");
    if (pointers && pointers->ExceptionRecord) {
        const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
        std::snprintf(line, sizeof line, "%s 0x%08lX at %p; %s", what, static_cast<unsigned long>(record.ExceptionCode),
                      record.ExceptionAddress, dumpName.c_str());
    } else {
        std::snprintf(line, sizeof line, "%s; %s", what, dumpName.c_str());
    }
    WriteLog(logfile::Kind::Crash, std::string_view(line));
    if (dumped) WriteNote(dumpPath);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
    if (g_crashing.exchange(true)) return EXCEPTION_CONTINUE_SEARCH;  // the report itself failed
    const DWORD code = pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionCode : 0;
    Report(pointers, code == EXCEPTION_ACCESS_VIOLATION ? "access violation" : "unhandled exception");
    return EXCEPTION_EXECUTE_HANDLER;  // the process ends, without the system's crash dialog
}

void OnTerminate() {
    if (!g_crashing.exchange(true)) {
        std::string what = "uncaught C++ exception";
        try {
            if (std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
        } catch (const std::exception& e) {
            what += std::string(": ") + e.what();
        } catch (...) {
        }
        Report(nullptr, what.c_str());
    }
    TerminateProcess(GetCurrentProcess(), 3);
}

// dbghelp.dll from the system folder only: a copy beside the program (the
// folder users and updates write to) or in the current folder is never run.
HMODULE LoadSystemDbgHelp() {
    if (HMODULE module = LoadLibraryExW(L"dbghelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Windows 7 without the update that brought the flag: the full path does the same.
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 16) return nullptr;
    return LoadLibraryW((std::wstring(system, length) + L"\\dbghelp.dll").c_str());
}

// Keeps the newest minidumps of `program` in the log folder, room left for
// one of this run: never more than three, so a program that crashes at every
// start cannot fill the disk.
void RemoveOldDumps(std::wstring_view program) {
    constexpr size_t kKeptDumps = 2;
    if (!g_folder[0]) return;
    const std::wstring folder = g_folder;
    std::vector<std::pair<ULONGLONG, std::wstring>> dumps;
    WIN32_FIND_DATAW found;
    {
        const win::OwnedFind search(FindFirstFileExW((folder + std::wstring(program) + L"-*.dmp").c_str(),
                                                     FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
        if (!search) return;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            const ULONGLONG written = (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                      found.ftLastWriteTime.dwLowDateTime;
            dumps.emplace_back(written, found.cFileName);
        } while (FindNextFileW(search.get(), &found));
    }
    if (dumps.size() <= kKeptDumps) return;
    std::sort(dumps.begin(), dumps.end(), [](const auto& a, const auto& b) { return a > b; });  // newest first
    for (size_t i = kKeptDumps; i < dumps.size(); ++i) DeleteFileW((folder + dumps[i].second).c_str());
}

}  // namespace

void InstallCrashHandler(std::wstring_view program) {
    wcsncpy(g_program, std::wstring(program).c_str(), sizeof g_program / sizeof g_program[0] - 1);
    const std::wstring folder = LogFolder();
    if (folder.size() < sizeof g_folder / sizeof g_folder[0]) wcscpy(g_folder, folder.c_str());
    if (HMODULE dbghelp = LoadSystemDbgHelp())
        g_writeDump = reinterpret_cast<WriteDumpFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    RemoveOldDumps(program);
    SetUnhandledExceptionFilter(&OnUnhandledException);
    std::set_terminate(&OnTerminate);
}

std::optional<std::wstring> TakeCrashNote(std::wstring_view program) {
    const std::wstring folder = LogFolder();
    if (folder.empty()) return std::nullopt;
    const std::wstring notePath = folder + std::wstring(program) + L".crash";
    win::OwnedHandle file(CreateFileW(notePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::wstring path(kMaxNoteBytes / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    const bool ok = ReadFile(file.get(), path.data(), kMaxNoteBytes, &read, nullptr) != FALSE;
    file.Reset();  // closed before it is deleted
    DeleteFileW(notePath.c_str());
    path.resize(read / sizeof(wchar_t));
    // Only a dump of ours, in the log folder, that is still there.
    const bool ours = ok && read < kMaxNoteBytes && read % sizeof(wchar_t) == 0 && path.size() > folder.size() &&
                      path.compare(0, folder.size(), folder) == 0 &&
                      path.find_first_of(L"\\/", folder.size()) == std::wstring::npos &&
                      path.find(L'\0') == std::wstring::npos && path.ends_with(L".dmp") &&
                      GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!ours) return std::nullopt;
    return path;
}

}  // namespace kavuno::ui
