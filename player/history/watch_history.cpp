#include "player/history/watch_history.h"

#include <algorithm>

#include "common/url.h"

namespace kavuno::history {
namespace {

constexpr std::string_view kHeader = "Kavuno watch history 1\n";
constexpr std::string_view kEnd = "end\n";

bool Holdable(std::string_view address) {
    return !address.empty() && address.size() <= WatchHistory::kMaxAddressBytes &&
           address.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

// A decimal number up to 2^32 - 1 and the blank after it; advances `text`.
std::optional<std::uint32_t> TakeNumber(std::string_view& text) {
    const std::size_t blank = text.find(' ');
    if (blank == 0 || blank == std::string_view::npos || blank > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text.substr(0, blank)) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return std::nullopt;
    text.remove_prefix(blank + 1);
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::string MovieKey(std::string_view streamAddress) { return url::WithoutUserInfo(streamAddress); }

const WatchedMovie* WatchHistory::Find(std::string_view address) const {
    const auto found = std::find_if(movies_.begin(), movies_.end(),
                                    [&](const WatchedMovie& movie) { return movie.address == address; });
    return found == movies_.end() ? nullptr : &*found;
}

void WatchHistory::Started(std::string_view address, std::uint32_t recordHint) {
    if (!Holdable(address)) return;
    WatchedMovie movie;
    if (WatchedMovie* known = Find(address)) {
        movie = std::move(*known);
        movies_.erase(movies_.begin() + (known - movies_.data()));
    } else {
        movie.address = std::string(address);
    }
    movie.recordHint = recordHint;
    movies_.insert(movies_.begin(), std::move(movie));
    if (movies_.size() > kMaxMovies) movies_.resize(kMaxMovies);
}

void WatchHistory::Progress(std::string_view address, std::uint32_t positionS, std::uint32_t lengthS) {
    WatchedMovie* movie = Find(address);
    if (!movie) return;
    const bool nearEnd = lengthS > 0 && std::uint64_t{positionS} + kEndMarginS >= lengthS;
    movie->positionS = nearEnd ? 0 : positionS;
    movie->lengthS = lengthS;
}

std::optional<std::uint32_t> WatchHistory::ResumeAt(std::string_view address) const {
    const WatchedMovie* movie = Find(address);
    if (!movie || movie->positionS < kResumeFromS) return std::nullopt;
    return movie->positionS;
}

std::string WatchHistory::Serialize() const {
    std::string out(kHeader);
    for (const WatchedMovie& movie : movies_) {
        out += std::to_string(movie.positionS) + ' ' + std::to_string(movie.lengthS) + ' ' +
               std::to_string(movie.recordHint) + ' ' + movie.address + '\n';
    }
    out += kEnd;
    return out;
}

std::optional<WatchHistory> WatchHistory::Parse(std::string_view bytes) {
    if (bytes.size() > kMaxFileBytes || !bytes.starts_with(kHeader)) return std::nullopt;
    bytes.remove_prefix(kHeader.size());
    WatchHistory history;
    while (bytes != kEnd) {
        const std::size_t lineEnd = bytes.find('\n');
        if (lineEnd == std::string_view::npos || history.movies_.size() == kMaxMovies) return std::nullopt;
        std::string_view line = bytes.substr(0, lineEnd);
        bytes.remove_prefix(lineEnd + 1);
        WatchedMovie movie;
        const auto position = TakeNumber(line);
        const auto length = position ? TakeNumber(line) : std::nullopt;
        const auto hint = length ? TakeNumber(line) : std::nullopt;
        if (!hint || !Holdable(line) || history.Find(line)) return std::nullopt;
        history.movies_.push_back({std::string(line), *position, *length, *hint});
    }
    return history;
}

}  // namespace kavuno::history
