#include "player/catalogue/list_rows.h"

#include "player/catalogue/gbk_search.h"

namespace kavuno::catalogue {

std::vector<std::size_t> RecentRows(const RecordArray& records) {
    std::vector<std::size_t> rows;
    for (std::size_t i = records.size(); i-- > 1 && rows.size() < kRecentRowLimit;) {
        if (records[i].parent().empty()) rows.push_back(i);
    }
    return rows;
}

// The list inserts each match at the top, so the last match in the file ends
// up first: walking from the end gives the rows top to bottom.
std::vector<std::size_t> CategoryRows(const RecordArray& records, std::string_view kind, std::string_view parent) {
    std::vector<std::size_t> rows;
    for (std::size_t i = records.size(); i-- > 1;) {
        const CMF& record = records[i];
        if (record.kind() == kind && record.parent() == parent) rows.push_back(i);
    }
    return rows;
}

std::vector<std::size_t> SearchRows(const RecordArray& records, std::string_view text, SearchField field) {
    std::vector<std::size_t> rows;
    if (text.empty()) return rows;
    for (std::size_t i = records.size(); i-- > 1;) {
        const CMF& record = records[i];
        const std::string_view haystack = field == SearchField::Title ? record.title() : record.actor();
        if (GbkContains(haystack, text)) rows.push_back(i);
    }
    return rows;
}

}  // namespace kavuno::catalogue
