#include "launcher/update_worker.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "common/gbk_win.h"
#include "common/service_config.h"
#include "framework/app.h"
#include "framework/program_log.h"
#include "launcher/accepted_serial.h"
#include "launcher/cng_crypto.h"
#include "launcher/entry_name.h"
#include "launcher/installed_files.h"
#include "launcher/internet.h"
#include "launcher/staged_file.h"
#include "launcher/update_public_key.h"

namespace kavuno::launcher {
namespace {

constexpr char kListPath[] = "/movie/update.sig";
constexpr char kManifestPath[] = "/movie/update.txt";
constexpr char kFilePath[] = "/movie/file/";
constexpr wchar_t kInstalledFiles[] = L"files.txt";
// A files.txt longer than this was not written by the launcher: not merged.
constexpr size_t kMaxInstalledFiles = 16u << 20;

// An opened address, with the session it was opened in.
class InternetSource : public ByteSource {
public:
    InternetSource(win::OwnedInternet session, InternetResponse response, ProgressChannel& activity)
        : response_(std::move(response)), session_(std::move(session)), activity_(activity) {}

    bool Read(char* buffer, size_t size, size_t& read) override {
        DWORD got = 0;
        bool ok = ReadSome(response_.request.get(), buffer, static_cast<DWORD>(size), got, arrived_);
        activity_.NoteActivity();
        read = got;
        return ok;
    }
    std::optional<uint64_t> AnnouncedLength() const override { return response_.contentLength; }

private:
    InternetResponse response_;  // the address first, then its session
    win::OwnedInternet session_;
    ProgressChannel& activity_;
    DWORD arrived_ = 0;  // bytes known to be there, not read yet
};

class WinInetServer : public UpdateServer {
public:
    WinInetServer(std::wstring agent, std::string base, ProgressChannel& activity)
        : agent_(std::move(agent)), base_(std::move(base)), activity_(activity) {}

    std::unique_ptr<ByteSource> OpenList() override { return Open(base_ + kListPath, INTERNET_FLAG_TRANSFER_BINARY); }
    // Session S1, open with the manifest until the update ends.
    std::unique_ptr<ByteSource> OpenManifest() override {
        return Open(base_ + kManifestPath, INTERNET_FLAG_TRANSFER_ASCII);
    }
    // Each entry in a session of its own, at the address that names exactly
    // the manifest's bytes.
    std::unique_ptr<ByteSource> OpenFile(const std::string& gbkName) override {
        return Open(base_ + kFilePath + EntryAddressPath(gbkName), INTERNET_FLAG_TRANSFER_BINARY);
    }

private:
    std::unique_ptr<ByteSource> Open(const std::string& url, DWORD transferFlag) {
        activity_.NoteActivity();
        win::OwnedInternet session = OpenInternetSession(agent_);
        if (!session) return nullptr;
        std::optional<InternetResponse> response = OpenAddress(session.get(), url, transferFlag);
        activity_.NoteActivity();
        if (!response) return nullptr;
        return std::make_unique<InternetSource>(std::move(session), std::move(*response), activity_);
    }

    std::wstring agent_;
    std::string base_;
    ProgressChannel& activity_;
};

class StagedLocalFile : public LocalFile {
public:
    StagedLocalFile(std::wstring target, const StagingFolder& staging) : file_(std::move(target), staging) {}
    bool Create() { return file_.Create(); }
    bool Write(const char* data, size_t size) override { return file_.Write(data, size); }
    bool Commit() override { return file_.Commit(); }

private:
    StagedFile file_;
};

class LauncherFolder : public UpdateFolder {
public:
    explicit LauncherFolder(std::wstring dir) : dir_(std::move(dir)), staging_(dir_) {}

