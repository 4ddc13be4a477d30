#include "player/catalogue/text_arena.h"

#include <algorithm>
#include <cstring>

namespace kavuno::catalogue {

void TextArena::Begin() { blockStart_ = used_; }

char* TextArena::Extend(std::size_t n) {
    if (chunkSize_ - used_ < n) {
        // Move the unfinished block to a fresh chunk big enough for it and n more.
        const std::size_t block = used_ - blockStart_;
        const std::size_t grown = chunks_.empty() ? kFirstChunkSize : std::min(kChunkSize, chunkSize_ * 2);
        const std::size_t size = std::max(grown, block + n);
        std::unique_ptr<char[]> chunk(new char[size]);
        if (block > 0) std::memcpy(chunk.get(), chunkData() + blockStart_, block);
        // A chunk that only ever held this unfinished block can go.
        if (blockStart_ == 0 && !chunks_.empty()) {
            capacity_ -= chunkSize_;
            chunks_.pop_back();
        }
        chunks_.push_back(std::move(chunk));
        capacity_ += size;
        chunkSize_ = size;
        blockStart_ = 0;
        used_ = block;
    }
    char* at = chunkData() + used_;
    used_ += n;
    return at;
}

const char* TextArena::Finish() {
    const char* start = chunkData() == nullptr ? "" : chunkData() + blockStart_;
    blockStart_ = used_;
    return start;
}

void TextArena::clear() {
    chunks_.clear();
    chunkSize_ = used_ = blockStart_ = capacity_ = 0;
}

}  // namespace kavuno::catalogue
