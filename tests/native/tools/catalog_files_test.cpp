// kavuno-catalog dump and build, run as a program: the archive it writes, the
// round trip, damaged files, and input it must refuse without writing a byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/gbk.h"
#include "tests/native/tools/tool_runner.h"
#include "tools/catalog/json_line.h"

namespace {

using kavuno::tool::JsonError;
using kavuno::tool::JsonObject;
using kavuno::tool::ParseJsonObjectLine;
using kavuno::tool::testing::ReadBytes;
using kavuno::tool::testing::RunTool;
using kavuno::tool::testing::ScratchDir;
using kavuno::tool::testing::ToolRun;
using kavuno::tool::testing::WriteBytes;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

// Header of the first record, then of every later one.
const std::string kFirstHeader = Bytes({0xFF, 0xFF, 0x00, 0x00, 0x03, 0x00}) + "CMF";
const std::string kLaterHeader = Bytes({0x01, 0x80});
const std::string kFourZeros(4, '\0');

// A record body with only a title, given as stored bytes with their prefix.
std::string BodyWithStoredTitle(const std::string& prefixedTitle) {
    return prefixedTitle + std::string(3, '\0') + kFourZeros + kFourZeros + std::string(3, '\0') + kFourZeros +
           kFourZeros + std::string(1, '\0');
}

std::string CountOf(int n) { return Bytes({n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF, (n >> 24) & 0xFF}); }

JsonObject ParseLine(const std::string& line) {
    JsonError error;
    auto object = ParseJsonObjectLine(line, error);
    EXPECT_TRUE(object) << line << ": " << error.message;
    return object.value_or(JsonObject{});
}

std::string Text(const JsonObject& object, const std::string& key) {
    for (const auto& [k, v] : object)
        if (k == key) return v.text;
    ADD_FAILURE() << "no key " << key;
    return {};
}

int64_t Integer(const JsonObject& object, const std::string& key) {
    for (const auto& [k, v] : object)
        if (k == key) return v.integer;
    ADD_FAILURE() << "no key " << key;
    return 0;
}

TEST(CatalogToolBuild, WritesRecordZeroFirstInTheArchiveLayout) {
    ScratchDir dir;
    WriteBytes(dir.Path("r.jsonl"),
               "{\"title\":\"ab\",\"playable\":1}\n"
               "{\"index\":99,\"stream\":\"x\",\"details\":\"y\",\"id\":\"7\",\"video\":-1}\n");
    ToolRun run = RunTool({"build", dir.Path("r.jsonl"), "-o", dir.Path("m.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // Stored texts are each byte 12 lower: "ab" -> 0x55 0x56, "7" -> 0x2B.
    std::string expected = CountOf(2) + kFirstHeader + Bytes({2, 0x55, 0x56, 0, 0, 0}) +  // title, file, actor, parent
                           Bytes({1, 0, 0, 0}) + kFourZeros +                             // playable, detail
                           Bytes({0, 0, 0}) +                                             // path, server, kind
                           kFourZeros + kFourZeros + Bytes({0}) +                         // player, video, id
                           kLaterHeader + Bytes({0, 0, 0, 0}) + kFourZeros + kFourZeros + Bytes({0, 0, 0}) +
                           kFourZeros + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0x2B});
    EXPECT_EQ(ReadBytes(dir.Path("m.dat")), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("m.dat.partial")));
}

TEST(CatalogToolBuild, DumpAndBuildAreInverses) {
    ScratchDir dir;
    std::string longText(300, 'x');  // needs the three-byte length prefix
    std::string source =
        "\xEF\xBB\xBF{\"title\":\"占位\"}\r\n"
        "\n"
        "{\"file\":\"b.rm\",\"title\":\"铜铃 Copper "
        "Bell\",\"actor\":\"王建国、李晓梅\",\"parent\":\"\",\"server\":\"3\","
        "\"kind\":\"动作片\",\"path\":\"a/\",\"id\":\"1001\",\"playable\":1,\"detail\":1,\"player\":1,\"video\":1}\n"
        "{\"title\":\"tab\\there \\\"quoted\\\" back\\\\slash\\nnew\",\"actor\":\"\\u67ef\\u6ee1\","
        "\"playable\":-2147483648,\"detail\":2147483647,\"player\":-1,\"path\":\"" +
        longText +
        "\"}\n"
        "   \n"
        "{\"title\":\"咖啡与茶·上海\",\"parent\":\"铜铃 Copper Bell\",\"kind\":\"动作片\"}";
    WriteBytes(dir.Path("in.jsonl"), source);
    ToolRun built = RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("a.dat")});
    ASSERT_EQ(built.status, 0) << built.err;

    ToolRun dumped = RunTool({"dump", dir.Path("a.dat")});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.err, "");
    std::vector<std::string> lines = dumped.OutLines();
    ASSERT_EQ(lines.size(), 4u);
    const char* keys[] = {"index", "file",     "title",  "actor",  "parent", "server", "kind",   "path",
                          "id",    "playable", "detail", "player", "video",  "stream", "details"};
    JsonObject first = ParseLine(lines[0]);
    ASSERT_EQ(first.size(), std::size(keys));
    for (size_t k = 0; k < std::size(keys); ++k) EXPECT_EQ(first[k].first, keys[k]);
    EXPECT_EQ(Integer(first, "index"), 0);
    EXPECT_EQ(Text(first, "title"), "占位");
    EXPECT_EQ(Integer(first, "playable"), 0);

    JsonObject hero = ParseLine(lines[1]);
    EXPECT_EQ(Integer(hero, "index"), 1);
    EXPECT_EQ(Text(hero, "title"), "铜铃 Copper Bell");
    EXPECT_EQ(Text(hero, "actor"), "王建国、李晓梅");
    EXPECT_EQ(Text(hero, "server"), "3");
    EXPECT_EQ(Integer(hero, "player"), 1);

    JsonObject odd = ParseLine(lines[2]);
    EXPECT_EQ(Text(odd, "title"), "tab\there \"quoted\" back\\slash\nnew");
    EXPECT_EQ(Text(odd, "actor"), "柯满");
    EXPECT_EQ(Text(odd, "path"), longText);
    EXPECT_EQ(Integer(odd, "playable"), INT32_MIN);
    EXPECT_EQ(Integer(odd, "detail"), INT32_MAX);
    EXPECT_EQ(Integer(odd, "player"), -1);
    EXPECT_EQ(Text(ParseLine(lines[3]), "parent"), "铜铃 Copper Bell");

    // The dump, addresses and indices included, builds the very same file.
    WriteBytes(dir.Path("dump.jsonl"), dumped.out);
    ToolRun rebuilt = RunTool({"build", dir.Path("dump.jsonl"), "-o", dir.Path("b.dat")});
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
    EXPECT_EQ(ReadBytes(dir.Path("b.dat")), ReadBytes(dir.Path("a.dat")));
}

