// The state of one opened clip, shared by the simulated and the real
// playback, and how each control reports it: its play-state number and its
// status text.
#pragma once
#include <cstdint>
#include <string>

namespace kavuno::stand_in {

enum class Phase {
    kClosed,      // nothing opened
    kStopped,     // opened, not playing (stopped by a call)
    kConnecting,  // contacting the server / building the graph
    kBuffering,
    kPlaying,
    kPaused,
    kEnded,   // the clip ran to its end
    kFailed,  // the clip cannot be played
};

struct PlaybackSnapshot {
    Phase phase = Phase::kClosed;
    double positionMs = 0;
    double lengthMs = 0;         // 0 until known
    int bufferPercent = 0;       // while buffering
    std::int64_t endedAtMs = 0;  // clock time of the end, in kEnded
};

// The media player reports the end of a clip ("media ended") this long
// before it settles on "stopped".
inline constexpr std::int64_t kMediaEndedReportMs = 500;

// RealPlayer: 0 stopped, 1 contacting, 2 buffering, 3 playing, 4 paused.
int RealPlayState(const PlaybackSnapshot& s);
// Media player: 0 undefined, 1 stopped, 2 paused, 3 playing, 6 buffering,
// 8 media ended, 9 transitioning.
int WmpPlayState(const PlaybackSnapshot& s, std::int64_t nowMs);

// What the control says about its state in its status line.
std::wstring RealStatusText(const PlaybackSnapshot& s);
std::wstring WmpStatusText(const PlaybackSnapshot& s, std::int64_t nowMs);

// "hh:mm:ss" of whole seconds, for the pictures.
std::wstring ClockText(double milliseconds);

}  // namespace kavuno::stand_in
