#include "player/history/history_file.h"

#include <windows.h>

#include "common/ownership.h"
#include "framework/program_log.h"

namespace kavuno::history {
namespace {

// Up to `limit` + 1 bytes of the file: one more than a history may have tells a
// file that is too large without reading it all. Nothing when it cannot be read.
std::optional<std::string> ReadHead(const std::wstring& path, std::size_t limit, bool& missing) {
    win::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    missing = !file && (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND);
    if (!file) return std::nullopt;
    std::string bytes(limit + 1, '\0');
    std::size_t got = 0;
    DWORD read = 0;
    while (got < bytes.size() &&
           ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &read, nullptr) && read > 0)
        got += read;
    bytes.resize(got);
    return bytes;
}

}  // namespace

HistoryFile::HistoryFile() {
    const std::wstring folder = ui::UserDataFolder(true);
    if (!folder.empty()) path_ = folder + (folder.back() == L'\\' ? L"" : L"\\") + L"Kavuno\\history.dat";
}

WatchHistory HistoryFile::Load() const {
    if (path_.empty()) return {};
    bool missing = false;
    const std::optional<std::string> bytes = ReadHead(path_, WatchHistory::kMaxFileBytes, missing);
    if (!bytes) {
        if (!missing)
            ui::WriteLog(logfile::Kind::History, "history.dat cannot be read; starting with an empty history");
        return {};
    }
    if (std::optional<WatchHistory> history = WatchHistory::Parse(*bytes)) return std::move(*history);
    const std::wstring aside = path_ + L".bad";
    const bool moved = MoveFileExW(path_.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    ui::WriteLog(logfile::Kind::History,
                 std::string("history.dat is damaged") +
                     (moved ? ", set aside as history.dat.bad" : " and could not be set aside") +
                     "; starting with an empty history");
    return {};
}

bool HistoryFile::Save(const WatchHistory& history) const {
    if (path_.empty()) return false;
    const std::wstring folder = path_.substr(0, path_.rfind(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);  // there already, mostly
    const std::wstring temporary = path_ + L".tmp";
    const std::string bytes = history.Serialize();
    {
        win::OwnedHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            file.Reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    return MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace kavuno::history
