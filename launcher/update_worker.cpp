#include "launcher/update_worker.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "common/gbk_win.h"
#include "common/service_config.h"
#include "framework/app.h"
#include "launcher/internet.h"
#include "launcher/staged_file.h"

namespace kavuno::launcher {
namespace {

constexpr char kManifestPath[] = "/movie/update.txt";
constexpr char kFilePath[] = "/movie/file/";

// An opened address, with the session it was opened in when it has its own.
class InternetSource : public ByteSource {
public:
    InternetSource(InternetHandle session, InternetResponse response)
        : session_(std::move(session)), response_(std::move(response)) {}
    ~InternetSource() override {
        response_.file.Close();  // the address first, then its session
        session_.Close();
    }

    bool Read(char* buffer, size_t size, size_t& read) override {
        DWORD got = 0;
        bool ok = ReadSome(response_.file.get(), buffer, static_cast<DWORD>(size), got);
        read = got;
        return ok;
    }
    std::optional<uint64_t> AnnouncedLength() const override { return response_.contentLength; }

private:
    InternetHandle session_;
    InternetResponse response_;
};

class WinInetServer : public UpdateServer {
public:
    WinInetServer(std::wstring agent, std::string base) : agent_(std::move(agent)), base_(std::move(base)) {}

    // Session S1, open with the manifest until the update ends.
    std::unique_ptr<ByteSource> OpenManifest() override {
        return Open(base_ + kManifestPath, INTERNET_FLAG_TRANSFER_ASCII);
    }
    // Each entry in a session of its own. The name goes into the address as
    // the manifest's bytes.
    std::unique_ptr<ByteSource> OpenFile(const std::string& gbkName) override {
        return Open(base_ + kFilePath + gbkName, INTERNET_FLAG_TRANSFER_BINARY);
    }

private:
    std::unique_ptr<ByteSource> Open(const std::string& url, DWORD transferFlag) {
        InternetHandle session = OpenInternetSession(agent_);
        if (!session) return nullptr;
        std::optional<InternetResponse> response = OpenAddress(session.get(), url, transferFlag);
        if (!response) return nullptr;
        return std::make_unique<InternetSource>(std::move(session), std::move(*response));
    }

    std::wstring agent_;
    std::string base_;
};

class StagedLocalFile : public LocalFile {
public:
    explicit StagedLocalFile(std::wstring target) : file_(std::move(target)) {}
    bool Create() { return file_.Create(); }
    bool Write(const char* data, size_t size) override { return file_.Write(data, size); }
    bool Commit() override { return file_.Commit(); }

private:
    StagedFile file_;
};

class LauncherFolder : public UpdateFolder {
public:
    explicit LauncherFolder(std::wstring dir) : dir_(std::move(dir)) {}

    void RemoveLeftovers() override { RemoveStaleTemporaryFiles(dir_); }
    // The local name is the manifest's GBK name decoded with code page 936.
    std::unique_ptr<LocalFile> Create(const std::string& gbkName) override {
        auto file = std::make_unique<StagedLocalFile>(dir_ + gbk::ToWide(gbkName));
        if (!file->Create()) return nullptr;
        return file;
    }

private:
    std::wstring dir_;
};

}  // namespace

void ProgressChannel::SetRange(int size) {
    if (!closed_) SendMessageW(bar_, PBM_SETRANGE32, 1, size);
}

void ProgressChannel::SetPos(int position) {
    if (!closed_) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressChannel::GetPos() { return closed_ ? 0 : static_cast<int>(SendMessageW(bar_, PBM_GETPOS, 0, 0)); }

void RunUpdateFromServer(const std::wstring& appDir, ProgressChannel& progress) noexcept {
    try {
        WinInetServer server(ui::App::Current().Title(), config::UpdateServer());
        LauncherFolder folder(appDir);
        RunUpdate(server, folder, progress);
    } catch (...) {
        // Setting up threw (no memory for a string): no update this time.
    }
}

}  // namespace kavuno::launcher
