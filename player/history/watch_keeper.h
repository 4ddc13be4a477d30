// The player's watch history and its file together: read once at start-up,
// written whole after every change, so what the user watched survives a
// crash as well as a close.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "player/history/history_file.h"
#include "player/history/watch_history.h"

namespace kavuno::history {

class WatchKeeper {
public:
    WatchKeeper() = default;
    explicit WatchKeeper(HistoryFile file) : file_(std::move(file)) {}

    void Load() { history_ = file_.Load(); }

    void Started(std::string_view address, std::uint32_t recordHint) {
        history_.Started(address, recordHint);
        file_.Save(history_);
    }
    void Progress(std::string_view address, std::uint32_t positionS, std::uint32_t lengthS) {
        history_.Progress(address, positionS, lengthS);
        file_.Save(history_);
    }
    void Finished(std::string_view address) {
        history_.Finished(address);
        file_.Save(history_);
    }
    void Clear() {
        history_.Clear();
        file_.Save(history_);
    }
    std::optional<std::uint32_t> ResumeAt(std::string_view address) const { return history_.ResumeAt(address); }
    const WatchHistory& history() const { return history_; }

private:
    HistoryFile file_;
    WatchHistory history_;
};

}  // namespace kavuno::history
