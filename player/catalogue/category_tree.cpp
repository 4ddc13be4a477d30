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
    // Read no further than the limit: a damaged file costs no more than that.
    std::string text;
    std::size_t lineEnds = 0;
    char buffer[4096];
    std::size_t got;
    while (text.size() <= kMaxCategoryFileBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        lineEnds += static_cast<std::size_t>(std::count(buffer, buffer + got, '\n'));
    }
    std::fclose(file);
    const std::size_t lines = lineEnds + (!text.empty() && text.back() != '\n' ? 1 : 0);
    if (text.size() > kMaxCategoryFileBytes || lines > kMaxCategoryLines)
        return done(CategoryFileStatus::TooLarge, BuildCategoryTree({}));
    return done(CategoryFileStatus::Read, BuildCategoryTree(SplitLines(text)));
}

}  // namespace kavuno::catalogue
