#include <windows.h>

#include "player/catalogue/file_bytes.h"

namespace kavuno::catalogue {

std::unique_ptr<FileBytes> FileBytes::Map(const std::filesystem::path& path) {
    // Shared for reading only, and kept open while mapped: the bytes the
    // records point at cannot change under them.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size = {};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > kMaxMappedSize) {
        CloseHandle(file);
        return nullptr;
    }
    std::unique_ptr<FileBytes> block(new FileBytes);
    if (size.QuadPart == 0) {
        CloseHandle(file);  // an empty file cannot be mapped, and holds nothing to keep
        return block;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping != nullptr) CloseHandle(mapping);  // the view keeps the mapping
    if (view == nullptr) {
        CloseHandle(file);
        return nullptr;
    }
    block->view_ = view;
    block->file_ = file;
    block->data_ = static_cast<const char*>(view);
    block->size_ = static_cast<std::size_t>(size.QuadPart);
    return block;
}

void FileBytes::Unmap() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (file_ != nullptr) CloseHandle(file_);
}

}  // namespace kavuno::catalogue
