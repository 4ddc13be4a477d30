// The signed file list: what the parser accepts, what it refuses, and which
// changes only the signature catches.
#include <gtest/gtest.h>

#include <functional>

#include "tests/native/launcher/test_signing_key.h"

namespace {

using kavuno::launcher::kMaxUpdateListSize;
using kavuno::launcher::ParseUpdateList;
using kavuno::launcher::SignedUpdateList;
using kavuno::launcher::testing::Listed;
using kavuno::launcher::testing::SignedList;
using kavuno::launcher::testing::TestSigningKey;

const std::string kChinese = "\xB5\xE7\xD3\xB0 \xBA\xA3\xB1\xA8.dat";  // "电影 海报.dat": GBK, with a blank

std::string Good() {
    return SignedList(1733580000,
                      {Listed("movie.dat", "catalogue"), Listed("skin\\blue.bmp", ""), Listed(kChinese, "poster")});
}

// Whether `text` parses and, if so, whether its signature holds.
struct Outcome {
    bool parsed;
    bool verified;
};
Outcome Check(const std::string& text) {
    std::string error;
    std::optional<SignedUpdateList> list = ParseUpdateList(text, error);
    if (!list) {
        EXPECT_FALSE(error.empty());
        return {false, false};
    }
    return {true, TestSigningKey().Verify(std::string_view(text).substr(0, list->signedLength), list->signature)};
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(UpdateList, AGoodListReadsBackWithItsNamesSizesAndHashes) {
    std::string text = Good();
    std::string error;
    std::optional<SignedUpdateList> list = ParseUpdateList(text, error);
    ASSERT_TRUE(list) << error;
    EXPECT_EQ(list->list.serial, 1733580000u);
    EXPECT_EQ(list->list.expires, 4000000000u);
    EXPECT_EQ(list->list.target, "win64");
    EXPECT_EQ(text.substr(0, 76), "kavuno-update-list 2\nserial 1733580000\nexpires 4000000000\ntarget win64\nfile ");
    ASSERT_EQ(list->list.files.size(), 3u);
    EXPECT_EQ(list->list.files[2].name, kChinese);
    EXPECT_EQ(list->signedLength, text.rfind("signature "));
    EXPECT_TRUE(TestSigningKey().Verify(std::string_view(text).substr(0, list->signedLength), list->signature));
    const auto* movie = list->list.Find("movie.dat");
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->size, 9u);
    EXPECT_EQ(movie->sha256, kavuno::release::Sha256Of("catalogue"));
    EXPECT_NE(list->list.Find("skin\\blue.bmp"), nullptr);
    EXPECT_EQ(list->list.Find("skin/blue.bmp"), nullptr);  // exact bytes only
    EXPECT_EQ(list->list.Find("MOVIE.DAT"), nullptr);
    EXPECT_EQ(list->list.Find(""), nullptr);
}

TEST(UpdateList, EachFieldDamagedOrMisplacedIsRefused) {
    const std::string good = Good();
    const std::string hash = kavuno::launcher::ToHex(kavuno::release::Sha256Of("catalogue").data(), 32);
    struct Case {
        const char* what;
        std::string text;
        Outcome expected;
    };
    auto withoutSignature = good.substr(0, good.rfind("signature "));
    std::vector<Case> cases = {
        {"empty", "", {false, false}},
        {"tag of format 1", Replace(good, "kavuno-update-list 2", "kavuno-update-list 1"), {false, false}},
        {"tag of format 3", Replace(good, "kavuno-update-list 2", "kavuno-update-list 3"), {false, false}},
        {"no expiry", Replace(good, "expires 4000000000\n", ""), {false, false}},
        {"expiry not a number", Replace(good, "expires 4000000000", "expires 4e9"), {false, false}},
        {"expiry after the target",
         Replace(Replace(good, "expires 4000000000\n", ""), "target win64\n", "target win64\nexpires 4000000000\n"),
         {false, false}},
        {"no target", Replace(good, "target win64\n", ""), {false, false}},
        {"unknown target", Replace(good, "target win64", "target win65"), {false, false}},
        {"target with a blank", Replace(good, "target win64", "target win64 "), {false, false}},
        {"no serial", Replace(good, "serial 1733580000\n", ""), {false, false}},
        {"serial with a leading zero", Replace(good, "serial 1", "serial 01"), {false, false}},
        {"serial beyond 64 bits", Replace(good, "serial 1733580000", "serial 18446744073709551616"), {false, false}},
        {"serial not a number", Replace(good, "serial 1733580000", "serial -1"), {false, false}},
        {"size not a number", Replace(good, "file 9 ", "file 9x "), {false, false}},
        {"size with a sign", Replace(good, "file 9 ", "file +9 "), {false, false}},
        {"no size", Replace(good, "file 9 ", "file  "), {false, false}},
        {"hash too short", Replace(good, hash, hash.substr(1)), {false, false}},
        {"hash in capitals", Replace(good, hash, "A" + hash.substr(1)), {false, false}},
        {"no name", Replace(good, hash + " movie.dat", hash), {false, false}},
        {"a control byte in a name", Replace(good, "movie.dat", "movie\r.dat"), {false, false}},
        {"the last control byte in a name", Replace(good, "movie.dat", "movie\x1F.dat"), {false, false}},
        {"an unknown line", Replace(good, "file 0 ", "blob 0 "), {false, false}},
        {"signature cut", good.substr(0, good.size() - 3) + "\n", {false, false}},
        {"no signature", withoutSignature, {false, false}},
        {"no final line feed", good.substr(0, good.size() - 1), {false, false}},
        {"a line after the signature", good + "file 1 " + hash + " x.dat\n", {false, false}},
        {"CR LF line ends", Replace(good, "\n", "\r\n"), {false, false}},
        // Well-formed but not what was signed: only the signature tells.
        {"size changed", Replace(good, "file 9 ", "file 8 "), {true, false}},
        {"hash changed", Replace(good, hash, hash.substr(0, 63) + (hash[63] == '0' ? "1" : "0")), {true, false}},
        {"name changed", Replace(good, "movie.dat", "movie.dbt"), {true, false}},
        {"serial changed", Replace(good, "serial 1733580000", "serial 1733580001"), {true, false}},
        {"expiry changed", Replace(good, "expires 4000000000", "expires 4000000001"), {true, false}},
        {"target changed", Replace(good, "target win64", "target win32"), {true, false}},
        {"signature of another list",
         withoutSignature + SignedList(1, {}).substr(SignedList(1, {}).rfind("sig")),
         {true, false}},
    };
    // Lines swapped after signing; and swapped, then signed, which is fine.
    std::vector<kavuno::launcher::ListedFile> files = {Listed("movie.dat", "catalogue"), Listed("b", "b")};
    std::string ordered = SignedList(7, files);
    std::string first = ordered.substr(ordered.find("file "),
                                       ordered.find("\n", ordered.find("file ")) + 1 - ordered.find("file "));
    std::string swapped = Replace(ordered, first, "");
    swapped = Replace(swapped, "signature", first + "signature");
    cases.push_back({"lines reordered", swapped, {true, false}});
    cases.push_back({"reordered and signed", SignedList(7, {files[1], files[0]}), {true, true}});
    cases.push_back({"a name twice", SignedList(7, {files[0], files[1], files[0]}), {false, false}});
    cases.push_back({"names differing in case", SignedList(7, {files[0], Listed("MOVIE.DAT", "")}), {true, true}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome outcome = Check(c.text);
        EXPECT_EQ(outcome.parsed, c.expected.parsed);
        EXPECT_EQ(outcome.verified, c.expected.verified);
    }
}

TEST(UpdateList, AListLargerThanTheLimitIsRefusedWhateverItHolds) {
    std::vector<kavuno::launcher::ListedFile> files;
    std::string name(200, 'n');
    size_t line = 5 + 1 + 64 + 1 + name.size() + 1;  // "file 0 HASH NAME\n"
    for (size_t i = 0; i * line < kMaxUpdateListSize; ++i) files.push_back(Listed(name + std::to_string(i), ""));
    std::string text = SignedList(1, files);
    ASSERT_GT(text.size(), kMaxUpdateListSize);
    std::string error;
    EXPECT_FALSE(ParseUpdateList(text, error));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;
    files.resize(files.size() / 2);
    EXPECT_TRUE(ParseUpdateList(SignedList(1, files), error)) << error;
}

}  // namespace
