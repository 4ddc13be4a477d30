#include "update_worker.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "entry_name.h"
#include "gbk_win.h"
#include "internet.h"
#include "manifest.h"
#include "progress_math.h"
#include "service_config.h"
#include "staged_file.h"

namespace kavuno::launcher {
namespace {

constexpr wchar_t kManifestPath[] = L"/movie/update.txt";
constexpr wchar_t kFilePath[] = L"/movie/file/";
// The manifest is read through a buffer of this size.
constexpr DWORD kManifestReadSize = 4096;
// A manifest larger than this is not a manifest.
constexpr size_t kManifestLimit = 16 * 1024 * 1024;

// Whether the body read so far is what the server announced.
bool Complete(const InternetResponse& response, uint64_t received) {
    return !response.contentLength || *response.contentLength == received;
}

// The whole manifest, or nothing when it cannot be read completely.
std::optional<std::string> ReadManifestText(HINTERNET session) {
    auto response = OpenAddress(session, gbk::ToWide(config::UpdateServer()) + kManifestPath,
                                INTERNET_FLAG_TRANSFER_ASCII);
    if (!response) return std::nullopt;
    std::string text;
    char buffer[kManifestReadSize];
    for (;;) {
        DWORD read = 0;
        if (!ReadSome(response->file.get(), buffer, sizeof buffer, read)) return std::nullopt;
        if (read == 0) break;
        text.append(buffer, read);
        if (text.size() > kManifestLimit) return std::nullopt;
    }
    if (!Complete(*response, text.size())) return std::nullopt;
    return text;
}

// One entry: its own session, its address, a staged local file. False ends
// the update: the entries after it are not attempted.
bool DownloadEntry(const std::wstring& agent, const std::wstring& appDir, const ManifestEntry& entry,
                   ProgressChannel& progress) {
    InternetHandle session = OpenInternetSession(agent);
    if (!session) return false;
    std::wstring name = gbk::ToWide(entry.name);
    auto response =
        OpenAddress(session.get(), gbk::ToWide(config::UpdateServer()) + kFilePath + name, INTERNET_FLAG_TRANSFER_BINARY);
    if (!response) return false;

    StagedFile file(appDir + name);
    if (!file.Create()) return false;
    progress.SetRange(entry.size);
    progress.SetPos(1);

    char chunk[kProgressStep];
    uint64_t received = 0;
    for (;;) {
        if (progress.IsClosed()) return false;  // the window is closing: leave the old file
        DWORD read = 0;
        if (!ReadSome(response->file.get(), chunk, sizeof chunk, read)) return false;
        if (read == 0) break;
        // The bar moves a whole step per read, before the bytes are written.
        progress.SetPos(NextProgressPosition(progress.GetPos()));
        if (!file.Write(chunk, read)) return false;
        received += read;
    }
    return Complete(*response, received) && file.Commit();
}

}  // namespace

void ProgressChannel::SetRange(int size) {
    if (!closed_) SendMessageW(bar_, PBM_SETRANGE32, 1, size);
}

void ProgressChannel::SetPos(int position) {
    if (!closed_) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressChannel::GetPos() { return closed_ ? 0 : static_cast<int>(SendMessageW(bar_, PBM_GETPOS, 0, 0)); }

void RunUpdate(const std::wstring& agent, const std::wstring& appDir, ProgressChannel& progress) {
    InternetHandle session = OpenInternetSession(agent);
    if (!session) return;
    std::optional<std::string> manifest = ReadManifestText(session.get());
    if (!manifest) return;
    for (const ManifestEntry& entry : ReadManifest(*manifest)) {
        if (progress.IsClosed()) return;
        if (!IsSafeEntryName(entry.name)) continue;
        if (!DownloadEntry(agent, appDir, entry, progress)) return;
    }
}

}  // namespace kavuno::launcher
