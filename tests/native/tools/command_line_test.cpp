// Argument parsing of kavuno-catalog: every request form, and one-line
// refusals for the mistakes people make.
#include <gtest/gtest.h>

#include "tools/catalog/command_line.h"

namespace {

using kavuno::tool::Action;
using kavuno::tool::ListMode;
using kavuno::tool::ParseCommandLine;
using kavuno::tool::Request;

Request Parse(std::vector<std::string> args) {
    std::string error;
    auto request = ParseCommandLine(args, error);
    EXPECT_TRUE(request.has_value()) << error;
    return request.value_or(Request{});
}

std::string Refusal(std::vector<std::string> args) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, error).has_value());
    return error;
}

TEST(CommandLine, ReadsEachCommand) {
    Request dump = Parse({"dump", "movie.dat"});
    EXPECT_EQ(dump.action, Action::kDump);
    EXPECT_EQ(dump.input, "movie.dat");

    Request build = Parse({"build", "-o", "out.dat", "records.jsonl"});
    EXPECT_EQ(build.action, Action::kBuild);
    EXPECT_EQ(build.input, "records.jsonl");
    EXPECT_EQ(build.output, "out.dat");
    EXPECT_EQ(Parse({"build", "r.jsonl", "--output", "o.dat"}).output, "o.dat");

    Request tree = Parse({"tree", "root.dat"});
    EXPECT_EQ(tree.action, Action::kTree);
    EXPECT_EQ(tree.input, "root.dat");
}

TEST(CommandLine, ReadsListModesWithTheirTexts) {
    EXPECT_EQ(Parse({"list", "m.dat", "--recent"}).listMode, ListMode::kRecent);

    Request kind = Parse({"list", "--kind", "动作片", "m.dat", "--parent", "梅县令传奇"});
    EXPECT_EQ(kind.listMode, ListMode::kKind);
    EXPECT_EQ(kind.text, "动作片");
    EXPECT_EQ(kind.parent, "梅县令传奇");
    EXPECT_EQ(kind.input, "m.dat");

    Request title = Parse({"list", "m.dat", "--title", "-x "});
    EXPECT_EQ(title.listMode, ListMode::kTitle);
    EXPECT_EQ(title.text, "-x ");  // taken as it stands: dashes and blanks included
    Request actor = Parse({"list", "m.dat", "--actor", ""});
    EXPECT_EQ(actor.listMode, ListMode::kActor);
    EXPECT_EQ(actor.text, "");
}

TEST(CommandLine, HelpWinsWherePresent) {
    EXPECT_EQ(Parse({"--help"}).action, Action::kHelp);
    EXPECT_EQ(Parse({"help"}).action, Action::kHelp);
    EXPECT_EQ(Parse({"list", "-h"}).action, Action::kHelp);
    EXPECT_NE(std::string(kavuno::tool::UsageText()).find("build RECORDS.JSONL -o MOVIE.DAT"), std::string::npos);
}

TEST(CommandLine, RefusesMistakesWithOneLine) {
    EXPECT_EQ(Refusal({}), "no command given (try --help)");
    EXPECT_EQ(Refusal({"show", "x"}), "unknown command 'show' (try --help)");
    EXPECT_EQ(Refusal({"dump"}), "dump takes exactly one file");
    EXPECT_EQ(Refusal({"dump", "a", "b"}), "dump takes exactly one file, got 2");
    EXPECT_EQ(Refusal({"dump", "a", "--recent"}), "unknown option '--recent' for dump (try --help)");
    EXPECT_EQ(Refusal({"build", "r.jsonl"}), "build needs -o OUTPUT (the movie.dat to write)");
    EXPECT_EQ(Refusal({"build", "r.jsonl", "-o"}), "-o needs a value");
    EXPECT_EQ(Refusal({"build", "r", "-o", "a", "-o", "b"}), "-o given twice");
    EXPECT_EQ(Refusal({"list", "m.dat"}), "list needs one of --recent, --kind K, --title T, --actor A");
    EXPECT_EQ(Refusal({"list", "m.dat", "--recent", "--title", "x"}),
              "give only one of --recent, --kind, --title, --actor");
    EXPECT_EQ(Refusal({"list", "m.dat", "--title", "x", "--parent", "p"}), "--parent goes with --kind only");
    EXPECT_EQ(Refusal({"list", "m.dat", "--kind"}), "--kind needs a value");
    EXPECT_EQ(Refusal({"tree", "root.dat", "-o", "x"}), "unknown option '-o' for tree (try --help)");
}

}  // namespace
