// What the user watched: for each movie (known by its stream address) where
// it was left, newest first. The player resumes a movie from here and lists
// the last ones it started. Kept in one small file per user (history_file.h);
// the bytes of that file are read as hostile: anything but a history written
// by Serialize is no history at all.
//
// The file: a first line "Kavuno watch history 1", then one line per movie,
// newest first, "POSITION LENGTH HINT ADDRESS" (seconds, seconds, the record's
// index when last started, the address's GBK bytes to the line's end), then a
// last line "end". Every line ends with LF.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::history {

// How the history knows a movie: its stream address without the user name
// and password, which are the service's, not the movie's (and stay off disk).
std::string MovieKey(std::string_view streamAddress);

struct WatchedMovie {
    std::string address;           // GBK, as the control was given it
    std::uint32_t positionS = 0;   // where to go on from; 0 is the beginning
    std::uint32_t lengthS = 0;     // 0 while not known
    std::uint32_t recordHint = 0;  // the record's index when it was last started

    bool operator==(const WatchedMovie&) const = default;
};

class WatchHistory {
public:
    static constexpr std::size_t kMaxMovies = 200;
    static constexpr std::size_t kMaxAddressBytes = 2048;
    static constexpr std::size_t kMaxFileBytes = 1u << 20;  // far above 200 movies' worth
    static constexpr std::uint32_t kResumeFromS = 30;       // nearer the beginning, start there
    static constexpr std::uint32_t kEndMarginS = 60;        // stopped this near the end: done

    // The movie starts: it moves to the front (the oldest goes past 200).
    // An address no history line can hold is not kept.
    void Started(std::string_view address, std::uint32_t recordHint);
    // Where the movie is now; within the last minute of its length it is done
    // and starts from the beginning next time.
    void Progress(std::string_view address, std::uint32_t positionS, std::uint32_t lengthS);
    // The movie ran to its end.
    void Finished(std::string_view address) { Progress(address, 0, 0); }
    // Where to go on from, when that is far enough in.
    std::optional<std::uint32_t> ResumeAt(std::string_view address) const;
    void Clear() { movies_.clear(); }

    const std::vector<WatchedMovie>& movies() const { return movies_; }  // newest first

    std::string Serialize() const;
    // Nothing unless `bytes` is a whole history within the bounds above.
    static std::optional<WatchHistory> Parse(std::string_view bytes);

private:
    const WatchedMovie* Find(std::string_view address) const;
    WatchedMovie* Find(std::string_view address) {
        return const_cast<WatchedMovie*>(static_cast<const WatchHistory&>(*this).Find(address));
    }
    std::vector<WatchedMovie> movies_;
};

}  // namespace kavuno::history
