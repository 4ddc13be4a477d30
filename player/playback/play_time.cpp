#include "player/playback/play_time.h"

namespace kavuno::playback {
namespace {

// Decimal, with a "0" in front when it is a single digit.
std::string TwoDigits(std::int32_t n) {
    std::string s = std::to_string(n);
    return s.size() == 1 ? "0" + s : s;
}

}  // namespace

std::string FormatPlayTime(std::int32_t milliseconds) {
    const std::int32_t t = milliseconds < 0 ? 0 : milliseconds / 1000;
    return TwoDigits(t / 3600) + ":" + TwoDigits((t / 60) % 60) + ":" + TwoDigits(t % 60);
}

}  // namespace kavuno::playback
