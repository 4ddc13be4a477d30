// Chunked storage for the record bodies a record array copies (those not read
// in place from a file): one allocation per chunk instead of one per record,
// and pointers that never move once a block is done.
#pragma once
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace kavuno::catalogue {

class TextArena {
public:
    // Chunks start small, so a short catalogue takes little memory, and
    // double up to kChunkSize; a larger block gets a chunk of its own.
    static constexpr std::size_t kFirstChunkSize = std::size_t{1} << 12;
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    TextArena(TextArena&&) noexcept = default;
    TextArena& operator=(TextArena&&) noexcept = default;

    // Blocks are built one at a time: Begin, any number of Extend, then Finish
    // (or Abandon). Extend keeps the block contiguous, moving what is already
    // written to a new chunk when the current one is full, so pointers into an
    // unfinished block are valid only until the next Extend.
    void Begin();
    // Room for n more bytes at the block's end; returns where they go.
    char* Extend(std::size_t n);
    // The unfinished block's start and length.
    char* BlockData() { return chunkData() + blockStart_; }
    std::size_t BlockSize() const { return used_ - blockStart_; }
    // Ends the block; its bytes stay where they are from now on.
    const char* Finish();
    // Drops the unfinished block.
    void Abandon() { used_ = blockStart_; }

    // Bytes held in chunks, for memory accounting.
    std::size_t capacity() const { return capacity_; }
    void clear();

private:
    char* chunkData() { return chunks_.empty() ? nullptr : chunks_.back().get(); }

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunkSize_ = 0;   // size of chunks_.back()
    std::size_t used_ = 0;        // bytes used in chunks_.back()
    std::size_t blockStart_ = 0;  // start of the unfinished block in chunks_.back()
    std::size_t capacity_ = 0;
};

}  // namespace kavuno::catalogue
