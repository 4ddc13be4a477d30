// The update manifest: numbers at the start of lines, line ends, and what a
// short, odd or hostile manifest yields.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "launcher/manifest.h"
#include "tests/native/launcher/string_source.h"

namespace {

using kavuno::launcher::ManifestEntry;
using kavuno::launcher::ManifestLineReader;
using kavuno::launcher::ManifestReader;
using kavuno::launcher::ParseLeadingNumber;
using kavuno::launcher::testing::StringSource;

// Every entry of a manifest, read in reads of at most `maxRead` bytes.
std::vector<ManifestEntry> ReadManifest(const std::string& data, size_t maxRead = SIZE_MAX) {
    StringSource source(data, maxRead);
    ManifestReader reader(source);
    std::vector<ManifestEntry> entries;
    while (auto entry = reader.NextEntry()) entries.push_back(*entry);
    return entries;
}

TEST(ParseLeadingNumber, ReadsDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ParseLeadingNumber("51200"), 51200);
    EXPECT_EQ(ParseLeadingNumber("2048 bytes"), 2048);
    EXPECT_EQ(ParseLeadingNumber("12ab34"), 12);
    EXPECT_EQ(ParseLeadingNumber("007"), 7);
    EXPECT_EQ(ParseLeadingNumber("1.5"), 1);
    EXPECT_EQ(ParseLeadingNumber(std::string_view("12345", 2)), 12);  // a view ends where it says
}

TEST(ParseLeadingNumber, SkipsLeadingWhiteSpaceAndTakesOneSign) {
    EXPECT_EQ(ParseLeadingNumber("  \t42"), 42);
    EXPECT_EQ(ParseLeadingNumber("\v\f\r\n 8"), 8);  // all of C's white space
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
    EXPECT_EQ(ParseLeadingNumber("\xEF\xBB\xBF"
                                 "2"),
              0);  // UTF-8 byte-order mark
    EXPECT_EQ(ParseLeadingNumber("\xFF\xFE"
                                 "2"),
              0);
}

TEST(ParseLeadingNumber, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(ParseLeadingNumber("2147483647"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("2147483648"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber("-2147483647"), -2147483647);
    EXPECT_EQ(ParseLeadingNumber("-21474836470"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber("4294967297"), INT_MAX);  // not 1
    // 2^64 + 1 and longer: however many digits, no wrap-around.
    EXPECT_EQ(ParseLeadingNumber("18446744073709551617"), INT_MAX);
    EXPECT_EQ(ParseLeadingNumber("-18446744073709551617"), INT_MIN);
    EXPECT_EQ(ParseLeadingNumber(std::string(5000, '9') + " bytes"), INT_MAX);
}

TEST(ManifestLineReader, DropsCarriageReturnsWhereverTheyStand) {
    StringSource source("a\r\nb\rc\n\r\rd\r");
    ManifestLineReader reader(source);
    EXPECT_EQ(reader.NextLine(), "a");
    EXPECT_EQ(reader.NextLine(), "bc");
    EXPECT_EQ(reader.NextLine(), "d");
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ManifestLineReader, AReadErrorIsTheEndAndTheEndIsNotReadAgain) {
    StringSource failing("1\na\n");
    failing.failAfter = 0;
    ManifestLineReader broken(failing);
    EXPECT_TRUE(broken.AtEnd());
    EXPECT_TRUE(broken.Failed());
    StringSource source("x\n");
    ManifestLineReader reader(source);
    EXPECT_EQ(reader.NextLine(), "x");
    EXPECT_TRUE(reader.AtEnd());
    const std::size_t reads = source.requests.size();
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "");
    EXPECT_EQ(source.requests.size(), reads);
    EXPECT_FALSE(reader.Failed());
}

TEST(ManifestLineReader, KeepsBlanksAndYieldsEmptyLinesPastTheEnd) {
    StringSource source(" a b \n\nlast");
    ManifestLineReader reader(source);
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
    EXPECT_TRUE(ReadManifest("\xEF\xBB\xBF"
                             "1\na.dat\n1\n")
                    .empty());
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
    EXPECT_EQ(ReadManifest("10000\na.dat\n1\n").size(), 1u);
    // A count above 10,000 makes the manifest oversized: no entry at all.
    EXPECT_TRUE(ReadManifest("10001\na.dat\n1\n").empty());
    EXPECT_TRUE(ReadManifest("99999999999\na.dat\n1\n").empty());
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

TEST(ManifestReader, ReadsThroughTheReadAheadAndOnlyAsFarAsTheLastEntry) {
    // One entry, then a megabyte that is never needed: one read of 4096 bytes.
    std::string manifest = "1\na.dat\n10\n" + std::string(1 << 20, 'x');
    StringSource source(manifest);
    ManifestReader reader(source);
    auto entry = reader.NextEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "a.dat");
    EXPECT_FALSE(reader.NextEntry());
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(source.Consumed(), ManifestLineReader::kReadAhead);
    EXPECT_EQ(source.requests, std::vector<size_t>{ManifestLineReader::kReadAhead});
}

TEST(ManifestReader, LinesAcrossReadBoundariesComeOutWhole) {
    // Long lines and short reads: the same entries whatever the read sizes.
    std::string name(5000, 'n');
    std::string manifest = "2\r\n" + name + "\r\n12345\r\nb.dat\r\n" + std::string(9000, ' ') + "7\r\n";
    for (size_t maxRead : {size_t{1}, size_t{3}, size_t{4095}, SIZE_MAX}) {
        SCOPED_TRACE(maxRead);
        auto entries = ReadManifest(manifest, maxRead);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].name, name);
        EXPECT_EQ(entries[0].size, 12345);
        EXPECT_EQ(entries[1].name, "b.dat");
        EXPECT_EQ(entries[1].size, 7);
    }
}

