// list and tree: what the player's movie list and category tree show.
#include <string>
#include <vector>

#include "common/gbk.h"
#include "player/catalogue/category_tree.h"
#include "player/catalogue/list_rows.h"
#include "player/catalogue/record_array.h"
#include "tools/catalog/catalog_tool.h"
#include "tools/catalog/commands.h"
#include "tools/catalog/file_io.h"
#include "tools/catalog/movie_dat_loading.h"

namespace kavuno::tool {
namespace {

// One tab-separated column: the few characters that would break a row are
// written as escapes.
std::string Column(std::string_view gbkText) {
    std::string utf8 = gbk::ToUtf8(gbkText), out;
    for (char c : utf8) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

const char* OptionName(ListMode mode) {
    switch (mode) {
    case ListMode::kRecent: return "--recent";
    case ListMode::kKind: return "--kind";
    case ListMode::kTitle: return "--title";
    case ListMode::kActor: return "--actor";
    }
    return "";
}

// Command-line text to the GBK the catalogue is matched in.
bool ToGbkArgument(const char* option, const std::string& utf8, std::string& gbkText, std::ostream& err) {
    if (gbk::FromUtf8(utf8, gbkText)) return true;
    err << "kavuno-catalog: " << option << " '" << utf8 << "' is not valid UTF-8 or cannot be written in GBK\n";
    return false;
}

void PrintNodes(const catalogue::CategoryTree& tree, const std::vector<std::vector<size_t>>& children,
                const std::vector<size_t>& nodes, size_t depth, std::ostream& out) {
    for (size_t node : nodes) {
        out << std::string(2 * depth, ' ') << gbk::ToUtf8(tree[node].text) << '\n';
        PrintNodes(tree, children, children[node], depth + 1, out);
    }
}

}  // namespace

int RunList(const Request& request, std::ostream& out, std::ostream& err) {
    std::string text, parent;
    if (!ToGbkArgument(OptionName(request.listMode), request.text, text, err) ||
        !ToGbkArgument("--parent", request.parent, parent, err))
        return kExitUsage;

    catalogue::RecordArray records;
    catalogue::LoadResult result;
    if (!LoadForTool(request.input, records, result, err)) return kExitFailed;

    std::vector<size_t> rows;
    switch (request.listMode) {
    case ListMode::kRecent: rows = catalogue::RecentRows(records); break;
    case ListMode::kKind: rows = catalogue::CategoryRows(records, text, parent); break;
    case ListMode::kTitle:
    case ListMode::kActor:
        if (catalogue::SearchKeepsList(text)) {
            err << "kavuno-catalog: an empty search text runs no search (the player keeps its list)\n";
            break;
        }
        rows = catalogue::SearchRows(
            records, text,
            request.listMode == ListMode::kTitle ? catalogue::SearchField::Title : catalogue::SearchField::Actor);
        break;
    }
    for (size_t index : rows) {
        const catalogue::MovieRecord& record = records[index];
        out << index << '\t' << Column(record.title()) << '\t' << Column(record.kind()) << '\n';
    }
    // Like the player, list what was read before a fault, but say so.
    if (!result.ok()) {
        ReportDamage(request.input, result, out, err);
        return kExitFailed;
    }
    return kExitOk;
}

int RunTree(const Request& request, std::ostream& out, std::ostream& err) {
    // Read here rather than through the player's loader, which quietly shows
    // only the fixed node when the file is missing: the tool must say so.
    std::string bytes, error;
    if (!ReadWholeFile(request.input, bytes, error)) {
        err << "kavuno-catalog: " << error << '\n';
        return kExitFailed;
    }
    catalogue::CategoryTree tree = catalogue::BuildCategoryTree(catalogue::SplitLines(bytes));
    // Nodes come in insertion order, and a third-level line can join a branch
    // above the latest top-level node: print in the order the tree shows them.
    std::vector<std::vector<size_t>> children(tree.size());
    std::vector<size_t> topLevel;
    for (size_t i = 0; i < tree.size(); ++i) {
        size_t parent = tree[i].parent;
        (parent == catalogue::CategoryNode::kNoParent ? topLevel : children[parent]).push_back(i);
    }
    PrintNodes(tree, children, topLevel, 0, out);
    return kExitOk;
}

}  // namespace kavuno::tool
