#include "player/catalogue/category_tree.h"

#include <algorithm>
#include <cstdio>

namespace kavuno::catalogue {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = text.size();
        std::size_t length = end - start;
        if (ended && length > 0 && text[end - 1] == '\r') --length;
        lines.emplace_back(text.substr(start, length));
        start = ended ? end + 1 : end;
    }
    return lines;
}

std::size_t CategoryTree::Add(std::string text, std::size_t parent) {
    nodes_.push_back({std::move(text), parent});
    hasChildren_.push_back(false);
    if (parent != CategoryNode::kNoParent) hasChildren_[parent] = true;
    return nodes_.size() - 1;
}

CategoryTree BuildCategoryTree(const std::vector<std::string>& lines) {
    CategoryTree tree;
    std::size_t top = tree.Add(std::string(kRecentCategory), CategoryNode::kNoParent);
    std::size_t second = CategoryNode::kNoParent;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] != '>') {
            top = tree.Add(line, CategoryNode::kNoParent);
        } else if (line.size() < 2 || line[1] != '>') {
            second = tree.Add(line.substr(1), top);
        } else {
            // With no second-level node yet, the line goes under the top-level one.
            tree.Add(line.substr(2), second != CategoryNode::kNoParent ? second : top);
        }
    }
    return tree;
}

namespace {

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

}  // namespace

CategoryTree LoadCategoryTree(const std::filesystem::path& path, CategoryFileStatus* status) {
    auto done = [status](CategoryFileStatus outcome, CategoryTree tree) {
        if (status) *status = outcome;
        return tree;
    };
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) return done(CategoryFileStatus::Missing, BuildCategoryTree({}));
    // Read one byte past the limit, to know whether there is more, and no further.
    std::string text(kMaxCategoryFileBytes + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    bool cut = false;
    if (text.size() > kMaxCategoryFileBytes) {
        // Only whole lines: the one the limit falls into goes.
        text.resize(kMaxCategoryFileBytes);
        const std::size_t lastEnd = text.rfind('\n');
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
        cut = true;
    }
    std::vector<std::string> lines = SplitLines(text);
    std::size_t counted = lines.size();
    while (counted > 0 && IsBlank(lines[counted - 1])) --counted;  // blank lines at the end do not count
    if (counted > kMaxCategoryLines) {
        lines.resize(kMaxCategoryLines);
        cut = true;
    } else if (lines.size() > kMaxCategoryLines) {
        lines.resize(counted);  // nothing but blank lines past the limit: they go quietly
    }
    return done(cut ? CategoryFileStatus::Cut : CategoryFileStatus::Read, BuildCategoryTree(lines));
}

}  // namespace kavuno::catalogue
