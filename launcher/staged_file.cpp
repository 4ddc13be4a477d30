#include "launcher/staged_file.h"

#include <atomic>
#include <cwchar>
#include <iterator>

#include "common/program_names.h"
#include "framework/app.h"

namespace kavuno::launcher {
namespace {

// Large enough that local writes cost nothing beside the per-read messages.
constexpr size_t kBufferSize = 64 * 1024;
constexpr wchar_t kDownloadPrefix[] = L"download-";
constexpr wchar_t kDownloadSuffix[] = L".part";
constexpr wchar_t kReplacedPrefix[] = L"replaced-";
constexpr wchar_t kReplacedSuffix[] = L".old";

std::atomic<unsigned> g_nextTemporary{0};

bool HasPrefixAndSuffix(const wchar_t* name, const wchar_t* prefix, const wchar_t* suffix) {
    size_t length = wcslen(name), p = wcslen(prefix), s = wcslen(suffix);
    return length > p + s && _wcsnicmp(name, prefix, p) == 0 && _wcsicmp(name + length - s, suffix) == 0;
}

bool IsLeftover(const wchar_t* name) {
    return HasPrefixAndSuffix(name, kDownloadPrefix, kDownloadSuffix) ||
           HasPrefixAndSuffix(name, kReplacedPrefix, kReplacedSuffix);
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool Move(const std::wstring& from, const std::wstring& to, bool replace) {
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), to.c_str(), flags) != FALSE;
}

}  // namespace

StagingFolder::StagingFolder(const std::wstring& appDir)
    : path_(appDir + std::wstring(std::begin(names::kStagingFolderName), std::end(names::kStagingFolderName) - 1) +
            L"\\") {}

bool StagingFolder::Ensure() const {
    if (CreateDirectoryW(path_.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring StagingFolder::NewTemporaryPath(const wchar_t* prefix, const wchar_t* suffix) const {
    return path_ + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++g_nextTemporary) + suffix;
}

void StagingFolder::RemoveLeftovers() const {
    WIN32_FIND_DATAW found;
    // Every name, filtered here: a pattern with a wildcard also matches short names.
    const win::OwnedFind search(
        FindFirstFileExW((path_ + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (IsLeftover(found.cFileName)) DeleteFileW((path_ + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

bool StagingFolder::Store(const wchar_t* name, std::string_view bytes) const {
    if (!Ensure()) return false;
    std::wstring temporary = NewTemporaryPath(kDownloadPrefix, kDownloadSuffix);
    win::OwnedHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool ok = WriteAll(file.get(), bytes.data(), bytes.size()) && FlushFileBuffers(file.get());
    file.Reset();  // closed before it is moved
    if (ok && Move(temporary, path_ + name, true)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

std::string StagingFolder::Load(const wchar_t* name, size_t limit) const {
    const win::OwnedHandle file(CreateFileW((path_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes(limit, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(limit), &read, nullptr)) read = 0;
    bytes.resize(read);
    return bytes;
}

StagedFile::StagedFile(std::wstring target, const StagingFolder& staging)
    : target_(std::move(target)), staging_(staging) {
    buffer_.reserve(kBufferSize);
}

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Create() {
    Discard();
    if (!staging_.Ensure()) return false;
    temporary_ = staging_.NewTemporaryPath(kDownloadPrefix, kDownloadSuffix);
    file_.Reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    pending_ = static_cast<bool>(file_);
    return pending_;
}

bool StagedFile::Write(const void* data, size_t size) {
    if (!file_) return false;
    if (buffer_.size() + size > kBufferSize && !Flush()) return false;
    if (size >= kBufferSize) return WriteAll(file_.get(), static_cast<const char*>(data), size);
    const char* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
}

bool StagedFile::Flush() {
    if (buffer_.empty()) return true;
    bool ok = WriteAll(file_.get(), buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

void StagedFile::Close() {
    file_.Reset();
    buffer_.clear();
}

bool StagedFile::Commit() {
    if (!file_) return false;
    // On disk before it replaces anything: a power cut leaves the old file or the new one.
    bool written = Flush() && FlushFileBuffers(file_.get());
    Close();
    if (written && MoveOverTarget()) {
        pending_ = false;  // nothing left to remove
        return true;
    }
    Discard();
    return false;
}

bool StagedFile::MoveOverTarget() {
    if (!IsSameFile(target_, ui::ProgramPath())) return Move(temporary_, target_, true);
    std::wstring aside = staging_.NewTemporaryPath(kReplacedPrefix, kReplacedSuffix);
    if (!Move(target_, aside, false)) return false;
    if (Move(temporary_, target_, false)) return true;
    Move(aside, target_, false);  // put the running program back
    return false;
}

void StagedFile::Discard() {
    Close();
    if (pending_) DeleteFileW(temporary_.c_str());
    pending_ = false;
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        const win::OwnedHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file && GetFileInformationByHandle(file.get(), &info) != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION first, second;
    return identify(a, first) && identify(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace kavuno::launcher
