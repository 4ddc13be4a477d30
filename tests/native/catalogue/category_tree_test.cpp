// root.dat: its lines and the tree built from them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "player/catalogue/category_tree.h"

namespace kavuno::catalogue {
namespace {

constexpr std::size_t kTop = CategoryNode::kNoParent;

// "text@parent" for each node, for compact expectations.
std::vector<std::string> Shape(const CategoryTree& tree) {
    std::vector<std::string> out;
    for (const CategoryNode& n : tree.nodes())
        out.push_back(n.text + "@" + (n.parent == kTop ? std::string("-") : std::to_string(n.parent)));
    return out;
}

TEST(RootLines, LineEndsAndCarriageReturns) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\n"), (std::vector<std::string>{""}));
    // Only a CR right before LF goes; others stay in the text.
    EXPECT_EQ(SplitLines("a\r\r\nb\rc\r"), (std::vector<std::string>{"a\r", "b\rc\r"}));
}

TEST(CategoryTree, RecentNodeFirstThenLinesInOrder) {
    const std::string recent(kRecentCategory);
    const CategoryTree tree = BuildCategoryTree({"Movies", ">Action", ">>Old", ">>New", ">Drama", "Series", ">Anime"});
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{recent + "@-", "Movies@-", "Action@1", "Old@2", "New@2", "Drama@1",
                                                     "Series@-", "Anime@6"}));
    EXPECT_FALSE(tree.HasChildren(0));
    EXPECT_TRUE(tree.HasChildren(1));
    EXPECT_TRUE(tree.HasChildren(2));
    EXPECT_FALSE(tree.HasChildren(3));
    EXPECT_FALSE(tree.HasChildren(5));
    EXPECT_FALSE(tree.HasChildren(7));
    EXPECT_FALSE(tree.HasChildren(99));
}

TEST(CategoryTree, SecondLevelLinesBeforeAnyTopLevelGoUnderRecent) {
    const CategoryTree tree = BuildCategoryTree({">Early", "Top"});
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{std::string(kRecentCategory) + "@-", "Early@0", "Top@-"}));
    EXPECT_TRUE(tree.HasChildren(0));
}

TEST(CategoryTree, MarksBeyondTheLevelStayInTheText) {
    const CategoryTree tree = BuildCategoryTree({"T", ">S", ">>>x", ">> y", "", "> "});
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{std::string(kRecentCategory) + "@-", "T@-", "S@1", ">x@2", " y@2",
                                                     "@-", " @5"}));
}

TEST(CategoryTree, ThirdLevelGoesUnderTheLatestSecondLevelEvenAcrossTopLevels) {
    const CategoryTree tree = BuildCategoryTree({"A", ">a1", "B", ">>x"});
    EXPECT_EQ(tree[4].text, "x");
    EXPECT_EQ(tree[4].parent, 2u);  // a1, under A
    EXPECT_FALSE(tree.HasChildren(3));
}

TEST(CategoryTree, ThirdLevelBeforeAnySecondLevelGoesUnderTheTopLevel) {
    const CategoryTree tree = BuildCategoryTree({">>orphan", "A", ">>x", ">>y", ">s", ">>z"});
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{std::string(kRecentCategory) + "@-", "orphan@0", "A@-", "x@2",
                                                     "y@2", "s@2", "z@5"}));
}

TEST(CategoryTree, FileThatCannotBeReadGivesOnlyRecentAndOneTooLongIsCut) {
    CategoryFileStatus status = CategoryFileStatus::Read;
    const CategoryTree missing = LoadCategoryTree("/nonexistent/kavuno/root.dat", &status);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].text, kRecentCategory);
    EXPECT_EQ(status, CategoryFileStatus::Missing);

    // At the limits a file is read whole; past them, its first whole lines within both.
    const auto path = std::filesystem::temp_directory_path() / "kavuno-root-limits.dat";
    std::string lines;
    for (std::size_t i = 0; i < kMaxCategoryLines; ++i) lines += ">x\r\n";
    const std::string big = "A\n" + std::string(kMaxCategoryFileBytes - 3, '>') + "\n";
    const struct {
        std::string text;
        CategoryFileStatus status;
        std::size_t nodes;
    } cases[] = {
        {lines, CategoryFileStatus::Read, kMaxCategoryLines + 1},  // a final line end starts no line
        {lines + "y", CategoryFileStatus::Cut, kMaxCategoryLines + 1},
        // Blank lines at the end do not count.
        {lines + "\n \r\n\t" + std::string(20000, '\n'), CategoryFileStatus::Read, kMaxCategoryLines + 1},
        {lines + "\ny\n", CategoryFileStatus::Cut, kMaxCategoryLines + 1},
        {big, CategoryFileStatus::Read, 3},
        {big + "B", CategoryFileStatus::Cut, 3},  // the line the byte limit falls into goes
        {"A\r\n" + std::string(kMaxCategoryFileBytes, 'B'), CategoryFileStatus::Cut, 2},
        {std::string(kMaxCategoryFileBytes + 1, 'B'), CategoryFileStatus::Cut, 1},
        {std::string(8u << 20, '\n'), CategoryFileStatus::Cut, 1},
    };
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        status = CategoryFileStatus::Missing;
        EXPECT_EQ(LoadCategoryTree(path, &status).size(), c.nodes) << c.text.size();
        EXPECT_EQ(status, c.status) << c.text.size();
    }
    std::filesystem::remove(path);
}

TEST(CategoryTree, LoadsGbkFileWithCrLf) {
    const auto path = std::filesystem::temp_directory_path() / "kavuno-root-test.dat";
    std::ofstream(path, std::ios::binary) << "\xB5\xE7\xD3\xB0\r\n>\xB6\xAF\xD7\xF7\r\n>>\xC0\xCF";
    const CategoryTree tree = LoadCategoryTree(path);
    std::filesystem::remove(path);
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{std::string(kRecentCategory) + "@-", "\xB5\xE7\xD3\xB0@-",
                                                     "\xB6\xAF\xD7\xF7@1", "\xC0\xCF@2"}));
    // An empty CRLF line is an empty name; bare markers are names of their level; a
    // file of one byte is that byte.
    std::ofstream(path, std::ios::binary) << "A\r\n\r\n>\r\n>>\r\n";
    EXPECT_EQ(Shape(LoadCategoryTree(path)),
              (std::vector<std::string>{std::string(kRecentCategory) + "@-", "A@-", "@-", "@2", "@3"}));
    std::ofstream(path, std::ios::binary) << "B";
    EXPECT_EQ(Shape(LoadCategoryTree(path)), (std::vector<std::string>{std::string(kRecentCategory) + "@-", "B@-"}));
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace kavuno::catalogue
