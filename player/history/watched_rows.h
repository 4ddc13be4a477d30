// The rows the list shows under "最近观看": the records of the last movies
// started, newest first, leaving out those the catalogue no longer holds.
#pragma once
#include <cstddef>
#include <vector>

#include "player/catalogue/record_array.h"
#include "player/history/watch_history.h"

namespace kavuno::history {

inline constexpr std::size_t kWatchedRows = 50;

// Record indices (1 to size - 1, each a playable record whose stream address
// is the movie's); a record is looked for at its hint first, and only when
// the catalogue has moved is every record's address built once.
std::vector<std::size_t> WatchedRows(const WatchHistory& history, const catalogue::RecordArray& records,
                                     std::size_t limit = kWatchedRows);

}  // namespace kavuno::history
