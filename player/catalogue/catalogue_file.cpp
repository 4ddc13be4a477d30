#include "player/catalogue/catalogue_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

#include "player/catalogue/file_bytes.h"
#include "player/catalogue/record_body.h"

namespace kavuno::catalogue {
namespace {

std::FILE* OpenFile(const std::filesystem::path& path, bool write) {
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

bool FileSize(std::FILE* file, std::uint64_t& size) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) return false;
    const long long end = _ftelli64(file);
    if (end < 0 || _fseeki64(file, 0, SEEK_SET) != 0) return false;
#else
    if (fseeko(file, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(file);
    if (end < 0 || fseeko(file, 0, SEEK_SET) != 0) return false;
#endif
    size = static_cast<std::uint64_t>(end);
    return true;
}

// The reader's table of what it has read: index 0 is no object, and every
// class and every new record takes the next index. New records also take the
// array's storage slots in turn, so an object index names a slot once the
// classes before it are counted; only the classes' indices are kept.
class ObjectTable {
public:
    ObjectTable(ArchiveReader& ar, std::size_t firstSlot) : ar_(ar), firstSlot_(firstSlot) {}

    void AddClass() {
        Add();
        classes_.push_back(count_ - 1);
    }
    void AddRecord() { Add(); }

    bool IsClass(std::uint32_t index) const { return std::binary_search(classes_.begin(), classes_.end(), index); }

    void CheckClass(std::uint32_t index, std::uint64_t tagOffset) const {
        if (index == 0) ar_.Fail("class index 0", tagOffset);
        CheckKnown(index, tagOffset);
        if (!IsClass(index)) ar_.Fail("index " + std::to_string(index) + " is not a class", tagOffset);
    }

    // The storage slot of the record at `index`.
    std::size_t RecordSlot(std::uint32_t index, std::uint64_t tagOffset) const {
        CheckKnown(index, tagOffset);
        if (IsClass(index)) ar_.Fail("object " + std::to_string(index) + " is not a CMF record", tagOffset);
        const auto classesBefore = static_cast<std::size_t>(std::lower_bound(classes_.begin(), classes_.end(), index) -
                                                            classes_.begin());
        return firstSlot_ + (index - 1 - classesBefore);
    }

private:
    void Add() {
        if (count_ >= 0x7FFFFFFF) ar_.Fail("too many objects", ar_.offset());
        ++count_;
    }
    void CheckKnown(std::uint32_t index, std::uint64_t tagOffset) const {
        if (index >= count_)
            ar_.Fail("index " + std::to_string(index) + " is beyond the " + std::to_string(count_ - 1) +
                         " items read so far",
                     tagOffset);
    }

    ArchiveReader& ar_;
    std::size_t firstSlot_;
    std::uint32_t count_ = 1;
    std::vector<std::uint32_t> classes_;  // ascending
};

void ReadNewClass(ArchiveReader& ar, ObjectTable& table) {
    const std::uint64_t schemaOffset = ar.offset();
    const std::uint16_t schema = ar.ReadU16();
    const std::uint64_t nameOffset = ar.offset();
    const std::uint16_t nameLength = ar.ReadU16();
    if (nameLength >= kMaxClassNameLength)
        ar.Fail("class name of " + std::to_string(nameLength) + " bytes", nameOffset);
    char name[kMaxClassNameLength];
    ar.ReadBytes(name, nameLength);
    if (std::string_view(name, nameLength) != kRecordClassName) ar.Fail("unknown class name", nameOffset);
    if (schema != kRecordSchema) ar.Fail("schema number " + std::to_string(schema) + " is not 0", schemaOffset);
    table.AddClass();
}

// A new record's body. With `inPlace` the array keeps the bytes `ar` reads, and
// a narrow body that lies wholly in them is not copied: the record points at
// it. Any other body is read by the archive reader, which converts wide texts
// and reports faults where they are.
void ReadBody(ArchiveReader& ar, RecordArray& records, bool inPlace) {
    if (inPlace) {
        const std::string_view unread = ar.Unread();
        if (const char* end = body::Scan(unread.data(), unread.data() + unread.size())) {
            records.AppendInPlace(unread.data());
            ar.Skip(static_cast<std::size_t>(end - unread.data()));
            return;
        }
    }
    records.AppendFromArchive(ar);
}

void ReadEntry(ArchiveReader& ar, ObjectTable& table, RecordArray& records, bool inPlace) {
    const std::uint64_t tagOffset = ar.offset();
    const std::uint16_t tag = ar.ReadU16();
    if (tag == kNewClassTag) {
        ReadNewClass(ar, table);
    } else if (tag == kLongTag) {
        const std::uint32_t value = ar.ReadU32();
        if ((value & kLongClassFlag) == 0) {
            if (value == 0) return;
            records.AppendStoredAgain(table.RecordSlot(value, tagOffset));
            return;
        }
        table.CheckClass(value & ~kLongClassFlag, tagOffset);
    } else if (tag & kClassTag) {
        table.CheckClass(tag & ~kClassTag, tagOffset);
    } else {
        // A reference to a record read before: the same record once more. The
        // null tag appends nothing, so it leaves no empty slot in the array.
        if (tag == 0) return;
        records.AppendStoredAgain(table.RecordSlot(tag, tagOffset));
        return;
    }
    // A new record: it takes its table index before its body is read.
    table.AddRecord();
    ReadBody(ar, records, inPlace);
}

void ReadEntries(ArchiveReader& ar, RecordArray& records, bool inPlace) {
    const std::int32_t count = ar.ReadI32();
    if (count <= 0) return;
    ObjectTable table(ar, records.distinct_records());
    for (std::int32_t i = 0; i < count; ++i) ReadEntry(ar, table, records, inPlace);
}

}  // namespace

void ReadCatalogue(ArchiveReader& ar, RecordArray& records) { ReadEntries(ar, records, false); }

namespace {

// Reads what it can; a fault ends the load but keeps the records before it.
LoadResult RunLoad(ArchiveReader& ar, RecordArray& records, bool inPlace) {
    LoadResult result;
    const std::size_t before = records.size();
    auto fail = [&](const std::string& message, std::uint64_t offset) {
        result.status = LoadResult::Status::Damaged;
        result.message = message;
        result.offset = offset;
    };
    try {
        ReadEntries(ar, records, inPlace);
    } catch (const ArchiveError& e) {
        fail(e.what(), e.offset());
    } catch (const std::bad_alloc&) {
        fail("not enough memory", ar.offset());
    } catch (const std::length_error& e) {
        fail(e.what(), ar.offset());
    }
    result.appended = records.size() - before;
    return result;
}

// Reads records that point into the bytes `make` gives, which the array keeps.
template <typename MakeBytes>
LoadResult LoadKept(MakeBytes make, RecordArray& records) {
    std::string_view kept;
    try {
        kept = records.Keep(make());
    } catch (const std::bad_alloc&) {
        LoadResult result;
        result.status = LoadResult::Status::Damaged;
        result.message = "not enough memory";
        return result;
    }
    ArchiveReader ar(kept);
    return RunLoad(ar, records, true);
}

}  // namespace

LoadResult LoadCatalogueFromBytes(std::string_view bytes, RecordArray& records) {
    return LoadKept([bytes] { return FileBytes::Copy(bytes); }, records);
}

LoadResult LoadCatalogue(const std::filesystem::path& path, RecordArray& records) {
    if (std::unique_ptr<FileBytes> bytes = FileBytes::Map(path))
        return LoadKept([&bytes] { return std::move(bytes); }, records);
    // Not mapped (too large for the address space, or not a regular file):
    // read through a buffer, each record's body copied into the array.
    std::FILE* file = OpenFile(path, false);
    std::uint64_t size = 0;
    if (file == nullptr || !FileSize(file, size)) {
        if (file != nullptr) std::fclose(file);
        LoadResult result;
        result.status = LoadResult::Status::CannotOpen;
        result.message = "cannot open the file";
        return result;
    }
    // The reader's own buffer is the only one.
    std::setvbuf(file, nullptr, _IONBF, 0);
    ArchiveReader ar(file, size, kReadBufferSize);
    LoadResult result = RunLoad(ar, records, false);
    std::fclose(file);
    return result;
}

namespace {

template <typename Records>
std::string WriteAll(const Records& records, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("too many records for one catalogue");
    std::string out;
    ArchiveWriter ar(out);
    ar.WriteI32(static_cast<std::int32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        ar.WriteRecordHeader();
        records[i].Serialize(ar);
    }
    return out;
}

}  // namespace

std::string CatalogueBytes(const std::vector<MovieRecord>& records) { return WriteAll(records, records.size()); }
std::string CatalogueBytes(const RecordArray& records) { return WriteAll(records, records.size()); }

bool SaveCatalogue(const std::filesystem::path& path, const std::vector<MovieRecord>& records, std::string& error) {
    const std::string bytes = CatalogueBytes(records);
    std::FILE* file = OpenFile(path, true);
    if (file == nullptr) {
        error = "cannot create the file";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write the file";
        return false;
    }
    return true;
}

}  // namespace kavuno::catalogue
