// The bytes of a whole movie.dat, held for as long as records point into
// them: the file mapped read-only, or a copy in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>

namespace kavuno::catalogue {

class FileBytes {
public:
    // Larger files are not mapped: in a 32-bit process the view would take
    // too much of an address space that the modules and heaps already break
    // up (512 MiB there; no practical bound in a 64-bit one).
    static constexpr std::uint64_t kMaxMappedSize = std::numeric_limits<std::size_t>::max() / 8;

    // Maps the regular file at `path` read-only; null when it cannot be opened,
    // is not a regular file, is larger than kMaxMappedSize or cannot be
    // mapped. The caller then reads it through a buffer. On Windows the file
    // stays open, shared for reading only, so while it is mapped no program can
    // write, truncate or delete it, and records read from it stay as read.
    static std::unique_ptr<FileBytes> Map(const std::filesystem::path& path);
    // A copy of `bytes`.
    static std::unique_ptr<FileBytes> Copy(std::string_view bytes);

    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    std::string_view bytes() const { return {data_, size_}; }
    bool mapped() const { return mapping_ != nullptr; }

private:
    // What keeps the bytes mapped, per platform: the view, and on Windows the
    // open file, which keeps writers out.
    struct Mapping;
    struct MappingDeleter {
        void operator()(Mapping* mapping) const;
    };

    FileBytes() = default;

    const char* data_ = "";
    std::size_t size_ = 0;
    std::unique_ptr<char[]> copy_;
    std::unique_ptr<Mapping, MappingDeleter> mapping_;
};

}  // namespace kavuno::catalogue