TEST(ManifestReader, AReadErrorOrACutOffManifestEndsTheEntries) {
    std::string manifest = "3\na.dat\n1\nb.dat\n2\nc.dat\n3\n";
    {
        StringSource source(manifest, 4);
        source.failAfter = 14;  // inside b.dat's name line
        ManifestReader reader(source);
        EXPECT_EQ(reader.NextEntry()->name, "a.dat");
        EXPECT_FALSE(reader.NextEntry());
        EXPECT_TRUE(reader.Failed());
    }
    {
        // The data ends early at a line end: the server announced more.
        StringSource source(manifest.substr(0, 10));
        source.announced = manifest.size();
        ManifestReader reader(source);
        EXPECT_EQ(reader.NextEntry()->name, "a.dat");
        EXPECT_FALSE(reader.NextEntry());
        EXPECT_TRUE(reader.Failed());
    }
    {
        // The last size line cut short ("3" of "30"): no entry is taken from it.
        StringSource source("1\na.dat\n3");
        source.announced = 11;
        ManifestReader reader(source);
        EXPECT_FALSE(reader.NextEntry());
        EXPECT_TRUE(reader.Failed());
    }
    {
        StringSource source(manifest);
        source.announced = manifest.size();
        ManifestReader reader(source);
        int n = 0;
        while (reader.NextEntry()) ++n;
        EXPECT_EQ(n, 3);
        EXPECT_FALSE(reader.Failed());
    }
    {
        // A count beyond the data, all of which the server announced: the end, not a failure.
        StringSource source("5\na.dat\n1\n");
        source.announced = 10;
        ManifestReader reader(source);
        EXPECT_EQ(reader.NextEntry()->name, "a.dat");
        EXPECT_FALSE(reader.NextEntry());
        EXPECT_FALSE(reader.Failed());
    }
}

TEST(ManifestReader, AnOverlongLineIsCutAndTheNextLinesStillPair) {
    std::string huge(ManifestLineReader::kMaxLineLength * 3, 'h');
    auto entries = ReadManifest("2\n" + huge + "\n5\nb.dat\n6\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, huge.substr(0, ManifestLineReader::kMaxLineLength));
    EXPECT_EQ(entries[0].size, 5);
    EXPECT_EQ(entries[1].name, "b.dat");
    EXPECT_EQ(entries[1].size, 6);
}

}  // namespace
