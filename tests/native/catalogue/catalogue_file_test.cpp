// movie.dat: the count, the object header rules, the length prefixes, wide
// texts, and every way a damaged file must fail without losing what was read
// before the fault (and without crashing or allocating what the file lacks).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/file_bytes.h"
#include "tests/native/catalogue/archive_bytes.h"

namespace kavuno::catalogue {
namespace {

using testing::ArchiveBytes;

std::vector<std::string> Titles(const RecordArray& records) {
    std::vector<std::string> titles;
    for (std::size_t i = 0; i < records.size(); ++i) titles.emplace_back(records[i].title());
    return titles;
}

LoadResult Load(const ArchiveBytes& bytes, RecordArray& records) {
    return LoadCatalogueFromBytes(bytes.str(), records);
}

TEST(CatalogueFile, WriterUsesNewClassHeaderOnceThenClassReference) {
    std::vector<MovieRecord> records;
    for (const char* t : {"a", "b", "c"}) {
        RecordFields f;
        f.title = t;
        records.emplace_back(f);
    }
    const std::string bytes = CatalogueBytes(records);
    ArchiveBytes expected;
    expected.I32(3).NewClassHeader().Body("a", "", 0).ClassRef().Body("b", "", 0).ClassRef().Body("c", "", 0);
    EXPECT_EQ(bytes, expected.str());

    RecordArray back;
    ASSERT_TRUE(LoadCatalogueFromBytes(bytes, back).ok());
    EXPECT_EQ(Titles(back), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(CatalogueFile, CountZeroOrNegativeIsEmpty) {
    for (std::int32_t count : {0, -1, INT32_MIN}) {
        RecordArray records;
        ArchiveBytes bytes;
        bytes.I32(count).NewClassHeader().Body("ignored");
        const LoadResult r = Load(bytes, records);
        EXPECT_TRUE(r.ok()) << count;
        EXPECT_EQ(records.size(), 0u);
    }
}

TEST(CatalogueFile, EveryRecordIncludingIndexZeroIsKept) {
    ArchiveBytes bytes;
    bytes.I32(3).NewClassHeader().Body("zero").ClassRef().Body("one").ClassRef().Body("two");
    RecordArray records;
    const LoadResult r = Load(bytes, records);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.appended, 3u);
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"zero", "one", "two"}));
}

TEST(CatalogueFile, LengthPrefixesOfEverySize) {
    // 254 bytes: one-byte prefix 0xFE; 255: 0xFF 0xFF 0x00; 65533: 16-bit;
    // 65534: 0xFF 0xFFFF then 32 bits.
    for (std::size_t length : {0u, 1u, 254u, 255u, 256u, 65533u, 65534u, 70000u}) {
        RecordFields f;
        f.actor = std::string(length, 'x');
        const std::string bytes = CatalogueBytes({MovieRecord(f)});
        const std::size_t at = 4 + 9 + 1 + 1;  // count, header, empty title, empty file
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        if (length < 255) {
            EXPECT_EQ(byte(0), length);
        } else if (length < 65534) {
            EXPECT_EQ(byte(0), 0xFF);
            EXPECT_EQ(byte(1) | (byte(2) << 8), length);
        } else {
            EXPECT_EQ(byte(0), 0xFF);
            EXPECT_EQ(byte(1), 0xFF);
            EXPECT_EQ(byte(2), 0xFF);
            EXPECT_EQ(byte(3) | (byte(4) << 8) | (byte(5) << 16), length);
        }
        RecordArray records;
        ASSERT_TRUE(LoadCatalogueFromBytes(bytes, records).ok()) << length;
        EXPECT_EQ(records[0].actor(), f.actor);
    }
    RecordFields f;
    f.title = std::string(254, 'y');
    EXPECT_EQ(CatalogueBytes({MovieRecord(f)}).substr(13, 1), "\xFE");
    f.title = std::string(255, 'y');
    EXPECT_EQ(CatalogueBytes({MovieRecord(f)}).substr(13, 3), std::string("\xFF\xFF\x00", 3));
}

