#include "player/catalogue/file_bytes.h"

#include <cstring>

namespace kavuno::catalogue {

std::unique_ptr<FileBytes> FileBytes::Copy(std::string_view bytes) {
    std::unique_ptr<FileBytes> block(new FileBytes);
    if (!bytes.empty()) {
        block->copy_.reset(new char[bytes.size()]);
        std::memcpy(block->copy_.get(), bytes.data(), bytes.size());
        block->data_ = block->copy_.get();
        block->size_ = bytes.size();
    }
    return block;
}

FileBytes::~FileBytes() = default;

}  // namespace kavuno::catalogue
