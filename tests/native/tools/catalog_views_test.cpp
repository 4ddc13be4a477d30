// kavuno-catalog list and tree on small hand-made catalogues: the rows and the
// tree the player would show.
#include <gtest/gtest.h>

#include "tests/native/tools/tool_runner.h"

namespace {

using kavuno::tool::testing::RunTool;
using kavuno::tool::testing::ScratchDir;
using kavuno::tool::testing::ToolRun;
using kavuno::tool::testing::WriteBytes;

class CatalogToolList : public ::testing::Test {
protected:
    // Builds movie.dat from JSON lines (the first is record 0).
    void Build(const std::string& lines) {
        WriteBytes(dir_.Path("in.jsonl"), lines);
        ToolRun run = RunTool({"build", dir_.Path("in.jsonl"), "-o", dir_.Path("movie.dat")});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    std::string List(std::vector<std::string> selection) {
        std::vector<std::string> args = {"list", dir_.Path("movie.dat")};
        args.insert(args.end(), selection.begin(), selection.end());
        ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }

    ScratchDir dir_;
};

std::string Record(const std::string& title, const std::string& kind, const std::string& parent = "",
                   const std::string& actor = "") {
    return "{\"title\":\"" + title + "\",\"kind\":\"" + kind + "\",\"parent\":\"" + parent + "\",\"actor\":\"" + actor +
           "\"}\n";
}

TEST_F(CatalogToolList, RecentShowsAtMost23TopLevelEntriesNewestFirst) {
    std::string lines = Record("零", "动作片");  // record 0, never a row
    for (int i = 1; i <= 30; ++i) {
        lines += Record("片" + std::to_string(i), "动作片");
        lines += Record("片" + std::to_string(i) + " 第01集", "动作片", "片" + std::to_string(i));
    }
    Build(lines);
    std::string expected;
    for (int i = 30; i > 7; --i) expected += std::to_string(2 * i - 1) + "\t片" + std::to_string(i) + "\t动作片\n";
    EXPECT_EQ(List({"--recent"}), expected);
}

TEST_F(CatalogToolList, FewEntriesAreAllShownUnderRecentAndTheirCategory) {
    Build(Record("零", "喜剧片") + Record("一", "喜剧片") + Record("二", "喜剧片") + Record("三", "喜剧片"));
    EXPECT_EQ(List({"--recent"}), "3\t三\t喜剧片\n2\t二\t喜剧片\n1\t一\t喜剧片\n");
    EXPECT_EQ(List({"--kind", "喜剧片"}), "3\t三\t喜剧片\n2\t二\t喜剧片\n1\t一\t喜剧片\n");
}

TEST_F(CatalogToolList, CategoryMatchesKindAndParentExactly) {
    Build(Record("零", "Drama") +              // 0
          Record("剧", "Drama") +              // 1: a series
          Record("剧 第1集", "Drama", "剧") +  // 2
          Record("别的", "drama") +            // 3: other case
          Record("空格", "Drama ") +           // 4: trailing blank
          Record("剧 第2集", "Drama", "剧") +  // 5
          Record("另一部", "Drama"));          // 6
    EXPECT_EQ(List({"--kind", "Drama"}), "6\t另一部\tDrama\n1\t剧\tDrama\n");
    EXPECT_EQ(List({"--kind", "Drama", "--parent", "剧"}), "5\t剧 第2集\tDrama\n2\t剧 第1集\tDrama\n");
    EXPECT_EQ(List({"--kind", "无此类"}), "");
}

TEST_F(CatalogToolList, SearchIsCaseSensitiveGbkAwareAndCoversEpisodes) {
    Build(Record("铜铃", "动作片", "", "王建国") +              // 0: matches, never shown
          Record("Zero Hour", "动作片", "", "李晓梅") +         // 1
          Record("白畎", "纪录片", "", "王建国") +              // 2: B0D7 EEB0 holds D7EE (最) across characters
          Record("最后的铜铃", "动作片", "", "张子豪") +        // 3
          Record("铜铃 第01集", "古装剧", "铜铃", "李晓梅 ") +  // 4: an episode, actor with a trailing blank
          Record("hour", "喜剧片", "", "Wang"));                // 5
    EXPECT_EQ(List({"--title", "铜铃"}), "4\t铜铃 第01集\t古装剧\n3\t最后的铜铃\t动作片\n");
    EXPECT_EQ(List({"--title", "最"}), "3\t最后的铜铃\t动作片\n");
    EXPECT_EQ(List({"--title", "Hour"}), "1\tZero Hour\t动作片\n");
    EXPECT_EQ(List({"--title", "hour"}), "5\thour\t喜剧片\n");
    EXPECT_EQ(List({"--title", "ZERO"}), "");
    EXPECT_EQ(List({"--actor", "王建国"}), "2\t白畎\t纪录片\n");
    EXPECT_EQ(List({"--actor", "铜铃"}), "");
    EXPECT_EQ(List({"--actor", "李晓梅 "}), "4\t铜铃 第01集\t古装剧\n");
    EXPECT_EQ(List({"--title", " 第"}), "4\t铜铃 第01集\t古装剧\n");

    // No search at all for an empty text: no rows, and a note why.
    ToolRun empty = RunTool({"list", dir_.Path("movie.dat"), "--title", ""});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_NE(empty.err.find("empty search text"), std::string::npos);
}

TEST_F(CatalogToolList, RowsStayOneLineWhateverTheTitleHolds) {
    Build("{}\n{\"title\":\"a\\tb\\nc\\\\d\\re\",\"kind\":\"k\\tk\"}\n");
    EXPECT_EQ(List({"--recent"}), "1\ta\\tb\\nc\\\\d\\re\tk\\tk\n");
}

TEST_F(CatalogToolList, DamagedFileListsWhatWasReadAndSaysWhere) {
    Build(Record("零", "K") + Record("一", "K") + Record("二", "K"));
    std::string bytes = kavuno::tool::testing::ReadBytes(dir_.Path("movie.dat"));
    WriteBytes(dir_.Path("movie.dat"), bytes.substr(0, bytes.size() - 3));
    ToolRun run = RunTool({"list", dir_.Path("movie.dat"), "--kind", "K"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1\t一\tK\n");
    EXPECT_NE(run.err.find(" at byte "), std::string::npos) << run.err;
}

std::string Tree(const std::string& rootBytes) {
    ScratchDir dir;
    WriteBytes(dir.Path("root.dat"), rootBytes);
    ToolRun run = RunTool({"tree", dir.Path("root.dat")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return run.out;
}

TEST(CatalogToolTree, ShowsTheFixedNodeThenTheLinesByLevel) {
    // GBK: 电影 >动作片 >>港片 \r\n line ends, no end on the last line.
    EXPECT_EQ(Tree("\xB5\xE7\xD3\xB0\r\n>\xB6\xAF\xD7\xF7\xC6\xAC\r\n>>\xB8\xDB\xC6\xAC\r\nB"),
              "最近更新\n电影\n  动作片\n    港片\nB\n");
    EXPECT_EQ(Tree(""), "最近更新\n");
}

TEST(CatalogToolTree, OddLinesGoWhereThePlayerPutsThem) {
    // A ">" line before any top-level line goes under the fixed node; a ">>"
    // line goes under the nearest second-level line above it, even one of an
    // earlier top-level node; '>' past the second stay in the text; an empty
    // line is an empty node. Nodes print in the order the tree shows them.
    EXPECT_EQ(Tree(">a\n>>b\nT\n>>>c\n>s\n>>>d\n\n"), "最近更新\n  a\n    b\n    >c\nT\n  s\n    >d\n\n");
}

}  // namespace
