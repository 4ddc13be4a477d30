#include "player/history/watched_rows.h"

#include <string>
#include <unordered_map>

namespace kavuno::history {

std::vector<std::size_t> WatchedRows(const WatchHistory& history, const catalogue::RecordArray& records,
                                     std::size_t limit) {
    std::vector<std::size_t> rows;
    std::unordered_map<std::string, std::size_t> byAddress;  // built only when a hint misses
    bool indexed = false;
    auto playableAt = [&](std::size_t i, const std::string& address) {
        return i >= 1 && i < records.size() && records[i].playable() != 0 &&
               MovieKey(records[i].GetStreamAddress()) == address;
    };
    for (const WatchedMovie& movie : history.movies()) {
        if (rows.size() == limit) break;
        if (playableAt(movie.recordHint, movie.address)) {
            rows.push_back(movie.recordHint);
            continue;
        }
        if (!indexed) {
            for (std::size_t i = 1; i < records.size(); ++i)
                if (records[i].playable() != 0) byAddress.emplace(MovieKey(records[i].GetStreamAddress()), i);
            indexed = true;
        }
        if (const auto found = byAddress.find(movie.address); found != byAddress.end()) rows.push_back(found->second);
    }
    return rows;
}

}  // namespace kavuno::history
