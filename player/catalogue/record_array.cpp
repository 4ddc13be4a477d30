#include "record_array.h"

#include <limits>
#include <stdexcept>

#include "archive.h"

namespace kavuno::catalogue {

CMF& RecordArray::NewSlot() {
    if (storedCount_ >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many records");
    if ((storedCount_ >> kChunkShift) == chunks_.size()) chunks_.push_back(std::make_unique<CMF[]>(kChunkRecords));
    CMF& slot = chunks_[storedCount_ >> kChunkShift][storedCount_ & (kChunkRecords - 1)];
    ++storedCount_;
    return slot;
}

void RecordArray::DropLastSlot() {
    --storedCount_;
    chunks_[storedCount_ >> kChunkShift][storedCount_ & (kChunkRecords - 1)] = CMF();
}

void RecordArray::Append(const CMF& record) {
    CMF& slot = NewSlot();
    slot.CopyInto(arena_, record);
    order_.push_back(static_cast<std::uint32_t>(storedCount_ - 1));
}

void RecordArray::AppendFromArchive(ArchiveReader& ar) {
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
    order_.clear();
    chunks_.clear();
    storedCount_ = 0;
    arena_.clear();
}

}  // namespace kavuno::catalogue
