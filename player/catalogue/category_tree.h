// The category tree from root.dat: "最近更新" first, then one node per line.
// A line starting with ">" is a child of the latest top-level node, one
// starting with ">>" a child of the latest second-level node; the marks are
// not part of the text.
#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::catalogue {

// "最近更新" (recently updated) in GBK: the fixed first node.
inline constexpr std::string_view kRecentCategory = "\xD7\xEE\xBD\xFC\xB8\xFC\xD0\xC2";

// root.dat split into lines: LF ends a line, a CR right before it is dropped,
// the last line needs no LF (and a final LF starts no extra line).
std::vector<std::string> SplitLines(std::string_view text);

struct CategoryNode {
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);
    std::string text;                // GBK
    std::size_t parent = kNoParent;  // index of the parent node, or kNoParent
};

// Nodes in insertion order; each node's parent comes before it, and each is
// the last child of its parent when inserted, so inserting them in this order
// builds the tree.
class CategoryTree {
public:
    const std::vector<CategoryNode>& nodes() const { return nodes_; }
    std::size_t size() const { return nodes_.size(); }
    const CategoryNode& operator[](std::size_t i) const { return nodes_[i]; }
    bool HasChildren(std::size_t i) const { return i < hasChildren_.size() && hasChildren_[i]; }

    // Appends a node as the last child of `parent` (or at the top level);
    // returns its index.
    std::size_t Add(std::string text, std::size_t parent);

private:
    std::vector<CategoryNode> nodes_;
    std::vector<bool> hasChildren_;
};

// The tree for the lines of root.dat. A ">>" line that comes before any ">"
// line has no second-level node to go under: it becomes a child of the current
// top-level node (both marks removed), without becoming the node later ">>"
// lines go under.
CategoryTree BuildCategoryTree(const std::vector<std::string>& lines);

// No more of root.dat is read than this: a category tree is a few hundred
// lines, and reading an unbounded file at start-up could take all the memory
// a 32-bit player has.
inline constexpr std::size_t kMaxCategoryFileBytes = 1u << 20;
inline constexpr std::size_t kMaxCategoryLines = 10000;

enum class CategoryFileStatus { Read, Missing, Cut };

// Reads root.dat at `path` and builds its tree; a file that cannot be read
// gives the tree holding only "最近更新". A longer file is cut to its first
// whole lines within both limits (blank lines at its end do not count).
// `status`, when given, says which.
CategoryTree LoadCategoryTree(const std::filesystem::path& path, CategoryFileStatus* status = nullptr);

}  // namespace kavuno::catalogue