TEST(CatalogueFile, ReaderAcceptsLongerPrefixesThanNeeded) {
    ArchiveBytes bytes;
    bytes.I32(1).NewClassHeader();
    bytes.U8(0xFF).U16(2).Raw(ScrambleText("ab"));               // title, 16-bit prefix
    bytes.U8(0xFF).U16(0xFFFF).U32(3).Raw(ScrambleText("cde"));  // file, 32-bit prefix
    bytes.Plain("").Plain("").I32(1).I32(0).Plain("").Plain("").Plain("").I32(0).I32(0).Plain("");
    RecordArray records;
    ASSERT_TRUE(Load(bytes, records).ok());
    EXPECT_EQ(records[0].title(), "ab");
    EXPECT_EQ(records[0].file(), "cde");
}

// UTF-16 little-endian bytes of a text.
std::string Utf16Bytes(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(CatalogueFile, WideTextIsConvertedToGbkThenDerived) {
    // The stored text is the GBK of the UTF-16 text; plain is that, 12 higher.
    const std::string stored = "\xCC\xEC\x41";  // 天A
    ArchiveBytes bytes;
    bytes.I32(1).NewClassHeader();
    bytes.U8(0xFF).U16(0xFFFE).U8(2).Raw(Utf16Bytes(u"\u5929A"));           // title
    bytes.U8(0xFF).U16(0xFFFE).U8(0);                                       // file: empty wide text
    bytes.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(1).Raw(Utf16Bytes(u"\xD800"));  // actor: lone surrogate
    bytes.Plain("").I32(1).I32(0).Plain("").Plain("").Plain("").I32(0).I32(0).Plain("");
    RecordArray records;
    const LoadResult r = Load(bytes, records);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(records[0].titleRaw(), stored);
    EXPECT_EQ(records[0].title(), UnscrambleText(stored));
    EXPECT_EQ(records[0].file(), "");
    EXPECT_EQ(records[0].actorRaw(), "?");
    // Written back, the text is narrow.
    RecordArray again;
    ASSERT_TRUE(LoadCatalogueFromBytes(CatalogueBytes(records), again).ok());
    EXPECT_EQ(again[0].titleRaw(), stored);
}

TEST(CatalogueFile, ObjectReferenceAppendsTheSameRecordAgain) {
    // Table: 1 = class, 2 = first record, 3 = second record.
    ArchiveBytes bytes;
    bytes.I32(5).NewClassHeader().Body("first").ClassRef().Body("second").U16(0x0002).U16(0x0003).U16(0x0002);
    RecordArray records;
    ASSERT_TRUE(Load(bytes, records).ok());
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"first", "second", "first", "second", "first"}));
    EXPECT_EQ(&records[0], &records[2]);
    EXPECT_EQ(records.distinct_records(), 2u);
}

TEST(CatalogueFile, LongTagsForClassesAndObjects) {
    ArchiveBytes bytes;
    bytes.I32(4).NewClassHeader().Body("a");
    bytes.U16(0x7FFF).U32(0x80000001u).Body("b");  // new object of class 1
    bytes.U16(0x7FFF).U32(3);                      // object 3 = "b"
    bytes.U16(0x7FFF).U32(2);                      // object 2 = "a"
    RecordArray records;
    ASSERT_TRUE(Load(bytes, records).ok());
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"a", "b", "b", "a"}));
}

TEST(CatalogueFile, SecondNewClassHeaderTakesTheNextIndex) {
    // 1 = class, 2 = "a", 3 = class again, 4 = "b".
    ArchiveBytes bytes;
    bytes.I32(4).NewClassHeader().Body("a").NewClassHeader().Body("b").U16(0x8003).Body("c").U16(4);
    RecordArray records;
    ASSERT_TRUE(Load(bytes, records).ok());
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"a", "b", "c", "b"}));
}

