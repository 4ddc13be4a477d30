// The demo catalogue as built: movie.dat says what records.jsonl says, root.dat
// is the tree of root.utf8.txt, every record's kind is a leaf of that tree, and
// the data holds every case the player has to handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "tests/native/tools/tool_runner.h"
#include "tools/catalog/json_line.h"

namespace {

using kavuno::tool::IsBlankLine;
using kavuno::tool::JsonError;
using kavuno::tool::JsonObject;
using kavuno::tool::ParseJsonObjectLine;
using kavuno::tool::testing::ReadBytes;
using kavuno::tool::testing::RunTool;
using kavuno::tool::testing::ScratchDir;
using kavuno::tool::testing::ToolRun;
using kavuno::tool::testing::WriteBytes;

const std::string kSource = KAVUNO_DEMO_SOURCE_DIR;
const std::string kBuilt = KAVUNO_DEMO_DIR;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A record as plain values, keys missing from a line meaning "" or 0.
struct Entry {
    std::map<std::string, std::string> texts;
    std::map<std::string, int64_t> ints;
    std::string Text(const std::string& key) const {
        auto it = texts.find(key);
        return it == texts.end() ? "" : it->second;
    }
    int64_t Int(const std::string& key) const {
        auto it = ints.find(key);
        return it == ints.end() ? 0 : it->second;
    }
};

Entry ToEntry(const std::string& line) {
    JsonError error;
    auto object = ParseJsonObjectLine(line, error);
    EXPECT_TRUE(object) << error.message << ": " << line;
    Entry entry;
    for (const auto& [key, value] : object.value_or(JsonObject{})) {
        if (value.type == kavuno::tool::JsonValue::Type::kString)
            entry.texts[key] = value.text;
        else
            entry.ints[key] = value.integer;
    }
    return entry;
}

std::vector<Entry> SourceEntries() {
    std::vector<Entry> entries;
    for (const auto& line : Lines(ReadBytes(kSource + "/records.jsonl")))
        if (!IsBlankLine(line)) entries.push_back(ToEntry(line));
    return entries;
}

const char* const kTextKeys[] = {"file", "title", "actor", "parent", "server", "kind", "path", "id"};
const char* const kIntKeys[] = {"playable", "detail", "player", "video"};

TEST(DemoCatalogue, MovieDatHoldsRecordsJsonlRecordByRecord) {
    std::vector<Entry> source = SourceEntries();
    ToolRun dump = RunTool({"dump", kBuilt + "/movie.dat"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    std::vector<std::string> lines = dump.OutLines();
    ASSERT_EQ(lines.size(), source.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        Entry dumped = ToEntry(lines[i]);
        EXPECT_EQ(dumped.Int("index"), static_cast<int64_t>(i));
        for (const char* key : kTextKeys) EXPECT_EQ(dumped.Text(key), source[i].Text(key)) << i << " " << key;
        for (const char* key : kIntKeys) EXPECT_EQ(dumped.Int(key), source[i].Int(key)) << i << " " << key;
    }
    ScratchDir dir;
    WriteBytes(dir.Path("dump.jsonl"), dump.out);
    ASSERT_EQ(RunTool({"build", dir.Path("dump.jsonl"), "-o", dir.Path("again.dat")}).status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("again.dat")), ReadBytes(kBuilt + "/movie.dat"));
}

TEST(DemoCatalogue, RootDatIsTheReadableTreeAndItsLeavesAreTheKinds) {
    EXPECT_EQ(ReadBytes(kBuilt + "/root.dat"), ReadBytes(kSource + "/root.dat"));
    // root.utf8.txt with its level marks turned into indents.
    std::string expected = "最近更新\n";
    for (const auto& line : Lines(ReadBytes(kSource + "/root.utf8.txt"))) {
        size_t marks = std::min<size_t>(line.find_first_not_of('>'), 2);
        expected += std::string(2 * marks, ' ') + line.substr(marks) + "\n";
    }
    ToolRun tree = RunTool({"tree", kBuilt + "/root.dat"});
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_EQ(tree.out, expected);

    std::set<std::string> leaves;
    std::vector<std::string> nodes = Lines(tree.out);
    auto depth = [](const std::string& node) { return node.find_first_not_of(' '); };
    for (size_t i = 1; i < nodes.size(); ++i) {
        if (i + 1 == nodes.size() || depth(nodes[i + 1]) <= depth(nodes[i]))
            leaves.insert(nodes[i].substr(depth(nodes[i])));
    }
    std::set<std::string> kinds;
    std::vector<Entry> source = SourceEntries();
    for (size_t i = 1; i < source.size(); ++i) kinds.insert(source[i].Text("kind"));
    EXPECT_EQ(leaves, kinds);
    EXPECT_GE(kinds.size(), 12u);
}

TEST(DemoCatalogue, HoldsEveryCaseThePlayerHandles) {
    std::vector<Entry> source = SourceEntries();
    ASSERT_GE(source.size(), 151u);
    std::set<std::string> servers;
    std::set<int64_t> players, videos;
    int withDetails = 0, detailWithoutId = 0, withoutDetails = 0;
    std::map<std::string, std::string> seriesKind;  // series title -> kind
    for (size_t i = 1; i < source.size(); ++i) {
        const Entry& e = source[i];
        const std::string server = e.Text("server");
        servers.insert(server.rfind("rtsp://", 0) == 0 ? "full" : server);
        players.insert(e.Int("player"));
        videos.insert(e.Int("video"));
        if (e.Int("detail") && !e.Text("id").empty()) ++withDetails;
        if (e.Int("detail") && e.Text("id").empty()) ++detailWithoutId;
        if (!e.Int("detail")) ++withoutDetails;
        if (!e.Int("playable")) seriesKind[e.Text("title")] = e.Text("kind");
    }
    EXPECT_EQ(servers, (std::set<std::string>{"", "1", "2", "3", "4", "full"}));
    EXPECT_EQ(players, (std::set<int64_t>{0, 1}));
    EXPECT_EQ(videos, (std::set<int64_t>{0, 1}));
    EXPECT_GT(withDetails, 50);
    EXPECT_GE(detailWithoutId, 1);
    EXPECT_GT(withoutDetails, 10);

    ASSERT_GE(seriesKind.size(), 5u);
    std::map<std::string, int> episodes;
    for (size_t i = 1; i < source.size(); ++i) {
        const Entry& e = source[i];
        if (e.Text("parent").empty()) continue;
        ASSERT_TRUE(seriesKind.count(e.Text("parent"))) << e.Text("title") << " has no series";
        EXPECT_EQ(e.Text("kind"), seriesKind[e.Text("parent")]) << e.Text("title");
        EXPECT_NE(e.Int("playable"), 0) << e.Text("title");
        ++episodes[e.Text("parent")];
    }
    for (const auto& [series, kind] : seriesKind) EXPECT_GE(episodes[series], 2) << series;
}

TEST(DemoCatalogue, TestClipEntriesNameTheGeneratedClips) {
    std::set<int64_t> players;
    int clips = 0;
    for (const Entry& e : SourceEntries()) {
        const std::string file = e.Text("file");
        if (file.size() < 4 || file.substr(file.size() - 4) != ".avi") continue;
        ++clips;
        // Host A's plain base, so the address ends in /movie/<path><file>.
        EXPECT_EQ(e.Text("server"), "") << file;
        EXPECT_EQ(e.Int("video"), 1) << file;
        EXPECT_EQ(e.Int("playable"), 1) << file;
        EXPECT_FALSE(ReadBytes(kBuilt + "/media/" + file).empty()) << file << " was not generated";
        players.insert(e.Int("player"));
    }
    EXPECT_EQ(clips, 3);
    EXPECT_EQ(players, (std::set<int64_t>{0, 1}));
}

TEST(DemoCatalogue, ListsShowRecentEntriesAndASeriesEpisodes) {
    std::vector<Entry> source = SourceEntries();
    ToolRun recent = RunTool({"list", kBuilt + "/movie.dat", "--recent"});
    ASSERT_EQ(recent.status, 0) << recent.err;
    std::vector<std::string> rows = recent.OutLines();
    ASSERT_EQ(rows.size(), 23u);
    size_t previous = source.size();
    for (const auto& row : rows) {
        size_t index = std::stoul(row.substr(0, row.find('\t')));
        EXPECT_LT(index, previous);
        EXPECT_GT(index, 0u);
        EXPECT_EQ(source[index].Text("parent"), "") << row;
        previous = index;
    }

    ToolRun episodes = RunTool({"list", kBuilt + "/movie.dat", "--kind", "古装剧", "--parent", "大宁风云"});
    ASSERT_EQ(episodes.status, 0) << episodes.err;
    rows = episodes.OutLines();
    ASSERT_EQ(rows.size(), 16u);
    // The last two episodes were added after the rest, at the end of the file.
    EXPECT_NE(rows.front().find("\t大宁风云 第16集\t古装剧"), std::string::npos) << rows.front();
    EXPECT_NE(rows.back().find("\t大宁风云 第01集\t古装剧"), std::string::npos) << rows.back();
}

}  // namespace
