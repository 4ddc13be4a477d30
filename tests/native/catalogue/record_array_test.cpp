// The record array's storage: records across many storage chunks, texts
// larger than an arena chunk, repeated records, copies of one-byte texts and
// stored tails, moving the array; and the text arena under it.
#include <gtest/gtest.h>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/record_array.h"
#include "player/catalogue/text_arena.h"

#include <cstring>

namespace kavuno::catalogue {
namespace {

MovieRecord Record(std::string title, std::string actor = "") {
    RecordFields f;
    f.title = std::move(title);
    f.actor = std::move(actor);
    f.playable = static_cast<std::int32_t>(f.title.size());
    return MovieRecord(f);
}

TEST(RecordArray, ManyRecordsKeepTheirPlaceAndTexts) {
    RecordArray records;
    for (int i = 0; i < 5000; ++i) records.Append(Record("t" + std::to_string(i)));
    ASSERT_EQ(records.size(), 5000u);
    EXPECT_EQ(records.distinct_records(), 5000u);
    const MovieRecord* first = &records[0];
    for (int i = 0; i < 5000; ++i) records.Append(Record("u" + std::to_string(i)));
    EXPECT_EQ(first, &records[0]);  // records never move
    for (std::size_t i : {0u, 15u, 16u, 31u, 32u, 4095u, 4096u, 9999u}) {
        const std::string expected = (i < 5000 ? "t" + std::to_string(i) : "u" + std::to_string(i - 5000));
        EXPECT_EQ(records[i].title(), expected) << i;
        EXPECT_EQ(records[i].playable(), static_cast<std::int32_t>(expected.size())) << i;
    }
}

TEST(RecordArray, CopiesKeepOneByteTextsStoredTailsAndEveryNumber) {
    RecordArray records;
    RecordFields one;
    one.title = "a";
    one.player = 1;
    records.Append(MovieRecord(one));
    MovieRecord tailed(one);
    tailed.SetStoredText(TextField::Id, std::string("\x31\x00\x32", 3));
    records.Append(tailed);
    EXPECT_EQ(records[0].title(), "a");
    EXPECT_EQ(records[0].player(), 1);
    EXPECT_EQ(records[1].idRaw(), std::string("\x31\x00\x32", 3));
    EXPECT_EQ(records[1].id(), UnscrambleText("\x31"));
}

TEST(TextArena, BlocksStayPutChunksDoubleAndAChunkHoldingOnlyTheMovedBlockGoes) {
    TextArena arena;
    EXPECT_EQ(arena.capacity(), 0u);
    arena.Begin();
    EXPECT_STREQ(arena.Finish(), "") << "an empty block, before any chunk";
    arena.Begin();
    std::memcpy(arena.Extend(3), "abc", 3);
    const char* first = arena.Finish();
    EXPECT_EQ(arena.capacity(), TextArena::kFirstChunkSize);

    // A block that fills the chunk exactly stays in it; one more byte moves the
    // block, whole, to a chunk twice as big, and the blocks before stay put.
    arena.Begin();
    std::memset(arena.Extend(TextArena::kFirstChunkSize - 3), 'x', TextArena::kFirstChunkSize - 3);
    EXPECT_EQ(arena.capacity(), TextArena::kFirstChunkSize);
    *arena.Extend(1) = 'y';
    const char* second = arena.Finish();
    EXPECT_EQ(arena.capacity(), 3 * TextArena::kFirstChunkSize);
    EXPECT_EQ(std::string(second, TextArena::kFirstChunkSize - 2),
              std::string(TextArena::kFirstChunkSize - 3, 'x') + "y");
    EXPECT_EQ(std::string(first, 3), "abc");

    // A dropped block's room is taken again.
    arena.Begin();
    char* dropped = arena.Extend(5);
    arena.Abandon();
    arena.Begin();
    EXPECT_EQ(arena.Extend(2), dropped);

    // A chunk that only ever held the block being moved is let go.
    TextArena fresh;
    fresh.Begin();
    *fresh.Extend(1) = 'z';
    std::memset(fresh.Extend(TextArena::kFirstChunkSize * 3), 'w', TextArena::kFirstChunkSize * 3);
    const char* moved = fresh.Finish();
    EXPECT_EQ(fresh.capacity(), TextArena::kFirstChunkSize * 3 + 1) << "a block larger than twice the chunk";
    EXPECT_EQ(moved[0], 'z');
    EXPECT_EQ(moved[TextArena::kFirstChunkSize * 3], 'w');

    // Chunks double up to their limit; a larger block has a chunk of its own.
    TextArena growing;
    std::size_t expected = 0;
    for (std::size_t chunk = TextArena::kFirstChunkSize; chunk <= TextArena::kChunkSize; chunk *= 2) {
        growing.Begin();
        growing.Extend(chunk);
        growing.Finish();
        expected += chunk;
        EXPECT_EQ(growing.capacity(), expected) << chunk;
    }
    growing.Begin();
    growing.Extend(10);
    growing.Finish();
    EXPECT_EQ(growing.capacity(), expected + TextArena::kChunkSize) << "no chunk larger than the limit";
    growing.clear();
    EXPECT_EQ(growing.capacity(), 0u);
    growing.Begin();
    std::memcpy(growing.Extend(2), "ok", 2);
    EXPECT_EQ(std::string(growing.Finish(), 2), "ok");
}

TEST(RecordArray, TextsLargerThanAnArenaChunk) {
    RecordArray records;
    records.Append(Record("small"));
    const std::string big(3 * TextArena::kChunkSize + 17, '\xB0');
    records.Append(Record("big", big));
    records.Append(Record("after"));
    EXPECT_EQ(records[0].title(), "small");
    EXPECT_EQ(records[1].actor(), big);
    EXPECT_EQ(records[1].title(), "big");
    EXPECT_EQ(records[2].title(), "after");

    // The same through the file reader.
    RecordArray loaded;
    ASSERT_TRUE(LoadCatalogueFromBytes(CatalogueBytes(records), loaded).ok());
    EXPECT_EQ(loaded[1].actor(), big);
    EXPECT_EQ(loaded[2].title(), "after");
}

TEST(RecordArray, RepeatedRecordIsOneRecord) {
    RecordArray records;
    records.Append(Record("a"));
    records.Append(Record("b"));
    records.AppendAgain(0);
    EXPECT_EQ(records.size(), 3u);
    EXPECT_EQ(records.distinct_records(), 2u);
    EXPECT_EQ(&records[2], &records[0]);
    EXPECT_THROW(records.AppendAgain(3), std::out_of_range);
}

TEST(RecordArray, MovingKeepsRecordsAndEmptiesTheSource) {
    RecordArray records;
    for (int i = 0; i < 40; ++i) records.Append(Record("r" + std::to_string(i)));
    const MovieRecord* last = &records[39];
    RecordArray moved(std::move(records));
    EXPECT_EQ(records.size(), 0u);  // NOLINT(bugprone-use-after-move): moved-from is empty
    ASSERT_EQ(moved.size(), 40u);
    EXPECT_EQ(&moved[39], last);
    EXPECT_EQ(moved[39].title(), "r39");

    RecordArray other;
    other.Append(Record("x"));
    other = std::move(moved);
    EXPECT_EQ(other.size(), 40u);
    EXPECT_EQ(other[0].title(), "r0");
    other.clear();
    EXPECT_TRUE(other.empty());
    other.Append(Record("again"));
    EXPECT_EQ(other[0].title(), "again");
}

}  // namespace
}  // namespace kavuno::catalogue