TEST(CatalogueFile, NullTagLeavesNoSlotButCountsAsAnEntry) {
    ArchiveBytes bytes;
    bytes.I32(4).NewClassHeader().Body("a").U16(0x0000).U16(0x7FFF).U32(0).ClassRef().Body("b");
    RecordArray records;
    const LoadResult r = Load(bytes, records);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"a", "b"}));
}

struct DamagedCase {
    const char* name;
    ArchiveBytes bytes;
    std::size_t kept;         // records appended before the fault
    std::uint64_t offset;     // where the fault is reported
    const char* messagePart;  // part of the message
};

std::vector<DamagedCase> DamagedCases() {
    const std::size_t recordA = ArchiveBytes().Body("a").size();
    const std::uint64_t second = 4 + 9 + recordA;  // where the second entry starts
    std::vector<DamagedCase> cases;
    auto add = [&](const char* name, std::size_t kept, std::uint64_t offset, const char* part) {
        cases.push_back({name, ArchiveBytes(), kept, offset, part});
        cases.back().bytes.I32(3).NewClassHeader().Body("a");
        return &cases.back().bytes;
    };
    cases.push_back({"count only", ArchiveBytes().I32(2), 0, 4, "end of file"});
    add("end inside the second header", 1, second, "end of file")->U8(0x01);
    add("long class name", 1, second + 4, "class name")->U16(0xFFFF).U16(0).U16(64).Raw(std::string(64, 'C'));
    add("other class name", 1, second + 4, "unknown class")->U16(0xFFFF).U16(0).U16(3).Raw("CMG");
    add("other schema", 1, second + 2, "schema")->U16(0xFFFF).U16(1).U16(3).Raw("CMF");
    add("class index 0", 1, second, "class index 0")->U16(0x8000);
    add("class index beyond", 1, second, "beyond")->U16(0x8003);
    add("class index of a record", 1, second, "not a class")->U16(0x8002);
    add("long class index 0", 1, second, "class index 0")->U16(0x7FFF).U32(0x80000000u);
    add("object index beyond", 1, second, "beyond")->U16(0x0003);
    add("object index of the class", 1, second, "not a CMF")->U16(0x0001);
    add("long object index beyond", 1, second, "beyond")->U16(0x7FFF).U32(0x7FFFFFFF);
    add("text longer than the file", 1, second + 2, "longer than the rest")
        ->ClassRef()
        .U8(0xFF)
        .U16(0xFFFF)
        .U32(0xFFFFFFF0u);
    add("wide text longer than the file", 1, second + 2, "longer than the rest")
        ->ClassRef()
        .U8(0xFF)
        .U16(0xFFFE)
        .U8(0xFF)
        .U16(0xFFFF)
        .U32(0x80000000u);
    add("body cut short", 1, second + 8, "end of file")->ClassRef().Plain("t").Plain("f").Plain("").Plain("").U16(1);
    return cases;
}

TEST(CatalogueFile, DamagedFilesFailAtTheFaultAndKeepEarlierRecords) {
    for (const DamagedCase& c : DamagedCases()) {
        RecordArray records;
        const LoadResult r = Load(c.bytes, records);
        EXPECT_EQ(r.status, LoadResult::Status::Damaged) << c.name;
        EXPECT_EQ(records.size(), c.kept) << c.name;
        EXPECT_EQ(r.appended, c.kept) << c.name;
        EXPECT_EQ(r.offset, c.offset) << c.name << ": " << r.message;
        EXPECT_NE(r.message.find(c.messagePart), std::string::npos) << c.name << ": " << r.message;
        if (c.kept > 0) {
            EXPECT_EQ(records[0].title(), "a") << c.name;
        }
    }
}

