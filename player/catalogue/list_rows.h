// Which records the movie list shows, as record indices, top row first. The
// list is filled by inserting rows, so these give the order the rows end up in.
// Index 0 is never a row.
#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

#include "player/catalogue/record_array.h"

namespace kavuno::catalogue {

// At most this many rows under "最近更新".
inline constexpr std::size_t kRecentRowLimit = 23;

// The last top-level records (empty parent), highest index first, at most 23.
std::vector<std::size_t> RecentRows(const RecordArray& records);

// Records whose kind and parent equal `kind` and `parent` byte for byte, the
// last one in the file first.
std::vector<std::size_t> CategoryRows(const RecordArray& records, std::string_view kind, std::string_view parent);

enum class SearchField { Title, Actor };
// The search type combo box's selection: 0 searches titles, anything else
// (including no selection) actors.
inline SearchField SearchFieldForSelection(int selection) {
    return selection == 0 ? SearchField::Title : SearchField::Actor;
}
// An empty search text runs no search: the list keeps its rows.
inline bool SearchKeepsList(std::string_view text) { return text.empty(); }

// Records whose title or actor contains `text` (GBK-aware, case-sensitive),
// the last one in the file first. Every record from index 1 on is searched.
std::vector<std::size_t> SearchRows(const RecordArray& records, std::string_view text, SearchField field);

}  // namespace kavuno::catalogue
