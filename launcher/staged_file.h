// The launcher's own folder "<program folder>\KavunoUp.staging\" and the
// local file of one download. Bytes go to a temporary file there and replace
// the target only on Commit(), flushed to disk first and moved with
// write-through, so a failed or abandoned transfer, or a power cut, leaves
// the old file as it was. Nothing of the launcher's lives anywhere else in
// the program folder: its temporary files ("download-*.part"), the old
// program of a self-update ("replaced-*.old") and the list of installed files
// for the uninstaller ("files.txt", installed_files.h) are all in there.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/ownership.h"

namespace kavuno::launcher {

class StagingFolder {
public:
    // `appDir` is the program folder, ending with a backslash.
    explicit StagingFolder(const std::wstring& appDir);

    const std::wstring& Path() const { return path_; }  // ends with a backslash
    // Creates the folder when it is missing; false when it cannot be had.
    bool Ensure() const;
    // A name for a new temporary file, unique among this launcher's and any
    // other running beside it.
    std::wstring NewTemporaryPath(const wchar_t* prefix, const wchar_t* suffix) const;
    // Removes what an interrupted earlier run left: its temporary files and
    // the old programs of earlier self-updates. A file still open in another
    // launcher's download is not removed (it is not shared for deletion);
    // nothing else in the folder, or outside it, is touched.
    void RemoveLeftovers() const;
    // Replaces `name` in the folder by `bytes`, through a temporary file.
    bool Store(const wchar_t* name, std::string_view bytes) const;
    // The bytes of `name` in the folder, at most `limit`; empty when missing.
    std::string Load(const wchar_t* name, size_t limit) const;

private:
    std::wstring path_;
};

class StagedFile {
public:
    StagedFile(std::wstring target, const StagingFolder& staging);
    ~StagedFile();  // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file, not shared while open.
    bool Create();
    bool Write(const void* data, size_t size);
    // Writes what is buffered, flushes it to disk, closes, and moves the file
    // over the target. The running launcher itself is replaced too: it is
    // moved into the staging folder first (a running program can be renamed,
    // not overwritten) and removed by the next start.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

    const std::wstring& TemporaryPath() const { return temporary_; }

private:
    bool Flush();
    void Close();
    bool MoveOverTarget();

    std::wstring target_;
    const StagingFolder& staging_;
    std::wstring temporary_;
    win::OwnedHandle file_;
    bool pending_ = false;  // the temporary file exists and is ours to remove
    std::vector<char> buffer_;
};

// Whether two paths name the same existing file (the same volume and file
// index), however they are spelled: case, short names, trailing dots.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

}  // namespace kavuno::launcher