TEST(CatalogueFile, HugeCountFailsAtTheEndOfTheData) {
    ArchiveBytes bytes;
    bytes.I32(INT32_MAX).NewClassHeader().Body("a");
    for (int i = 0; i < 1000; ++i) bytes.U16(0x0002);
    RecordArray records;
    const LoadResult r = Load(bytes, records);
    EXPECT_EQ(r.status, LoadResult::Status::Damaged);
    EXPECT_EQ(r.offset, bytes.size());
    EXPECT_EQ(records.size(), 1001u);
}

TEST(CatalogueFile, LoadingAppendsToWhatTheArrayHolds) {
    RecordArray records;
    RecordFields f;
    f.title = "before";
    records.Append(MovieRecord(f));
    ArchiveBytes bytes;
    bytes.I32(2).NewClassHeader().Body("x").U16(2);
    const LoadResult r = Load(bytes, records);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.appended, 2u) << "only what this file added";
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"before", "x", "x"}));
}

// Every entry of this file but the plain class references with narrow bodies
// is left to the archive reader by the in-place loader; both must agree.
ArchiveBytes MixedEntries(std::int32_t count = 8) {
    ArchiveBytes bytes;
    bytes.I32(count).NewClassHeader().Body("first", "K");
    bytes.ClassRef().U8(0xFF).U16(5).Raw(ScrambleText("long1"));  // a 16-bit prefix where one byte would do
    bytes.U8(0xFF).U16(0xFFFF).U32(1).Raw(ScrambleText("f"));     // and a 32-bit one
    bytes.Plain("").Plain("").I32(1).I32(2).Plain("").Plain("").Plain("K").I32(3).I32(4).Plain("id");
    bytes.ClassRef().U8(0xFF).U16(0xFFFE).U8(1).Raw(std::string("A\0", 2));  // wide title
    bytes.Plain("").Plain("").Plain("").I32(1).I32(0).Plain("").Plain("").Plain("K").I32(0).I32(0).Plain("");
    bytes.U16(0x0003).NewClassHeader().Body("after a second class").U16(0x8005).Body("by the second class");
    bytes.U16(0x7FFF).U32(0x80000001u).Body("long class tag").U16(0x7FFF).U32(2);
    return bytes;
}

std::string StoredImage(const RecordArray& records) {
    std::string image;
    for (std::size_t i = 0; i < records.size(); ++i) {
        for (std::size_t f = 0; f < kTextFieldCount; ++f)
            image += records[i].StoredText(static_cast<TextField>(f)) + "|";
        for (std::size_t f = 0; f < kIntFieldCount; ++f)
            image += std::to_string(records[i].StoredInt(static_cast<IntField>(f))) + "|";
    }
    return image;
}

TEST(CatalogueFile, ReadInPlaceAgreesWithTheArchiveReader) {
    const ArchiveBytes bytes = MixedEntries();
    RecordArray inPlace;
    const LoadResult r = Load(bytes, inPlace);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Titles(inPlace), (std::vector<std::string>{"first", "long1", "M", "long1", "after a second class",
                                                         "by the second class", "long class tag", "first"}));
    EXPECT_EQ(inPlace[1].Fields().file, "f");
    EXPECT_EQ(inPlace[1].player(), 3);
    EXPECT_EQ(inPlace[1].id(), "id");
    EXPECT_EQ(&inPlace[3], &inPlace[1]);
    EXPECT_EQ(inPlace.distinct_records(), 6u);

    RecordArray buffered;
    ArchiveReader ar(bytes.str());
    ReadCatalogue(ar, buffered);
    EXPECT_EQ(StoredImage(buffered), StoredImage(inPlace));
    EXPECT_EQ(CatalogueBytes(buffered), CatalogueBytes(inPlace));
    // A body cut short after them is reported where it ends, the records kept.
    ArchiveBytes cut = MixedEntries(9);
    cut.ClassRef().Plain("cut");
    RecordArray partial;
    const LoadResult damaged = Load(cut, partial);
    EXPECT_EQ(damaged.status, LoadResult::Status::Damaged);
    EXPECT_EQ(damaged.offset, cut.size());
    EXPECT_EQ(Titles(partial), Titles(inPlace));
}

