// What playback decides without a window: which control a record plays on,
// what the play/pause button does, how the status tick reacts to the active
// control's play state, and how a control's position becomes the time text
// and the slider's value.
#pragma once
#include <cstdint>

namespace kavuno::playback {

// Which control is the active player.
enum class PlayerMode : std::int32_t { None = 0, RealPlayer = 1, MediaPlayer = 2 };

// A record's `player` field: 0 plays on the RealPlayer, anything else on the media player.
constexpr PlayerMode PlayerForRecord(std::int32_t player) {
    return player == 0 ? PlayerMode::RealPlayer : PlayerMode::MediaPlayer;
}

// The controls' play-state numbers that playback reacts to; every other
// value is a passing state (connecting, buffering, seeking, ...).
namespace real_player_state {
inline constexpr std::int32_t kStopped = 0;
inline constexpr std::int32_t kPlaying = 3;
inline constexpr std::int32_t kPaused = 4;
}  // namespace real_player_state
namespace media_player_state {
inline constexpr std::int32_t kStopped = 1;
inline constexpr std::int32_t kPlaying = 3;
}  // namespace media_player_state

enum class PlayPauseAction { Nothing, Pause, Resume };
// `playing` is the user's view (playing, or paused), which the control's own state does not change.
PlayPauseAction DecidePlayPause(PlayerMode mode, bool playing);

// The status tick's reaction to a play state read from the active control.
enum class StatusAction {
    ShowPlaying,        // "正在播放：[title]", the picture if the record wants it
    ShowPaused,         // "已暂停", no picture (the RealPlayer paused, with a picture)
    Stop,               // the control has stopped: playback ends
    ShowControlStatus,  // the control's own status text, no picture
};
StatusAction ReactToPlayState(PlayerMode mode, std::int32_t state, bool showVideo);
// Whether the active control's picture is shown after the reaction.
constexpr bool PictureWanted(StatusAction action, bool showVideo) {
    return action == StatusAction::ShowPlaying && showVideo;
}

// The media player reports seconds as doubles. The time text rounds them to
// whole seconds (a value exactly halfway rounds up, so 59.5 shows as 60); the
// slider truncates (59.5 is 59). Values beyond what 32 bits of milliseconds
// hold, and values that are not numbers, are kept in range.
std::int32_t SecondsForText(double seconds);
std::int32_t SecondsForSlider(double seconds);
// Whole seconds as the milliseconds the time formatter takes, without overflow.
std::int32_t SecondsToMilliseconds(std::int32_t seconds);

// Where a seek by `seconds` from the slider's `position` lands in a movie
// `length` seconds long (a length not known yet counts as 0).
std::int32_t SeekTarget(std::int32_t position, std::int32_t length, int seconds);

}  // namespace kavuno::playback
