// The programs' log files: one line per event, "2024-05-01 12:34:56.789
// [pid] kind: text", in UTF-8. Texts often come from the network or a file,
// so a line is made safe first: control characters become blanks (no text
// can start a line of its own), bytes that are not UTF-8 become '?', and a
// long text is cut. A file is rotated when the next line would take it past
// about 1 MiB: the old one becomes "<name>.1", replacing the one before.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavuno::logfile {

inline constexpr std::uint64_t kRotateAtBytes = 1u << 20;
inline constexpr std::size_t kMaxTextBytes = 2000;

// What a line tells of: the program's start, a caught failure or a crash,
// the update's result, the catalogue or the watch history read, playback
// starting and stopping, a refused address or page, a page opened in the
// default browser.
enum class Kind { Start, Failure, Crash, Update, Catalogue, History, Play, Stop, Refused, Outside };

// The word a line of `kind` carries: "start", "failure", ...
std::string_view KindText(Kind kind);

struct Timestamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// One line with its line end.
std::string FormatLine(const Timestamp& time, unsigned long processId, std::string_view kind, std::string_view text);

// `text` as it may stand in a line (see above).
std::string SafeText(std::string_view text, std::size_t maxBytes = kMaxTextBytes);

// Whether a file of `fileBytes` is rotated before a line of `lineBytes` is
// added. An empty file never is, so a single long line still gets written.
constexpr bool RotateBefore(std::uint64_t fileBytes, std::size_t lineBytes) {
    return fileBytes > 0 && fileBytes + lineBytes > kRotateAtBytes;
}

}  // namespace kavuno::logfile
