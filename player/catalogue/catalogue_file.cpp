#include "player/catalogue/catalogue_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

namespace kavuno::catalogue {
namespace {

// Object table entries: the array index of a record, or a class.
constexpr std::uint32_t kClassEntry = std::numeric_limits<std::uint32_t>::max();
// Fewest bytes a new record takes in the file: a tag, eight one-byte length
// prefixes and four integers. Used only to size the first allocation.
constexpr std::uint64_t kSmallestRecord = 2 + 8 + 16;

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

class ObjectTable {
public:
    ObjectTable(ArchiveReader& ar, std::size_t expected) : ar_(ar) {
        entries_.reserve(expected + 2);
        entries_.push_back(0);  // index 0: no object
    }

    void AddClass() { Add(kClassEntry); }
    void AddRecord(std::size_t arrayIndex) {
        if (arrayIndex >= kClassEntry) ar_.Fail("too many objects", ar_.offset());
        Add(static_cast<std::uint32_t>(arrayIndex));
    }

    void CheckClass(std::uint32_t index, std::uint64_t tagOffset) const {
        if (index == 0) ar_.Fail("class index 0", tagOffset);
        CheckKnown(index, tagOffset);
        if (entries_[index] != kClassEntry) ar_.Fail("index " + std::to_string(index) + " is not a class", tagOffset);
    }

    std::size_t Record(std::uint32_t index, std::uint64_t tagOffset) const {
        CheckKnown(index, tagOffset);
        if (entries_[index] == kClassEntry)
            ar_.Fail("object " + std::to_string(index) + " is not a CMF record", tagOffset);
        return entries_[index];
    }

private:
    void Add(std::uint32_t entry) {
        if (entries_.size() >= 0x7FFFFFFF) ar_.Fail("too many objects", ar_.offset());
        entries_.push_back(entry);
    }
    void CheckKnown(std::uint32_t index, std::uint64_t tagOffset) const {
        if (index >= entries_.size())
            ar_.Fail("index " + std::to_string(index) + " is beyond the " + std::to_string(entries_.size() - 1) +
                         " items read so far",
                     tagOffset);
    }

    ArchiveReader& ar_;
    std::vector<std::uint32_t> entries_;
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

void ReadEntry(ArchiveReader& ar, ObjectTable& table, RecordArray& records) {
    const std::uint64_t tagOffset = ar.offset();
    const std::uint16_t tag = ar.ReadU16();
    std::uint32_t objectIndex = 0;
    if (tag == kNewClassTag) {
        ReadNewClass(ar, table);
    } else if (tag == kLongTag) {
        const std::uint32_t value = ar.ReadU32();
        if ((value & kLongClassFlag) == 0) {
            objectIndex = value;
            if (objectIndex == 0) return;
            records.AppendAgain(table.Record(objectIndex, tagOffset));
            return;
        }
        table.CheckClass(value & ~kLongClassFlag, tagOffset);
    } else if (tag & kClassTag) {
        table.CheckClass(tag & ~kClassTag, tagOffset);
    } else {
        // A reference to a record read before: the same record once more. The
        // null tag appends nothing, so it leaves no empty slot in the array.
        objectIndex = tag;
        if (objectIndex == 0) return;
        records.AppendAgain(table.Record(objectIndex, tagOffset));
        return;
    }
    // A new record: it takes its table index before its body is read.
    table.AddRecord(records.size());
    records.AppendFromArchive(ar);
}

}  // namespace

void ReadCatalogue(ArchiveReader& ar, RecordArray& records) {
    const std::int32_t count = ar.ReadI32();
    if (count <= 0) return;
    // Never trust the count for memory: a damaged file fails at its end.
    const auto expected = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(count), ar.remaining() / kSmallestRecord));
    records.Reserve(expected);
    ObjectTable table(ar, expected);
    for (std::int32_t i = 0; i < count; ++i) ReadEntry(ar, table, records);
}

namespace {

// Reads what it can; a fault ends the load but keeps the records before it.
LoadResult RunLoad(ArchiveReader& ar, RecordArray& records) {
    LoadResult result;
    const std::size_t before = records.size();
    auto fail = [&](const std::string& message, std::uint64_t offset) {
        result.status = LoadResult::Status::Damaged;
        result.message = message;
        result.offset = offset;
    };
    try {
        ReadCatalogue(ar, records);
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

}  // namespace

LoadResult LoadCatalogueFromBytes(std::string_view bytes, RecordArray& records) {
    ArchiveReader ar(bytes);
    return RunLoad(ar, records);
}

LoadResult LoadCatalogue(const std::filesystem::path& path, RecordArray& records) {
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
    LoadResult result = RunLoad(ar, records);
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

std::string CatalogueBytes(const std::vector<CMF>& records) { return WriteAll(records, records.size()); }
std::string CatalogueBytes(const RecordArray& records) { return WriteAll(records, records.size()); }

bool SaveCatalogue(const std::filesystem::path& path, const std::vector<CMF>& records, std::string& error) {
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
