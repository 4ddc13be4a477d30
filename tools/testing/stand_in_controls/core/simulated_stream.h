// A stream that is only pretended: connecting, buffering, then a clock that
// runs through a clip of a given length. Nothing runs in the background: every
// call brings the state up to the given clock time first, so the stream moves
// on whether or not anyone looks at it, and tests can drive the clock.
#pragma once
#include <cstdint>

#include "tools/testing/stand_in_controls/core/playback_state.h"
#include "tools/testing/stand_in_controls/core/stream_address.h"

namespace kavuno::stand_in {

class SimulatedStream {
public:
    explicit SimulatedStream(const SimulationSettings& settings);

    // Starts from the stopped or ended state (connecting and buffering anew)
    // and resumes from paused; does nothing while connecting, buffering or
    // playing.
    void Play(std::int64_t nowMs);
    // Pauses playback; asked while connecting or buffering, the stream pauses
    // as soon as it has buffered.
    void Pause(std::int64_t nowMs);
    // Back to the start of the clip, not playing.
    void Stop(std::int64_t nowMs);
    // Moves the position (clamped to the clip); playing on to the end at once
    // when it is the end. Before the stream plays, it is where it will start.
    void Seek(double positionMs, std::int64_t nowMs);

    PlaybackSnapshot At(std::int64_t nowMs);

private:
    void Advance(std::int64_t nowMs);
    void StartConnecting(std::int64_t nowMs);

    SimulationSettings settings_;
    double lengthMs_;
    Phase phase_ = Phase::kStopped;
    std::int64_t phaseStartMs_ = 0;  // when the current phase (or the running clock) began
    double positionMs_ = 0;          // at phaseStartMs_
    bool pauseWhenBuffered_ = false;
    bool lengthKnown_ = false;
    std::int64_t endedAtMs_ = 0;
};

}  // namespace kavuno::stand_in
