// Reading and writing movie.dat: a signed 32-bit count, then that many object
// entries (a header and a CMF record body each).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "player/catalogue/archive.h"
#include "player/catalogue/movie_record.h"
#include "player/catalogue/record_array.h"

namespace kavuno::catalogue {

// Read buffer of the file reader, for a file that is not mapped.
inline constexpr std::size_t kReadBufferSize = 4096;

struct LoadResult {
    enum class Status { Ok, CannotOpen, Damaged };
    Status status = Status::Ok;
    // For CannotOpen and Damaged: what went wrong; for Damaged also where.
    std::string message;
    std::uint64_t offset = 0;
    // Entries appended to the array by this load (kept also when Damaged).
    std::size_t appended = 0;

    bool ok() const { return status == Status::Ok; }
};

// Reads movie.dat at `path` and appends every record to `records`. Records
// read before an error stay appended. The file is mapped (FileBytes) and kept
// by the array, whose records point at their bodies in it; a file that cannot
// be mapped is read through a buffer of kReadBufferSize bytes instead.
LoadResult LoadCatalogue(const std::filesystem::path& path, RecordArray& records);
// The same from bytes in memory, of which the array keeps a copy.
LoadResult LoadCatalogueFromBytes(std::string_view bytes, RecordArray& records);
// The same from an archive reader, each record's body copied into the array;
// throws ArchiveError at the first fault.
void ReadCatalogue(ArchiveReader& ar, RecordArray& records);

// movie.dat holding `records` (the count, the first-record header, then
// 0x8001 before each later record).
std::string CatalogueBytes(const std::vector<MovieRecord>& records);
std::string CatalogueBytes(const RecordArray& records);
// Writes CatalogueBytes to `path`; false with `error` set when that fails.
bool SaveCatalogue(const std::filesystem::path& path, const std::vector<MovieRecord>& records, std::string& error);

}  // namespace kavuno::catalogue
