// The record array's storage: records across many storage chunks, texts
// larger than an arena chunk, repeated records, and moving the array.
#include <gtest/gtest.h>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/record_array.h"

namespace kavuno::catalogue {
namespace {

CMF Record(std::string title, std::string actor = "") {
    RecordFields f;
    f.title = std::move(title);
    f.actor = std::move(actor);
    f.playable = static_cast<std::int32_t>(f.title.size());
    return CMF(f);
}

TEST(RecordArray, ManyRecordsKeepTheirPlaceAndTexts) {
    RecordArray records;
    for (int i = 0; i < 5000; ++i) records.Append(Record("t" + std::to_string(i)));
    ASSERT_EQ(records.size(), 5000u);
    EXPECT_EQ(records.distinct_records(), 5000u);
    const CMF* first = &records[0];
    for (int i = 0; i < 5000; ++i) records.Append(Record("u" + std::to_string(i)));
    EXPECT_EQ(first, &records[0]);  // records never move
    for (std::size_t i : {0u, 15u, 16u, 31u, 32u, 4095u, 4096u, 9999u}) {
        const std::string expected = (i < 5000 ? "t" + std::to_string(i) : "u" + std::to_string(i - 5000));
        EXPECT_EQ(records[i].title(), expected) << i;
        EXPECT_EQ(records[i].playable(), static_cast<std::int32_t>(expected.size())) << i;
    }
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
    const CMF* last = &records[39];
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