TEST(CatalogueFile, WideTextsOfEveryCharacterAndTheLengthThatLooksLikeAMarker) {
    // 65534 units: in the second prefix 0xFFFE is a length, not a marker again.
    const std::u16string longText(65534, u'\u5929');  // 天
    ArchiveBytes bytes;
    bytes.I32(1).NewClassHeader();
    bytes.U8(0xFF).U16(0xFFFE).U8(2).Raw(Utf16Bytes(u"A\u5929"));  // title: the high byte of each unit counts
    bytes.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFE).Raw(Utf16Bytes(longText));  // file
    bytes.Plain("").Plain("").I32(1).I32(0).Plain("").Plain("").Plain("").I32(0).I32(0).Plain("");
    RecordArray records;
    const LoadResult r = Load(bytes, records);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(records[0].titleRaw(), "A\xCC\xEC");
    std::string expected;
    for (int i = 0; i < 65534; ++i) expected += "\xCC\xEC";
    EXPECT_EQ(records[0].fileRaw(), expected);
}

TEST(Archive, NumbersByteForByteAndNothingReadPastTheEndOfBytesInMemory) {
    std::string out;
    ArchiveWriter writer(out);
    writer.WriteU32(0x87654321);
    EXPECT_EQ(out, "\x21\x43\x65\x87");
    ArchiveReader reader(out);
    EXPECT_EQ(reader.ReadU16(), 0x4321u);
    EXPECT_EQ(reader.ReadU8(), 0x65u);
    EXPECT_EQ(reader.ReadU8(), 0x87u);
    EXPECT_THROW(reader.ReadU8(), ArchiveError);
}

class CatalogueFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kavuno-catalogue-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(CatalogueFileOnDisk, TextsAcrossTheReadBufferSurvive) {
    // Texts longer than the read buffer, and items that straddle its end.
    std::vector<MovieRecord> written;
    for (int i = 0; i < 300; ++i) {
        RecordFields f;
        f.title = "title " + std::to_string(i);
        f.actor = std::string(static_cast<std::size_t>(i * 37 % 9000), static_cast<char>('a' + i % 26));
        f.kind = "\xB6\xAF\xD7\xF7";
        f.playable = i;
        f.video = -i;
        written.emplace_back(f);
    }
    written[7].SetStoredText(TextField::Id, std::string("\x31\x00\x32", 3));
    std::string error;
    ASSERT_TRUE(SaveCatalogue(dir_ / "movie.dat", written, error)) << error;

    RecordArray records;
    const LoadResult r = LoadCatalogue(dir_ / "movie.dat", records);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(records.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(records[i].Fields(), written[i].Fields()) << i;
        EXPECT_EQ(records[i].idRaw(), written[i].idRaw()) << i;
    }
    EXPECT_EQ(records.text_bytes(), 0u);  // read in place: no text copied
    // The same bytes through a reader with a tiny buffer.
    std::FILE* file = std::fopen((dir_ / "movie.dat").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ArchiveReader small(file, std::filesystem::file_size(dir_ / "movie.dat"), 16);
    RecordArray again;
    ReadCatalogue(small, again);
    std::fclose(file);
    EXPECT_EQ(CatalogueBytes(again), CatalogueBytes(records));
    EXPECT_GT(again.text_bytes(), 0u);
}

TEST_F(CatalogueFileOnDisk, MappedBytesStayAsReadWhenTheFileIsReplaced) {
    EXPECT_EQ(FileBytes::Map(dir_ / "none.dat"), nullptr);
    EXPECT_EQ(FileBytes::Map(dir_), nullptr);  // not a regular file
    std::ofstream(dir_ / "empty.dat", std::ios::binary).close();
    const auto empty = FileBytes::Map(dir_ / "empty.dat");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->bytes().empty());
    EXPECT_EQ(FileBytes::Copy("abc")->bytes(), "abc");

