#include "framework/program_log.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>

#include "common/log_line.h"
#include "common/ownership.h"

namespace kavuno::ui {
namespace {

std::wstring& Name() {
    static std::wstring name = L"kavuno-program";
    return name;
}

std::wstring WithBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path;
}

logfile::Timestamp Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// Appends `line` to `path`, rotating first when it is due.
void Append(const std::wstring& path, const std::string& line) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const auto open = [&] {
        return CreateFileW(path.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    win::OwnedHandle file(open());
    if (!file) return;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file.get(), &size) &&
        logfile::RotateBefore(static_cast<std::uint64_t>(size.QuadPart), line.size())) {
        file.Reset();  // closed before it is moved aside
        MoveFileExW(path.c_str(), (path + L".1").c_str(), MOVEFILE_REPLACE_EXISTING);
        file.Reset(open());
        if (!file) return;
    }
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

std::wstring UserDataFolder(bool roaming) {
    // The variable first: it is what the user's session says, and a test can
    // point it elsewhere.
    if (const wchar_t* value = _wgetenv(roaming ? L"APPDATA" : L"LOCALAPPDATA"); value && value[0] != L'\0')
        return value;
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(
            SHGetKnownFolderPath(roaming ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData, 0, nullptr, &known)) &&
        known)
        folder = known;
    CoTaskMemFree(known);
    return folder;
}

void SetLogName(std::wstring_view program) {
    if (!program.empty()) Name() = std::wstring(program);
}

const std::wstring& LogName() { return Name(); }

std::wstring LogFolder() {
    const std::wstring base = UserDataFolder(false);
    if (base.empty()) return {};
    std::wstring folder = WithBackslash(base) + L"Kavuno\\";
    CreateDirectoryW(folder.c_str(), nullptr);  // there already, most of the time
    return folder;
}

std::wstring LogFilePath() {
    const std::wstring folder = LogFolder();
    return folder.empty() ? std::wstring() : folder + Name() + L".log";
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(std::min<std::size_t>(text.size(), 1u << 20));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

void WriteLog(logfile::Kind kind, std::string_view text) noexcept {
    try {
        const std::wstring path = LogFilePath();
        if (path.empty()) return;
        Append(path, logfile::FormatLine(Now(), GetCurrentProcessId(), logfile::KindText(kind), text));
    } catch (...) {
        // Out of memory while logging: the line is lost, nothing else.
    }
}

void WriteLog(logfile::Kind kind, std::wstring_view text) noexcept {
    try {
        WriteLog(kind, ToUtf8(text));
    } catch (...) {
    }
}

}  // namespace kavuno::ui
