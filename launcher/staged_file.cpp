#include "launcher/staged_file.h"

#include <cstring>
#include <cwchar>

namespace kavuno::launcher {
namespace {

// Large enough that local writes cost nothing beside the per-read messages.
constexpr size_t kBufferSize = 64 * 1024;
// Entries name files at most this many folders down (a bound for odd trees).
constexpr int kMaxFolderDepth = 16;

bool HasTemporarySuffix(const wchar_t* name) {
    size_t length = wcslen(name);
    size_t suffix = wcslen(kTemporarySuffix);
    return length > suffix && _wcsicmp(name + length - suffix, kTemporarySuffix) == 0;
}

void RemoveTemporaryFilesIn(const std::wstring& dir, int depth) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW((dir + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const wchar_t* name = found.cFileName;
        if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth < kMaxFolderDepth) RemoveTemporaryFilesIn(dir + name + L"\\", depth + 1);
        } else if (HasTemporarySuffix(name)) {
            DeleteFileW((dir + name).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

StagedFile::StagedFile(std::wstring target) : target_(std::move(target)), temporary_(target_ + kTemporarySuffix) {
    buffer_.reserve(kBufferSize);
}

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Create() {
    Discard();
    file_ = CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    pending_ = file_ != INVALID_HANDLE_VALUE;
    return pending_;
}

bool StagedFile::Write(const void* data, size_t size) {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    if (buffer_.size() + size > kBufferSize && !Flush()) return false;
    if (size >= kBufferSize) {
        DWORD written = 0;
        return WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    }
    const char* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
}

bool StagedFile::Flush() {
    if (buffer_.empty()) return true;
    DWORD written = 0;
    bool ok = WriteFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) &&
              written == buffer_.size();
    buffer_.clear();
    return ok;
}

void StagedFile::Close() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    buffer_.clear();
}

bool StagedFile::Commit() {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    bool written = Flush();
    Close();
    if (written && MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        pending_ = false;  // nothing left to remove
        return true;
    }
    Discard();
    return false;
}

void StagedFile::Discard() {
    Close();
    if (pending_) DeleteFileW(temporary_.c_str());
    pending_ = false;
}

void RemoveStaleTemporaryFiles(const std::wstring& dir) { RemoveTemporaryFilesIn(dir, 0); }

}  // namespace kavuno::launcher
