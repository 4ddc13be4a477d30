// Whether a web panel may open a page in the user's default browser now. A
// page may do so only on the user's word: within two seconds after a click or
// a key in that panel, and once for each such input. A page can thus never
// open window after window by itself.
#pragma once
#include <cstdint>

namespace kavuno::playback {

class OutsideGate {
public:
    static constexpr std::uint32_t kInputWindowMs = 2000;

    // `now` is a millisecond tick count that may wrap around.
    void NoteInput(std::uint32_t now) {
        armed_ = true;
        inputAt_ = now;
    }

    // True once per input, within the window after it.
    bool TryOpen(std::uint32_t now) {
        const bool open = armed_ && now - inputAt_ <= kInputWindowMs;
        armed_ = false;
        return open;
    }

private:
    bool armed_ = false;
    std::uint32_t inputAt_ = 0;
};

}  // namespace kavuno::playback