TEST(CatalogToolDump, AddressesComeFromTheRecordAndTheConfiguration) {
    ScratchDir dir;
    WriteBytes(dir.Path("in.jsonl"),
               "{}\n"
               "{\"server\":\"\",\"path\":\"a/\",\"file\":\"b.rm\",\"detail\":1,\"id\":\"42\"}\n"
               "{\"server\":\"3\",\"path\":\"p/\",\"file\":\"片花.rm\",\"detail\":1}\n"
               "{\"server\":\"rtsp://other/x/\",\"file\":\"f\",\"id\":\"a b\"}\n");
    ASSERT_EQ(RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("m.dat")}).status, 0);
    ToolRun run = RunTool(
        {"dump", dir.Path("m.dat")},
        {"KAVUNO_STREAM_HOST_A=10.0.0.1", "KAVUNO_PRESENCE_SERVER=10.0.0.2", "KAVUNO_STREAM_USER_B=ub",
         "KAVUNO_STREAM_PASSWORD_B=pb", "KAVUNO_WEB_SITE=http://site.test/"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = run.OutLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Text(ParseLine(lines[1]), "stream"), "rtsp://10.0.0.1/movie/a/b.rm");
    EXPECT_EQ(Text(ParseLine(lines[1]), "details"), "http://site.test/film/soft.asp?id=42");
    EXPECT_EQ(Text(ParseLine(lines[2]), "stream"), "rtsp://ub:pb@10.0.0.2/p/片花.rm");
    EXPECT_EQ(Text(ParseLine(lines[2]), "details"), "");  // detail set, but no key
    EXPECT_EQ(Text(ParseLine(lines[3]), "stream"), "rtsp://other/x/f");
    EXPECT_EQ(Text(ParseLine(lines[3]), "details"), "http://site.test/film/soft.asp?id=a b");
}

// The error report is one line naming the file and a byte offset.
void ExpectDamageReport(const ToolRun& run, const std::string& what) {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(what), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" at byte "), std::string::npos) << run.err;
}

