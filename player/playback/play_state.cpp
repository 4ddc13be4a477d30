#include "player/playback/play_state.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavuno::playback {
namespace {

// The largest number of seconds whose milliseconds fit in 32 bits.
constexpr std::int32_t kMaxSeconds = std::numeric_limits<std::int32_t>::max() / 1000;

std::int32_t ClampSeconds(double seconds) {
    if (std::isnan(seconds) || seconds <= 0) return 0;
    if (seconds >= kMaxSeconds) return kMaxSeconds;
    return static_cast<std::int32_t>(seconds);
}

}  // namespace

PlayPauseAction DecidePlayPause(PlayerMode mode, bool playing) {
    if (mode == PlayerMode::None) return PlayPauseAction::Nothing;
    return playing ? PlayPauseAction::Pause : PlayPauseAction::Resume;
}

StatusAction ReactToPlayState(PlayerMode mode, std::int32_t state, bool showVideo) {
    if (mode == PlayerMode::RealPlayer) {
        if (state == real_player_state::kPlaying) return StatusAction::ShowPlaying;
        if (state == real_player_state::kPaused && showVideo) return StatusAction::ShowPaused;
        if (state == real_player_state::kStopped) return StatusAction::Stop;
        return StatusAction::ShowControlStatus;
    }
    if (mode == PlayerMode::MediaPlayer) {
        if (state == media_player_state::kPlaying) return StatusAction::ShowPlaying;
        if (state == media_player_state::kStopped) return StatusAction::Stop;
    }
    return StatusAction::ShowControlStatus;
}

std::int32_t SecondsForText(double seconds) {
    return std::isnan(seconds) ? 0 : ClampSeconds(std::floor(seconds + 0.5));
}

std::int32_t SecondsForSlider(double seconds) { return ClampSeconds(std::trunc(seconds)); }

std::int32_t SecondsToMilliseconds(std::int32_t seconds) {
    if (seconds <= 0) return 0;
    return seconds >= kMaxSeconds ? kMaxSeconds * 1000 : seconds * 1000;
}

std::int32_t SeekTarget(std::int32_t position, std::int32_t length, int seconds) {
    const std::int64_t end = std::max<std::int32_t>(length, 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{position} + seconds, 0, end));
}

}  // namespace kavuno::playback
