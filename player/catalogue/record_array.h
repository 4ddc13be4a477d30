// The player's record array (its m_records): every record of movie.dat in file
// order, index 0 included. An object reference in the file appends the same
// record again, so one record can stand at two indices.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "cmf.h"
#include "text_arena.h"

namespace kavuno::catalogue {

class RecordArray {
public:
    RecordArray() = default;
    RecordArray(const RecordArray&) = delete;
    RecordArray& operator=(const RecordArray&) = delete;
    RecordArray(RecordArray&&) noexcept = default;
    RecordArray& operator=(RecordArray&&) noexcept = default;

    std::size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    // The record at index i (0 <= i < size()).
    const CMF& operator[](std::size_t i) const { return Stored(order_[i]); }

    // Appends a copy of `record`; its texts go into the array's arena.
    void Append(const CMF& record);
    // Appends the record at `index` once more.
    void AppendAgain(std::size_t index) { order_.push_back(order_.at(index)); }
    void clear();

    // Hints that about n more records follow (never a promise).
    void Reserve(std::size_t n);

    // Reads one record body from `ar` into a new record and appends it; on an
    // ArchiveError nothing is appended.
    void AppendFromArchive(ArchiveReader& ar);

    // Distinct records held and arena bytes, for memory accounting.
    std::size_t distinct_records() const { return storedCount_; }
    std::size_t text_bytes() const { return arena_.capacity(); }

private:
    static constexpr std::size_t kChunkShift = 12;  // records per storage chunk: 4096
    static constexpr std::size_t kChunkRecords = std::size_t{1} << kChunkShift;

    const CMF& Stored(std::uint32_t slot) const {
        return chunks_[slot >> kChunkShift][slot & (kChunkRecords - 1)];
    }
    CMF& NewSlot();
    void DropLastSlot();

    TextArena arena_;
    std::vector<std::unique_ptr<CMF[]>> chunks_;  // records never move
    std::size_t storedCount_ = 0;
    std::vector<std::uint32_t> order_;  // file order -> storage slot
};

}  // namespace kavuno::catalogue
