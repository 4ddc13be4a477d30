// The update manifest: numbers at the start of lines, line ends, and what a
// short, odd or hostile manifest yields.
#include <gtest/gtest.h>

#include <climits>

#include "manifest.h"

namespace {

using kavuno::launcher::ManifestLineReader;
using kavuno::launcher::ParseLeadingNumber;
using kavuno::launcher::ReadManifest;

TEST(ParseLeadingNumber, ReadsDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ParseLeadingNumber("51200"), 51200);
    EXPECT_EQ(ParseLeadingNumber("2048 bytes"), 2048);
    EXPECT_EQ(ParseLeadingNumber("12ab34"), 12);
    EXPECT_EQ(ParseLeadingNumber("007"), 7);
    EXPECT_EQ(ParseLeadingNumber("1.5"), 1);
}

TEST(ParseLeadingNumber, SkipsLeadingWhiteSpaceAndTakesOneSign) {
    EXPECT_EQ(ParseLeadingNumber("  \t42"), 42);
    EXPECT_EQ(ParseLeadingNumber("+3"), 3);
    EXPECT_EQ(ParseLeadingNumber("-3"), -3);
    EXPECT_EQ(ParseLeadingNumber(" -0"), 0);
    EXPECT_EQ(ParseLeadingNumber("--3"), 0);
    EXPECT_EQ(ParseLeadingNumber("+-3"), 0);
    EXPECT_EQ(ParseLeadingNumber("- 3"), 0);
}

TEST(ParseLeadingNumber, TextWithoutLeadingDigitsIsZero) {
    EXPECT_EQ(ParseLeadingNumber(""), 0);
    EXPECT_EQ(ParseLeadingNumber("   "), 0);
    EXPECT_EQ(ParseLeadingNumber("abc"), 0);
    EXPECT_EQ(ParseLeadingNumber("x12"), 0);
    EXPECT_EQ(ParseLeadingNumber("\xEF\xBB\xBF" "2"), 0);  // UTF-8 byte-order mark
    EXPECT_EQ(ParseLeadingNumber("\xFF\xFE" "2"), 0);
}

TEST(ParseLeadingNumber, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(ParseLeadingNumber("2147483647"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("2147483648"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber("4294967297"), INT_MAX);  // not 1
}

TEST(ManifestLineReader, DropsCarriageReturnsWhereverTheyStand) {
    ManifestLineReader reader("a\r\nb\rc\n\r\rd\r");
    EXPECT_EQ(reader.NextLine(), "a");
    EXPECT_EQ(reader.NextLine(), "bc");
    EXPECT_EQ(reader.NextLine(), "d");
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ManifestLineReader, KeepsBlanksAndYieldsEmptyLinesPastTheEnd) {
    ManifestLineReader reader(" a b \n\nlast");
    EXPECT_EQ(reader.NextLine(), " a b ");
    EXPECT_EQ(reader.NextLine(), "");
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "last");
    EXPECT_EQ(reader.NextLine(), "");
    EXPECT_EQ(reader.NextLine(), "");
}

TEST(ReadManifest, ListsNameAndSizePairsInOrder) {
    auto entries = ReadManifest("2\nfirst.dat\n51200\nsecond.dat\n2048\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "first.dat");
    EXPECT_EQ(entries[0].size, 51200);
    EXPECT_EQ(entries[1].name, "second.dat");
    EXPECT_EQ(entries[1].size, 2048);
}

TEST(ReadManifest, CrLfGivesTheSameEntriesAsLf) {
    auto lf = ReadManifest("2\nfirst.dat\n51200\nsecond.dat\n2048\n");
    auto crlf = ReadManifest("2\r\nfirst.dat\r\n51200\r\nsecond.dat\r\n2048\r\n");
    ASSERT_EQ(crlf.size(), lf.size());
    for (size_t i = 0; i < lf.size(); ++i) {
        EXPECT_EQ(crlf[i].name, lf[i].name);
        EXPECT_EQ(crlf[i].size, lf[i].size);
    }
}

TEST(ReadManifest, ACountOfZeroNegativeOrNoDigitsListsNothing) {
    EXPECT_TRUE(ReadManifest("0\na.dat\n1\n").empty());
    EXPECT_TRUE(ReadManifest("-2\na.dat\n1\n").empty());
    EXPECT_TRUE(ReadManifest("two\na.dat\n1\n").empty());
    EXPECT_TRUE(ReadManifest("\xEF\xBB\xBF" "1\na.dat\n1\n").empty());
    EXPECT_TRUE(ReadManifest("").empty());
}

TEST(ReadManifest, LinesAfterTheLastEntryAreNotRead) {
    auto entries = ReadManifest("1\na.dat\n10\nb.dat\n20\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "a.dat");
}

TEST(ReadManifest, NamesAreVerbatimAndSizesTolerant) {
    auto entries = ReadManifest("3\n a b.dat \n 12 KB\nsub\\x.dat\nabc\n\xCA\xFD.dat\n-5\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, " a b.dat ");
    EXPECT_EQ(entries[0].size, 12);
    EXPECT_EQ(entries[1].name, "sub\\x.dat");
    EXPECT_EQ(entries[1].size, 0);
    EXPECT_EQ(entries[2].name, "\xCA\xFD.dat");
    EXPECT_EQ(entries[2].size, -5);
}

TEST(ReadManifest, AMissingSizeLineReadsAsZero) {
    auto entries = ReadManifest("1\nonly-name.dat");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "only-name.dat");
    EXPECT_EQ(entries[0].size, 0);
}

TEST(ReadManifest, ACountBeyondTheDataStopsAtTheEnd) {
    auto entries = ReadManifest("5\na.dat\n1\nb.dat\n2\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "b.dat");
    // An absurd count over a short manifest ends at once.
    EXPECT_EQ(ReadManifest("2147483647\na.dat\n1\n").size(), 1u);
    EXPECT_TRUE(ReadManifest("99999999999\n").empty());
}

TEST(ReadManifest, ABlankNameLineInsideTheDataStillPairsLines) {
    // The blank line is entry 1's name; "a.dat" is then its size line (0).
    auto entries = ReadManifest("2\n\na.dat\nb.dat\n7\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "");
    EXPECT_EQ(entries[0].size, 0);
    EXPECT_EQ(entries[1].name, "b.dat");
    EXPECT_EQ(entries[1].size, 7);
}

TEST(ReadManifest, TheSameNameTwiceIsListedTwice) {
    auto entries = ReadManifest("2\na.dat\n1\na.dat\n2\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, entries[1].name);
    EXPECT_EQ(entries[1].size, 2);
}

}  // namespace