TEST(CatalogToolDump, DamagedFilesPrintWhatWasReadThenOneErrorLine) {
    ScratchDir dir;
    WriteBytes(dir.Path("in.jsonl"), "{\"title\":\"零\"}\n{\"title\":\"一\"}\n{\"title\":\"二\"}\n");
    ASSERT_EQ(RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("m.dat")}).status, 0);
    std::string good = ReadBytes(dir.Path("m.dat"));

    // Cut inside the third record: the first two are printed.
    WriteBytes(dir.Path("cut.dat"), good.substr(0, good.size() - 5));
    ToolRun cut = RunTool({"dump", dir.Path("cut.dat")});
    ExpectDamageReport(cut, "cut.dat");
    ASSERT_EQ(cut.OutLines().size(), 2u);
    EXPECT_EQ(Text(ParseLine(cut.OutLines()[1]), "title"), "一");

    // Another class name in the first header: nothing can be read.
    std::string renamed = good;
    renamed.replace(renamed.find("CMF"), 3, "CMG");
    WriteBytes(dir.Path("class.dat"), renamed);
    ToolRun wrongClass = RunTool({"dump", dir.Path("class.dat")});
    ExpectDamageReport(wrongClass, "class.dat");
    EXPECT_EQ(wrongClass.out, "");

    // A title claiming 2 GB in a small file fails at once, without a crash.
    std::string huge = CountOf(1) + kFirstHeader +
                       BodyWithStoredTitle(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) + "abc");
    WriteBytes(dir.Path("huge.dat"), huge);
    ToolRun hugeRun = RunTool({"dump", dir.Path("huge.dat")});
    ExpectDamageReport(hugeRun, "huge.dat");
    EXPECT_EQ(hugeRun.out, "");

    // A count larger than the records present: the ones there are printed.
    std::string overcount = good;
    overcount[0] = 100;
    WriteBytes(dir.Path("over.dat"), overcount);
    ToolRun over = RunTool({"dump", dir.Path("over.dat")});
    ExpectDamageReport(over, "over.dat");
    EXPECT_EQ(over.OutLines().size(), 3u);
}

TEST(CatalogToolDump, EmptyCountsAndWideTextsAreWholeFiles) {
    ScratchDir dir;
    for (int count : {0, -5}) {
        WriteBytes(dir.Path("empty.dat"), CountOf(count));
        ToolRun run = RunTool({"dump", dir.Path("empty.dat")});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // Wide titles: 0xFF 0xFFFE, a length in characters, UTF-16; what GBK
    // cannot hold becomes '?' per UTF-16 unit.
    std::string wideHero = Bytes({0xFF, 0xFE, 0xFF, 2, 0xDC, 0x94, 0xC3, 0x94});                   // 铜铃
    std::string wideEmoji = Bytes({0xFF, 0xFE, 0xFF, 4, 'a', 0, 0x3D, 0xD8, 0x00, 0xDE, 'b', 0});  // a😀b
    WriteBytes(dir.Path("wide.dat"), CountOf(2) + kFirstHeader + BodyWithStoredTitle(wideHero) + kLaterHeader +
                                         BodyWithStoredTitle(wideEmoji));
    ToolRun run = RunTool({"dump", dir.Path("wide.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.OutLines().size(), 2u);
    // The converted GBK is the stored text, unscrambled like any other (each
    // byte 12 higher): "铜铃" is CD AD C1 E5 in GBK, "a??b" becomes "mKKn".
    EXPECT_EQ(Text(ParseLine(run.OutLines()[0]), "title"), kavuno::gbk::ToUtf8("\xD9\xB9\xCD\xF1"));
    EXPECT_EQ(Text(ParseLine(run.OutLines()[1]), "title"), "mKKn");
}

TEST(CatalogToolDump, SaysWhenTextsAreNotGbkAndBuildRefusesTheirDump) {
    ScratchDir dir;
    // Plain titles D7 FA (a GBK code with no character) and a lone lead byte
    // 0x81; stored, each byte is 12 lower.
    WriteBytes(dir.Path("odd.dat"), CountOf(3) + kFirstHeader + BodyWithStoredTitle(Bytes({1, 0x55})) + kLaterHeader +
                                        BodyWithStoredTitle(Bytes({2, 0xCB, 0xEE})) + kLaterHeader +
                                        BodyWithStoredTitle(Bytes({2, 0x55, 0x75})));
    ToolRun run = RunTool({"dump", dir.Path("odd.dat")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "kavuno-catalog: note: 2 entries hold bytes that are not GBK characters; they are shown as "
              "replacement characters\n");
    ASSERT_EQ(run.OutLines().size(), 3u);
    EXPECT_EQ(Text(ParseLine(run.OutLines()[0]), "title"), "a");
    EXPECT_NE(Text(ParseLine(run.OutLines()[1]), "title").find("\xEF\xBF\xBD"), std::string::npos);

    WriteBytes(dir.Path("odd.jsonl"), run.out);
    ToolRun rebuild = RunTool({"build", dir.Path("odd.jsonl"), "-o", dir.Path("again.dat")});
    EXPECT_EQ(rebuild.status, 1);
    EXPECT_NE(rebuild.err.find(":2: title: U+FFFD cannot be written in GBK"), std::string::npos) << rebuild.err;
}

struct Refusal {
    const char* name;
    std::string lines;
    std::string expected;  // the error line after "kavuno-catalog: FILE"
};

TEST(CatalogToolBuild, RefusesBadInputWithItsLineAndWritesNothing) {
    const Refusal cases[] = {
        {"bad JSON", "{}\n{\"title\":\"a\"}\n{\"title\":\"b\",}\n",
         ":3: bad JSON at column 14: expected a key in double quotes"},
        {"not GBK", "{}\n{\"title\":\"笑\xF0\x9F\x98\x80\"}\n", ":2: title: U+1F600 cannot be written in GBK"},
        {"Thai", "{\"actor\":\"\xE0\xB8\x81\"}\n", ":1: actor: U+0E01 cannot be written in GBK"},
        {"string for int", "{}\n\n{\"playable\":\"1\"}\n", ":3: playable: expected a whole number, got a string"},
        {"int for string", "{\"title\":5}\n", ":1: title: expected a string, got a number"},
        {"boolean", "{\"video\":true}\n", ":1: video: expected a whole number, got true"},
        {"null", "{\"kind\":null}\n", ":1: kind: expected a string, got null"},
        {"too big", "{\"detail\":2147483648}\n", ":1: detail: 2147483648 does not fit in 32 bits"},
        {"too small", "{\"player\":-2147483649}\n", ":1: player: -2147483649 does not fit in 32 bits"},
        {"unknown key", "{\"tittle\":\"x\"}\n", ":1: unknown key \"tittle\""},
        {"form feed", "{\"title\":\"a\\fb\"}\n",
         ":1: title: U+000C cannot be stored (its stored byte is 0, which ends the text)"},
        {"nul", "{\"id\":\"1\\u00002\"}\n", ":1: id: U+0000 is not allowed in a text"},
        {"bad UTF-8", "{\"title\":\"\xB5\xE7\xD3\xB0\"}\n", ":1: bad JSON at column 11: invalid UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        WriteBytes(dir.Path("in.jsonl"), c.lines);
        ToolRun fresh = RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("new.dat")});
        EXPECT_EQ(fresh.status, 1);
        EXPECT_EQ(fresh.err, "kavuno-catalog: " + dir.Path("in.jsonl") + c.expected + "\n");
        EXPECT_FALSE(std::filesystem::exists(dir.Path("new.dat")));

        WriteBytes(dir.Path("old.dat"), "previous catalogue");
        EXPECT_EQ(RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("old.dat")}).status, 1);
        EXPECT_EQ(ReadBytes(dir.Path("old.dat")), "previous catalogue");
        EXPECT_EQ(
            std::distance(std::filesystem::directory_iterator(dir.Path("")), std::filesystem::directory_iterator()),
            2);  // in.jsonl and old.dat: no partial file left behind
    }
}

TEST(CatalogToolBuild, ReplacesAnExistingFileWhole) {
    ScratchDir dir;
    WriteBytes(dir.Path("m.dat"), std::string(10000, 'z'));
    WriteBytes(dir.Path("in.jsonl"), "{\"title\":\"a\"}\n");
    ASSERT_EQ(RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("m.dat")}).status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("m.dat")).size(), 4u + kFirstHeader.size() + 25u);
}

