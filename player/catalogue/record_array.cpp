#include "player/catalogue/record_array.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "player/catalogue/archive.h"
#include "player/catalogue/record_body.h"

namespace kavuno::catalogue {

RecordArray::RecordArray(RecordArray&& other) noexcept
    : kept_(std::exchange(other.kept_, {})),
      arena_(std::move(other.arena_)),
      chunks_(std::exchange(other.chunks_, {})),
      storedCount_(std::exchange(other.storedCount_, 0)),
      repeats_(std::exchange(other.repeats_, false)),
      order_(std::exchange(other.order_, {})) {}

RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        clear();
        kept_ = std::exchange(other.kept_, {});
        arena_ = std::move(other.arena_);
        chunks_ = std::exchange(other.chunks_, {});
        storedCount_ = std::exchange(other.storedCount_, 0);
        repeats_ = std::exchange(other.repeats_, false);
        order_ = std::exchange(other.order_, {});
    }
    return *this;
}

RecordArray::Location RecordArray::Locate(std::size_t slot) {
    if (slot < (std::size_t{1} << kFirstChunkBits)) return {0, slot};
    const auto width = static_cast<unsigned>(std::bit_width(slot));
    return {width - kFirstChunkBits, slot - (std::size_t{1} << (width - 1))};
}

std::size_t RecordArray::ChunkCapacity(std::size_t chunk) {
    return std::size_t{1} << (kFirstChunkBits + (chunk == 0 ? 0 : chunk - 1));
}

void RecordArray::Store(const char* body) {
    if (storedCount_ >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many records");
    const Location at = Locate(storedCount_);
    if (at.chunk == chunks_.size()) {
        chunks_.reserve(chunks_.size() + 1);
        chunks_.push_back(static_cast<MovieRecord*>(::operator new(ChunkCapacity(at.chunk) * sizeof(MovieRecord))));
    }
    // A record holds nothing to release: if the index cannot be added, the
    // slot is simply taken again by the next record.
    new (chunks_[at.chunk] + at.offset) MovieRecord(body);
    if (repeats_) order_.push_back(static_cast<std::uint32_t>(storedCount_));
    ++storedCount_;
}

void RecordArray::WriteOutOrder() {
    std::vector<std::uint32_t> order;
    order.reserve(storedCount_ < 8 ? 16 : storedCount_ * 2);
    for (std::size_t slot = 0; slot < storedCount_; ++slot) order.push_back(static_cast<std::uint32_t>(slot));
    order_ = std::move(order);
    repeats_ = true;
}

void RecordArray::Append(const MovieRecord& record) {
    const std::string_view body(record.body_, body::Size(record.body_));
    arena_.Begin();
    std::memcpy(arena_.Extend(body.size()), body.data(), body.size());
    const char* copy = arena_.Finish();
    Store(copy);
}

void RecordArray::AppendInPlace(const char* body) { Store(body); }

void RecordArray::AppendFromArchive(ArchiveReader& ar) { Store(MovieRecord::ReadBody(ar, arena_)); }

void RecordArray::AppendAgain(std::size_t index) {
    if (index >= size()) throw std::out_of_range("record index beyond the array");
    AppendStoredAgain(repeats_ ? order_[index] : index);
}

void RecordArray::AppendStoredAgain(std::size_t slot) {
    if (slot >= storedCount_) throw std::out_of_range("record slot beyond the array");
    if (!repeats_) WriteOutOrder();
    order_.push_back(static_cast<std::uint32_t>(slot));
}

std::string_view RecordArray::Keep(std::unique_ptr<FileBytes> bytes) {
    const std::string_view kept = bytes->bytes();
    kept_.push_back(std::move(bytes));
    return kept;
}

// Records in the array own nothing (their bodies are the array's), so their
// storage is released without running their destructors.
void RecordArray::clear() {
    for (MovieRecord* chunk : chunks_) ::operator delete(chunk);
    chunks_.clear();
    storedCount_ = 0;
    repeats_ = false;
    order_.clear();
    arena_.clear();
    kept_.clear();
}

}  // namespace kavuno::catalogue
