// Where the watch history is kept: history.dat in the user's Kavuno folder of
// %APPDATA%. Written whole each time through a temporary file that is flushed
// and moved over the old one, so a power cut leaves the old history or the
// new one. A file that is not a history (damaged, cut short, too large, of
// something else) is set aside as history.dat.bad, and the player goes on
// with an empty history.
#pragma once
#include <string>

#include "player/history/watch_history.h"

namespace kavuno::history {

class HistoryFile {
public:
    // The user's %APPDATA%\Kavuno\history.dat.
    HistoryFile();
    explicit HistoryFile(std::wstring path) : path_(std::move(path)) {}

    WatchHistory Load() const;
    // False when the history could not be written; the old file then stays.
    bool Save(const WatchHistory& history) const;

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace kavuno::history
