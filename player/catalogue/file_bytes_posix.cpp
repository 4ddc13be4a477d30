#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "player/catalogue/file_bytes.h"

namespace kavuno::catalogue {

struct FileBytes::Mapping {
    void* view;
    std::size_t size;
};

void FileBytes::MappingDeleter::operator()(Mapping* mapping) const {
    ::munmap(mapping->view, mapping->size);
    delete mapping;
}

std::unique_ptr<FileBytes> FileBytes::Map(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::unique_ptr<FileBytes> block;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0 &&
        static_cast<std::uint64_t>(status.st_size) <= kMaxMappedSize) {
        const auto size = static_cast<std::size_t>(status.st_size);
        if (size == 0) {
            block.reset(new FileBytes);
        } else if (void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0); view != MAP_FAILED) {
            block.reset(new FileBytes);
            block->mapping_.reset(new Mapping{view, size});
            block->data_ = static_cast<const char*>(view);
            block->size_ = size;
        }
    }
    ::close(fd);  // the mapping keeps what it needs
    return block;
}

}  // namespace kavuno::catalogue
