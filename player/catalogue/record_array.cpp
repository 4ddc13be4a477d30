#include "player/catalogue/record_array.h"

#include <bit>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "player/catalogue/archive.h"

namespace kavuno::catalogue {

RecordArray::RecordArray(RecordArray&& other) noexcept
    : arena_(std::move(other.arena_)),
      chunks_(std::exchange(other.chunks_, {})),
      storedCount_(std::exchange(other.storedCount_, 0)),
      order_(std::exchange(other.order_, {})) {}

RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        clear();
        arena_ = std::move(other.arena_);
        chunks_ = std::exchange(other.chunks_, {});
        storedCount_ = std::exchange(other.storedCount_, 0);
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

CMF& RecordArray::NewSlot() {
    if (storedCount_ >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many records");
    const Location at = Locate(storedCount_);
    if (at.chunk == chunks_.size()) {
        chunks_.reserve(chunks_.size() + 1);
        chunks_.push_back(static_cast<CMF*>(::operator new(ChunkCapacity(at.chunk) * sizeof(CMF))));
    }
    CMF* slot = new (chunks_[at.chunk] + at.offset) CMF();
    ++storedCount_;
    return *slot;
}

void RecordArray::DropLastSlot() {
    --storedCount_;
    const Location at = Locate(storedCount_);
    chunks_[at.chunk][at.offset].~CMF();
}

// Room for one more index, so appending after a record is stored cannot fail.
void RecordArray::MakeRoomInOrder() {
    if (order_.size() == order_.capacity()) order_.reserve(order_.capacity() < 16 ? 16 : order_.capacity() * 2);
}

void RecordArray::Append(const CMF& record) {
    MakeRoomInOrder();
    CMF& slot = NewSlot();
    slot.CopyInto(arena_, record);
    order_.push_back(static_cast<std::uint32_t>(storedCount_ - 1));
}

void RecordArray::AppendFromArchive(ArchiveReader& ar) {
    MakeRoomInOrder();
    CMF& slot = NewSlot();
    TextArena* previous = ar.arena();
    ar.set_arena(&arena_);
    try {
        slot.Serialize(ar);
    } catch (...) {
        ar.set_arena(previous);
        DropLastSlot();
        throw;
    }
    ar.set_arena(previous);
    order_.push_back(static_cast<std::uint32_t>(storedCount_ - 1));
}

void RecordArray::Reserve(std::size_t n) { order_.reserve(order_.size() + n); }

void RecordArray::clear() {
    while (storedCount_ > 0) DropLastSlot();
    for (CMF* chunk : chunks_) ::operator delete(chunk);
    chunks_.clear();
    order_.clear();
    arena_.clear();
}

}  // namespace kavuno::catalogue