TEST(CatalogTool, UnreadableFilesAndBadArgumentsGiveOneLineAndAStatus) {
    ScratchDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart;
    };
    const Case cases[] = {
        {{"dump", dir.Path("missing.dat")}, 1, "kavuno-catalog: cannot read " + dir.Path("missing.dat")},
        {{"list", dir.Path("missing.dat"), "--recent"}, 1, "kavuno-catalog: cannot read"},
        {{"tree", dir.Path("missing.dat")}, 1, "kavuno-catalog: cannot read"},
        {{"build", dir.Path("missing.jsonl"), "-o", dir.Path("x.dat")}, 1, "kavuno-catalog: cannot read"},
        {{"dump", dir.Path("")}, 1, "kavuno-catalog: cannot read"},
        {{"tree", dir.Path("")}, 1, "kavuno-catalog: cannot read"},
        {{}, 2, "kavuno-catalog: no command given"},
        {{"dump"}, 2, "kavuno-catalog: dump takes exactly one file"},
        {{"list", "m.dat", "--title", "\xFF"}, 2, "kavuno-catalog: --title"},
    };
    for (const auto& c : cases) {
        ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.status, c.status) << c.errStart;
        EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    WriteBytes(dir.Path("in.jsonl"), "{}\n");
    ToolRun noFolder = RunTool({"build", dir.Path("in.jsonl"), "-o", dir.Path("no/such/folder/m.dat")});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err.rfind("kavuno-catalog: cannot write", 0), 0u) << noFolder.err;

    ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage:"), std::string::npos);
}

}  // namespace
