#include "player/playback/volume_level.h"

#include <algorithm>

namespace kavuno::playback {

int SteppedLevel(int level, int steps) {
    const long long moved = static_cast<long long>(level) + static_cast<long long>(steps) * VolumeSetting::kStep;
    return static_cast<int>(std::clamp<long long>(moved, 0, VolumeSetting::kMax));
}

VolumeSetting RestoredVolume(std::optional<std::uint32_t> level, std::optional<std::uint32_t> muted) {
    VolumeSetting setting;
    if (level && *level <= static_cast<std::uint32_t>(VolumeSetting::kMax)) setting.level = static_cast<int>(*level);
    if (muted && *muted <= 1) setting.muted = *muted == 1;
    return setting;
}

}  // namespace kavuno::playback
