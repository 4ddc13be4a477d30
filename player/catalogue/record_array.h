// The player's record array (its m_records): every record of movie.dat in file
// order, index 0 included. An object reference in the file appends the same
// record again, so one record can stand at two indices.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "player/catalogue/cmf.h"
#include "player/catalogue/text_arena.h"

namespace kavuno::catalogue {

class RecordArray {
public:
    RecordArray() = default;
    ~RecordArray() { clear(); }
    RecordArray(const RecordArray&) = delete;
    RecordArray& operator=(const RecordArray&) = delete;
    RecordArray(RecordArray&& other) noexcept;
    RecordArray& operator=(RecordArray&& other) noexcept;

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
    // Records live in chunks that never move: chunk 0 holds slots 0-15, chunk
    // k > 0 the slots from 16 * 2^(k-1) up to 16 * 2^k. Storage is raw and a
    // record is constructed only when its slot is taken, so memory follows the
    // records actually read.
    static constexpr unsigned kFirstChunkBits = 4;
    struct Location {
        std::size_t chunk, offset;
    };
    static Location Locate(std::size_t slot);
    static std::size_t ChunkCapacity(std::size_t chunk);

    const CMF& Stored(std::uint32_t slot) const {
        const Location at = Locate(slot);
        return chunks_[at.chunk][at.offset];
    }
    CMF& NewSlot();
    void DropLastSlot();
    void MakeRoomInOrder();

    TextArena arena_;
    std::vector<CMF*> chunks_;  // raw storage; slots below storedCount_ are constructed
    std::size_t storedCount_ = 0;
    std::vector<std::uint32_t> order_;  // file order -> storage slot
};

}  // namespace kavuno::catalogue
