// The movie list's rows under "最近更新", for a category or series, and for a
// search; and the GBK-aware matcher behind the search.
#include <gtest/gtest.h>

#include "player/catalogue/gbk_search.h"
#include "player/catalogue/list_rows.h"

namespace kavuno::catalogue {
namespace {

using Rows = std::vector<std::size_t>;

struct RowSource {
    std::string title, kind, parent;
    std::string actor = "";
};

RecordArray Make(const std::vector<RowSource>& sources) {
    RecordArray records;
    for (const RowSource& s : sources) {
        RecordFields f;
        f.title = s.title;
        f.kind = s.kind;
        f.parent = s.parent;
        f.actor = s.actor;
        records.Append(MovieRecord(f));
    }
    return records;
}

TEST(RecentRows, TopLevelRecordsHighestIndexFirst) {
    const RecordArray records = Make(
        {{"zero", "K", ""}, {"1", "K", ""}, {"2", "K", ""}, {"3", "K", ""}, {"4", "K", ""}, {"5", "K", ""}});
    EXPECT_EQ(RecentRows(records), (Rows{5, 4, 3, 2, 1}));
    EXPECT_EQ(CategoryRows(records, "K", ""), (Rows{5, 4, 3, 2, 1}));
}

TEST(RecentRows, AtMostTwentyThreeFromTheEndSkippingEpisodes) {
    std::vector<RowSource> sources{{"zero", "", ""}};
    for (int i = 1; i <= 40; ++i) sources.push_back({std::to_string(i), "K", i % 5 == 0 ? "S" : ""});
    const RecordArray records = Make(sources);
    const Rows rows = RecentRows(records);
    ASSERT_EQ(rows.size(), 23u);
    EXPECT_EQ(rows.front(), 39u);  // 40 is an episode
    for (std::size_t r : rows) EXPECT_TRUE(records[r].parent().empty());
    for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_GT(rows[k - 1], rows[k]);
}

TEST(RecentRows, IndexZeroIsNeverARow) {
    EXPECT_EQ(RecentRows(Make({})), Rows{});
    EXPECT_EQ(RecentRows(Make({{"only", "K", ""}})), Rows{});
    EXPECT_EQ(CategoryRows(Make({{"only", "K", ""}}), "K", ""), Rows{});
    EXPECT_EQ(SearchRows(Make({{"only", "K", ""}}), "only", SearchField::Title), Rows{});
}

TEST(CategoryRows, ExactKindAndParentInReverseFileOrder) {
    const RecordArray records = Make({{"0", "K", ""},
                                      {"a", "K", ""},
                                      {"b", "k", ""},
                                      {"c", "K ", ""},
                                      {"Series", "K", ""},
                                      {"ep1", "K", "Series"},
                                      {"d", "K", ""},
                                      {"ep2", "K", "Series"},
                                      {"ep3", "Other", "Series"}});
    EXPECT_EQ(CategoryRows(records, "K", ""), (Rows{6, 4, 1}));
    EXPECT_EQ(CategoryRows(records, "K", "Series"), (Rows{7, 5}));
    EXPECT_EQ(CategoryRows(records, "Nothing", ""), Rows{});
}

TEST(CategoryRows, ARecordAtTwoIndicesIsListedAtBoth) {
    RecordArray records = Make({{"0", "K", ""}, {"a", "K", ""}});
    records.AppendAgain(1);
    EXPECT_EQ(CategoryRows(records, "K", ""), (Rows{2, 1}));
}

TEST(SearchRows, TitleOrActorAllRecordsReverseOrder) {
    const RecordArray records = Make({{"Comet", "K", "", "Comet"},
                                      {"Comet One", "K", "", "Li"},
                                      {"comet two", "K", "", "Comet Wang"},
                                      {"Series Comet", "K", "", ""},
                                      {"Comet ep", "K", "Series Comet", ""}});
    EXPECT_EQ(SearchRows(records, "Comet", SearchField::Title), (Rows{4, 3, 1}));
    EXPECT_EQ(SearchRows(records, "comet", SearchField::Title), (Rows{2}));
    EXPECT_EQ(SearchRows(records, "Comet", SearchField::Actor), (Rows{2}));
    EXPECT_EQ(SearchRows(records, " Comet", SearchField::Title), (Rows{3}));
    EXPECT_EQ(SearchRows(records, "Comet ", SearchField::Title), (Rows{4, 1}));
    EXPECT_EQ(SearchRows(records, "zzz", SearchField::Title), Rows{});
}

TEST(SearchRows, EmptyTextKeepsTheListAndSelectionPicksTheField) {
    EXPECT_TRUE(SearchKeepsList(""));
    EXPECT_FALSE(SearchKeepsList(" "));
    EXPECT_EQ(SearchFieldForSelection(0), SearchField::Title);
    EXPECT_EQ(SearchFieldForSelection(1), SearchField::Actor);
    EXPECT_EQ(SearchFieldForSelection(-1), SearchField::Actor);
    EXPECT_EQ(SearchFieldForSelection(7), SearchField::Actor);
}

// The rows are chosen on the stored bytes; a stored zero byte ends a plain text.
TEST(Rows, StoredTextsWithZeroBytesCountAsTheirPlainTexts) {
    RecordArray records = Make({{"0", "", ""}, {"x", "K", ""}, {"y", "K", "S"}, {"ab", "K", ""}});
    MovieRecord tailed(records[3]);
    tailed.SetStoredText(TextField::Parent, std::string("\x00\x47", 2));         // plain ""
    tailed.SetStoredText(TextField::Kind, std::string("\x3F\x00\x3F", 3));       // plain "K"
    tailed.SetStoredText(TextField::Title, std::string("\x55\x56\x00\x57", 4));  // plain "ab"
    records.Append(tailed);
    EXPECT_EQ(RecentRows(records), (Rows{4, 3, 1}));
    EXPECT_EQ(CategoryRows(records, "K", ""), (Rows{4, 3, 1}));
    EXPECT_EQ(CategoryRows(records, "K", "S"), (Rows{2}));
    EXPECT_EQ(SearchRows(records, "ab", SearchField::Title), (Rows{4, 3}));
    EXPECT_EQ(SearchRows(records, "c", SearchField::Title), Rows{});  // stored after the zero
    EXPECT_EQ(SearchRows(records, "b\x0C", SearchField::Title), Rows{});
    EXPECT_EQ(CategoryRows(records, "K\x0C", ""), Rows{});
}

// 啊 is B0 A1, 不 is B2 BB; "\xA1\xB2" only appears across their boundary.
TEST(GbkMatch, NeverStartsOnASecondByte) {
    const std::string text = "\xB0\xA1\xB2\xBB";  // 啊不
    EXPECT_EQ(GbkFind(text, "\xB2\xBB"), 2u);
    EXPECT_EQ(GbkFind(text, "\xA1\xB2"), std::string_view::npos);
    EXPECT_EQ(GbkFind(text, "\xA1"), std::string_view::npos);
    EXPECT_EQ(GbkFind(text, ""), 0u);
    EXPECT_EQ(GbkFind("", "a"), std::string_view::npos);
}

TEST(GbkMatch, SecondBytesInAsciiRangeAreNotMatchedAlone) {
    // 0x81 0x41 is one character whose second byte is "A".
    const std::string text =
        "\x81\x41"
        "A";
    EXPECT_EQ(GbkFind(text, "A"), 2u);
    EXPECT_EQ(GbkFind("\x81\x41", "A"), std::string_view::npos);
    // A later match after a rejected one is found.
    EXPECT_EQ(GbkFind("\x81\x41\x81\x41\x41", "A"), 4u);
}

TEST(GbkMatch, MatchesAfterMixedTextAndAtTheEnd) {
    const std::string text =
        "ab\xB0\xA1"
        "c\xB2\xBB";
    EXPECT_EQ(GbkFind(text, "c"), 4u);
    EXPECT_EQ(GbkFind(text, "\xB2\xBB"), 5u);
    EXPECT_EQ(GbkFind(text, "b\xB0"), 1u);
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(GbkFind("a\xB0", "\xB0"), 1u);
    // 0x80 and 0xFF lead nothing.
    EXPECT_EQ(GbkFind("\x80\x41", "A"), 1u);
    EXPECT_EQ(GbkFind("\xFF\x41", "A"), 1u);
    EXPECT_EQ(GbkFind("\xFE\x41", "A"), std::string_view::npos);
}

TEST(GbkMatch, StoredTextsMatchWhereTheirPlainTextsDo) {
    const std::vector<std::string> texts = {"\xB0\xA1\xB2\xBB",
                                            "\x81\x41\x81\x41\x41",
                                            "ab\xB0\xA1"
                                            "c\xB2\xBB",
                                            "a\xB0",
                                            "\x80\x41",
                                            "\xFE\x41",
                                            "\x0D\x8D\xFF\xF3\x01"};
    const std::vector<std::string> needles = {"",     "A",        "\xA1\xB2", "\xB2\xBB", "c",   "b\xB0",
                                              "\xB0", "\x41\x41", "\x8D",     "\xF3\x01", "\x01"};
    for (const std::string& text : texts) {
        for (const std::string& needle : needles)
            EXPECT_EQ(GbkFindStored(ScrambleText(text), ScrambleText(needle)), GbkFind(text, needle))
                << text << "/" << needle;
    }
}

TEST(GbkMatch, SearchRowsUseTheMatcher) {
    const RecordArray records = Make({{"0", "", ""}, {"\xB0\xA1\xB2\xBB", "", ""}, {"\xA1\xB2", "", ""}});
    EXPECT_EQ(SearchRows(records, "\xA1\xB2", SearchField::Title), (Rows{2}));
}

}  // namespace
}  // namespace kavuno::catalogue
