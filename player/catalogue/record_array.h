// The player's record array (the main window's records_): every record of
// movie.dat in file order, index 0 included. An object reference in the file
// appends the same record again, so one record can stand at two indices.
//
// A record is one pointer to its body (movie_record.h). Bodies read from a file
// stay in the file's bytes, which the array keeps (mapped, or copied once);
// bodies of appended records, and of records read through a buffer, go into
// the array's arena. A catalogue of a million records so costs its file and eight bytes a
// record, with no copy of any text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "player/catalogue/movie_record.h"
#include "player/catalogue/file_bytes.h"
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

    std::size_t size() const { return repeats_ ? order_.size() : storedCount_; }
    bool empty() const { return size() == 0; }
    // The record at index i (0 <= i < size()). Records never move.
    const MovieRecord& operator[](std::size_t i) const { return Stored(repeats_ ? order_[i] : i); }

    // Appends a copy of `record`; its body goes into the array's arena.
    void Append(const MovieRecord& record);
    // Appends the record at `index` once more; std::out_of_range beyond size().
    void AppendAgain(std::size_t index);
    void clear();

    // Reads one record body from `ar` into the arena and appends the record;
    // on an ArchiveError nothing is appended.
    void AppendFromArchive(ArchiveReader& ar);

    // For the catalogue reader. Keeps `bytes` as long as the array lives and
    // returns them; AppendInPlace appends a record whose narrow body (checked
    // by body::Scan) starts at `body` inside bytes kept here.
    std::string_view Keep(std::unique_ptr<FileBytes> bytes);
    void AppendInPlace(const char* body);
    // Appends again the record that took storage slot `slot` (the slot'th
    // distinct record appended, from 0).
    void AppendStoredAgain(std::size_t slot);

    // Distinct records held, and arena bytes, for memory accounting.
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

    const MovieRecord& Stored(std::size_t slot) const {
        const Location at = Locate(slot);
        return chunks_[at.chunk][at.offset];
    }
    // Stores a record for `body` in the next slot; throws before storing.
    void Store(const char* body);
    // The order of the records, written out once a record repeats.
    void WriteOutOrder();

    std::vector<std::unique_ptr<FileBytes>> kept_;
    TextArena arena_;
    std::vector<MovieRecord*> chunks_;  // raw storage; slots below storedCount_ hold records
    std::size_t storedCount_ = 0;
    // Until a record repeats, index i is storage slot i and order_ is empty.
    bool repeats_ = false;
    std::vector<std::uint32_t> order_;  // file order -> storage slot, once repeats_
};

}  // namespace kavuno::catalogue