    void RemoveLeftovers() override { staging_.RemoveLeftovers(); }
    // The local name is the manifest's GBK name decoded with code page 936.
    // Its folder must exist already: none is created.
    std::unique_ptr<LocalFile> Create(const std::string& gbkName) override {
        std::wstring target = dir_ + gbk::ToWide(gbkName);
        std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
        DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
        // Whatever alias the name took (a short name the name rules do not know), never the staging folder.
        if (IsSameFile(folder, staging_.Path())) return nullptr;
        auto file = std::make_unique<StagedLocalFile>(std::move(target), staging_);
        if (!file->Create()) return nullptr;
        return file;
    }
    // The names of earlier runs stay: the record only grows.
    void RecordCommitted(const std::string& gbkName) override {
        std::string previous = staging_.Load(kInstalledFiles, kMaxInstalledFiles);
        staging_.Store(kInstalledFiles, InstalledFilesText({gbkName}, previous));
    }

private:
    std::wstring dir_;
    StagingFolder staging_;
};

// The build's key through CNG, and this user's record of accepted serials.
class BuildTrust : public UpdateTrust {
public:
    BuildTrust() : key_(kUpdatePublicKey), sha256_(BCRYPT_SHA256_ALGORITHM), serialPath_(AcceptedSerialPath()) {}

    bool VerifySignature(std::string_view message, const EcdsaSignature& signature) override {
        return key_.Verify(message, signature);
    }
    std::unique_ptr<Sha256> NewSha256() override {
        auto hash = std::make_unique<CngSha256>(sha256_);
        if (!hash->ok()) return nullptr;
        return hash;
    }
    uint64_t AcceptedSerial() override { return ReadAcceptedSerial(serialPath_); }
    void Accept(uint64_t serial) override { WriteAcceptedSerial(serialPath_, serial); }
    uint64_t MinSerial() override { return kUpdateMinSerial; }
    std::string_view Target() override { return kUpdateTarget; }
    uint64_t Now() override {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        // 100-nanosecond steps since 1601 to seconds since 1970.
        uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        return ticks / 10000000u - 11644473600u;
    }

private:
    CngPublicKey key_;
    CngProvider sha256_;
    std::wstring serialPath_;
};

}  // namespace

bool ProgressChannel::GiveUp() {
    int seen = kOpen;
    return state_.compare_exchange_strong(seen, kClosed) || seen == kClosed;
}

bool ProgressChannel::BeginCommit() {
    int open = kOpen;
    return state_.compare_exchange_strong(open, kCommitting);
}

void ProgressChannel::EndCommit() {
    int committing = kCommitting;
    state_.compare_exchange_strong(committing, kOpen);  // unless the window closed meanwhile
}

void ProgressChannel::SetRange(int size) {
    range_ = size;
    shown_.reset();
    untold_.reset();
    if (!IsClosed()) SendMessageW(bar_, PBM_SETRANGE32, 1, size);
}

void ProgressChannel::SetPos(int position) {
    const bool tell = !shown_ || position < *shown_ || position >= range_ ||
                      (static_cast<int64_t>(position) - *shown_) * kBarSteps >= range_;
    if (!tell) {
        untold_ = position;  // within the range: the bar would have kept it as it is
        return;
    }
    shown_ = position;
    untold_.reset();
    if (!IsClosed()) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressChannel::GetPos() {
    if (IsClosed()) return 0;
    return untold_ ? *untold_ : static_cast<int>(SendMessageW(bar_, PBM_GETPOS, 0, 0));
}

void RunUpdateJob(UpdateJob& job) noexcept {
    try {
        WinInetServer server(job.agent, config::UpdateServer(), job.progress);
        LauncherFolder folder(job.appDir);
        std::optional<BuildTrust> trust;
        if (kHasUpdatePublicKey)
            trust.emplace();
        else
            ui::WriteLog(logfile::Kind::Update,
                         "updates are not verified: this build has no key (KAVUNO_UPDATE_PUBLIC_KEY=NONE)");
        const UpdateResult result = RunUpdate(server, folder, job.progress, trust ? &*trust : nullptr);
        job.result = static_cast<int>(result);
        static const char* const kResults[] = {"done", "failed", "refused, not what the publisher signed",
                                               "cancelled, the window closed", "failed inside"};
        ui::WriteLog(logfile::Kind::Update, kResults[static_cast<int>(result)]);
    } catch (...) {
        // Setting up threw (no memory for a string): no update this time.
        job.result = static_cast<int>(UpdateResult::kException);
        ui::WriteLog(logfile::Kind::Update, "not started");
    }
    job.ended = true;
}

}  // namespace kavuno::launcher