    ArchiveBytes bytes;
    bytes.I32(2).NewClassHeader().Body("old", "K").ClassRef().Body("older", "K");
    std::ofstream(dir_ / "movie.dat", std::ios::binary) << bytes.str();
    const auto mapped = FileBytes::Map(dir_ / "movie.dat");
    ASSERT_NE(mapped, nullptr);
    EXPECT_TRUE(mapped->mapped());
    EXPECT_EQ(mapped->bytes(), bytes.str());
    RecordArray records;
    ASSERT_TRUE(LoadCatalogue(dir_ / "movie.dat", records).ok());
    ArchiveBytes newer;
    newer.I32(1).NewClassHeader().Body("new");
    std::ofstream(dir_ / "new.dat", std::ios::binary) << newer.str();
    std::filesystem::rename(dir_ / "new.dat", dir_ / "movie.dat");
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"old", "older"}));
    EXPECT_EQ(records[1].kind(), "K");
}

TEST_F(CatalogueFileOnDisk, AFilesLastBytesAreReadAfterARefillAndNothingPastThem) {
    std::string data;
    for (int i = 0; i < 18; ++i) data += static_cast<char>(0x80 + i);
    // A reader with a 16-byte buffer over a file of `size` bytes reads 16, then `read` reads on.
    auto readWith = [&](std::size_t size, const std::function<void(ArchiveReader&)>& read) {
        const std::filesystem::path path = dir_ / ("raw" + std::to_string(size));
        std::ofstream(path, std::ios::binary) << data.substr(0, size);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        ArchiveReader reader(file, size, 16);
        char first[16];
        reader.ReadBytes(first, 16);
        read(reader);
        EXPECT_THROW(reader.ReadU8(), ArchiveError) << "past the end of " << size << " bytes";
        std::fclose(file);
    };
    readWith(17, [](ArchiveReader& r) { EXPECT_EQ(r.ReadU8(), 0x90u); });
    readWith(18, [](ArchiveReader& r) { EXPECT_EQ(r.ReadU16(), 0x9190u); });
    readWith(17, [](ArchiveReader& r) {
        char last = 0;
        r.ReadBytes(&last, 1);
        EXPECT_EQ(last, '\x90');
    });

    // Writing: a folder that is not there, and a device that takes nothing.
    std::string error;
    EXPECT_FALSE(SaveCatalogue(dir_ / "no" / "movie.dat", {}, error));
    EXPECT_EQ(error, "cannot create the file");
    if (std::filesystem::exists("/dev/full")) {
        error.clear();
        EXPECT_FALSE(SaveCatalogue("/dev/full", {MovieRecord()}, error));
        EXPECT_EQ(error, "cannot write the file");
    }
}

TEST_F(CatalogueFileOnDisk, MissingTruncatedAndEmptyFiles) {
    RecordArray records;
    const LoadResult missing = LoadCatalogue(dir_ / "none.dat", records);
    EXPECT_EQ(missing.status, LoadResult::Status::CannotOpen);
    EXPECT_EQ(missing.appended, 0u);

    std::ofstream(dir_ / "empty.dat", std::ios::binary).close();
    LoadResult r = LoadCatalogue(dir_ / "empty.dat", records);
    EXPECT_EQ(r.status, LoadResult::Status::Damaged);
    EXPECT_EQ(r.offset, 0u);

    ArchiveBytes bytes;
    bytes.I32(2).NewClassHeader().Body("a").ClassRef().Body("b");
    std::ofstream(dir_ / "cut.dat", std::ios::binary) << bytes.str().substr(0, bytes.size() - 3);
    r = LoadCatalogue(dir_ / "cut.dat", records);
    EXPECT_EQ(r.status, LoadResult::Status::Damaged);
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"a"}));
}

}  // namespace
}  // namespace kavuno::catalogue
