#include <windows.h>

#include "common/ownership.h"
#include "player/catalogue/file_bytes.h"

namespace kavuno::catalogue {

struct FileBytes::Mapping {
    win::OwnedHandle file;  // shared for reading only: keeps writers out
    win::OwnedView view;    // declared after the file, so it goes first
};

void FileBytes::MappingDeleter::operator()(Mapping* mapping) const { delete mapping; }

std::unique_ptr<FileBytes> FileBytes::Map(const std::filesystem::path& path) {
    // Shared for reading only, and kept open while mapped: the bytes the
    // records point at cannot change under them.
    win::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size = {};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > kMaxMappedSize)
        return nullptr;
    std::unique_ptr<FileBytes> block(new FileBytes);
    if (size.QuadPart == 0) return block;  // an empty file cannot be mapped, and holds nothing to keep
    win::OwnedView view;
    {
        const win::OwnedHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping) view.Reset(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    }  // the view keeps the mapping
    if (!view) return nullptr;
    block->data_ = static_cast<const char*>(view.get());
    block->size_ = static_cast<std::size_t>(size.QuadPart);
    block->mapping_.reset(new Mapping{std::move(file), std::move(view)});
    return block;
}

}  // namespace kavuno::catalogue
