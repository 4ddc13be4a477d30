#include "tools/testing/stand_in_controls/core/simulated_stream.h"

#include <algorithm>
#include <cmath>

namespace kavuno::stand_in {

SimulatedStream::SimulatedStream(const SimulationSettings& settings)
    : settings_(settings), lengthMs_(settings.lengthSeconds * 1000), positionMs_(settings.startSeconds * 1000) {}

void SimulatedStream::StartConnecting(std::int64_t nowMs) {
    phase_ = Phase::kConnecting;
    phaseStartMs_ = nowMs;
    pauseWhenBuffered_ = false;
}

void SimulatedStream::Advance(std::int64_t nowMs) {
    // Each step may finish a phase at a time before nowMs; the next step
    // starts from there, so a late look sees the same history as a prompt one.
    for (;;) {
        if (phase_ == Phase::kConnecting) {
            std::int64_t end = phaseStartMs_ + std::llround(settings_.connectSeconds * 1000);
            if (nowMs < end) return;
            phase_ = Phase::kBuffering;
            phaseStartMs_ = end;
            lengthKnown_ = true;  // the server has described the clip
        } else if (phase_ == Phase::kBuffering) {
            std::int64_t end = phaseStartMs_ + std::llround(settings_.bufferSeconds * 1000);
            if (nowMs < end) return;
            phase_ = pauseWhenBuffered_ ? Phase::kPaused : Phase::kPlaying;
            phaseStartMs_ = end;
            pauseWhenBuffered_ = false;
        } else if (phase_ == Phase::kPlaying) {
            if (positionMs_ >= lengthMs_) {
                phase_ = Phase::kEnded;
                endedAtMs_ = phaseStartMs_;
                positionMs_ = lengthMs_;
                return;
            }
            if (settings_.speed <= 0) return;
            double endAt = static_cast<double>(phaseStartMs_) + (lengthMs_ - positionMs_) / settings_.speed;
            if (static_cast<double>(nowMs) < endAt) return;
            phase_ = Phase::kEnded;
            endedAtMs_ = static_cast<std::int64_t>(std::ceil(endAt));
            positionMs_ = lengthMs_;
            return;
        } else {
            return;
        }
    }
}

void SimulatedStream::Play(std::int64_t nowMs) {
    Advance(nowMs);
    if (phase_ == Phase::kStopped || phase_ == Phase::kEnded) {
        if (phase_ == Phase::kEnded) positionMs_ = 0;
        StartConnecting(nowMs);
        Advance(nowMs);
    } else if (phase_ == Phase::kPaused) {
        phase_ = Phase::kPlaying;
        phaseStartMs_ = nowMs;
        Advance(nowMs);
    } else if (phase_ == Phase::kConnecting || phase_ == Phase::kBuffering) {
        pauseWhenBuffered_ = false;
    }
}

void SimulatedStream::Pause(std::int64_t nowMs) {
    Advance(nowMs);
    if (phase_ == Phase::kPlaying) {
        positionMs_ = At(nowMs).positionMs;
        phase_ = Phase::kPaused;
        phaseStartMs_ = nowMs;
    } else if (phase_ == Phase::kConnecting || phase_ == Phase::kBuffering) {
        pauseWhenBuffered_ = true;
    }
}

void SimulatedStream::Stop(std::int64_t nowMs) {
    Advance(nowMs);
    phase_ = Phase::kStopped;
    phaseStartMs_ = nowMs;
    positionMs_ = 0;
    pauseWhenBuffered_ = false;
}

void SimulatedStream::Seek(double positionMs, std::int64_t nowMs) {
    Advance(nowMs);
    positionMs_ = std::clamp(positionMs, 0.0, lengthMs_);
    if (phase_ == Phase::kPlaying || phase_ == Phase::kPaused) phaseStartMs_ = nowMs;
    if (phase_ == Phase::kEnded) phase_ = Phase::kStopped;
    Advance(nowMs);
}

PlaybackSnapshot SimulatedStream::At(std::int64_t nowMs) {
    Advance(nowMs);
    PlaybackSnapshot s;
    s.phase = phase_;
    s.lengthMs = lengthKnown_ ? lengthMs_ : 0;
    s.positionMs = positionMs_;
    s.endedAtMs = endedAtMs_;
    if (phase_ == Phase::kPlaying) {
        s.positionMs = std::min(lengthMs_, positionMs_ + static_cast<double>(nowMs - phaseStartMs_) * settings_.speed);
    } else if (phase_ == Phase::kBuffering) {
        double total = settings_.bufferSeconds * 1000;
        s.bufferPercent = total > 0 ? static_cast<int>(std::clamp(
                                          static_cast<double>(nowMs - phaseStartMs_) * 100 / total, 0.0, 99.0))
                                    : 99;
    }
    return s;
}

}  // namespace kavuno::stand_in
