// The volume the user set: a level of 0 to 100 and a mute switch, the same
// for whichever control plays, kept per user between runs.
#pragma once
#include <cstdint>
#include <optional>

namespace kavuno::playback {

struct VolumeSetting {
    static constexpr int kMax = 100;
    static constexpr int kStep = 5;  // a key press or a notch of the wheel

    int level = kMax;
    bool muted = false;

    bool operator==(const VolumeSetting&) const = default;
};

// `level` moved by `steps` key steps, within 0 to 100.
int SteppedLevel(int level, int steps);
// The setting kept from the last run; a value missing, of another type or out
// of range keeps the default.
VolumeSetting RestoredVolume(std::optional<std::uint32_t> level, std::optional<std::uint32_t> muted);

}  // namespace kavuno::playback
