#include "player/catalogue/list_rows.h"

#include "player/catalogue/gbk_search.h"

namespace kavuno::catalogue {

// The texts are compared in their stored form, the other side converted once.

std::vector<std::size_t> RecentRows(const RecordArray& records) {
    std::vector<std::size_t> rows;
    for (std::size_t i = records.size(); i-- > 1 && rows.size() < kRecentRowLimit;) {
        if (records[i].PlainTextEmpty(TextField::Parent)) rows.push_back(i);
    }
    return rows;
}

// The list inserts each match at the top, so the last match in the file ends
// up first: walking from the end gives the rows top to bottom.
std::vector<std::size_t> CategoryRows(const RecordArray& records, std::string_view kind, std::string_view parent) {
    std::vector<std::size_t> rows;
    const std::string storedKind = ScrambleText(kind);
    const std::string storedParent = ScrambleText(parent);
    for (std::size_t i = records.size(); i-- > 1;) {
        const MovieRecord& record = records[i];
        if (record.PlainTextEquals(TextField::Kind, storedKind) &&
            record.PlainTextEquals(TextField::Parent, storedParent))
            rows.push_back(i);
    }
    return rows;
}

std::vector<std::size_t> SearchRows(const RecordArray& records, std::string_view text, SearchField field) {
    std::vector<std::size_t> rows;
    if (text.empty()) return rows;
    const std::string needle = ScrambleText(text);
    // A plain text ends where its stored text holds a zero byte, so no plain
    // text holds the byte that a stored zero stands for.
    if (needle.find('\0') != std::string::npos) return rows;
    const TextField searched = field == SearchField::Title ? TextField::Title : TextField::Actor;
    for (std::size_t i = records.size(); i-- > 1;) {
        const std::string_view stored = records[i].StoredView(searched);
        // Most texts hold no byte match at all; only those that do are checked
        // for where their plain text ends and where characters begin.
        if (stored.find(needle) == std::string_view::npos) continue;
        if (GbkFindStored(PlainPartOfStored(stored), needle) != std::string_view::npos) rows.push_back(i);
    }
    return rows;
}

}  // namespace kavuno::catalogue
