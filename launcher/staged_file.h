// The local file of one download. Bytes go to "<target>.part" beside the
// target, through a buffer, and replace the target only on Commit(), so a
// failed or abandoned transfer leaves the old file as it was.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kavuno::launcher {

class StagedFile {
public:
    explicit StagedFile(std::wstring target);
    ~StagedFile();  // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates (or truncates) the temporary file, not shared while open.
    bool Create();
    bool Write(const void* data, size_t size);
    // Writes what is buffered, closes, and moves the file over the target.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

    const std::wstring& TemporaryPath() const { return temporary_; }

private:
    bool Flush();
    void Close();

    std::wstring target_;
    std::wstring temporary_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool pending_ = false;  // the temporary file exists and is ours to remove
    std::vector<char> buffer_;
};

// The suffix of a download's temporary file, after the target's name.
inline constexpr wchar_t kTemporarySuffix[] = L".part";

// Removes the temporary files ("*.part") that a run killed in the middle of a
// download left in `dir` (ending with a backslash) and its sub-folders. A file
// still open in another launcher's download is not removed (it is not shared
// for deletion); linked folders are not entered.
void RemoveStaleTemporaryFiles(const std::wstring& dir);

}  // namespace kavuno::launcher
