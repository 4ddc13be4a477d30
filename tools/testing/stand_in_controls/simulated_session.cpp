#include "tools/testing/stand_in_controls/simulated_session.h"

#include "tools/testing/stand_in_controls/core/stream_address.h"
#include "tools/testing/stand_in_controls/picture_painter.h"

namespace kavuno::stand_in {

SimulatedSession::SimulatedSession(const std::wstring& address)
    : MediaSession(address), stream_(SimulationSettingsOf(ParseStreamAddress(address))) {}

void SimulatedSession::Play() {
    if (!shut_) stream_.Play(ClockMs());
}

void SimulatedSession::Pause() {
    if (!shut_) stream_.Pause(ClockMs());
}

void SimulatedSession::Stop() {
    if (!shut_) stream_.Stop(ClockMs());
}

void SimulatedSession::Seek(double positionMs) {
    if (!shut_) stream_.Seek(positionMs, ClockMs());
}

PlaybackSnapshot SimulatedSession::Snapshot() {
    if (!shut_) last_ = stream_.At(ClockMs());
    return last_;
}

std::uint64_t SimulatedSession::PictureKey() {
    PlaybackSnapshot s = Snapshot();
    // A new picture for every tenth of a second of the clock and each change
    // of phase or buffer level.
    return (static_cast<std::uint64_t>(s.positionMs / 100) << 16) ^ (static_cast<std::uint64_t>(s.phase) << 8) ^
           static_cast<std::uint64_t>(s.bufferPercent) ^ (static_cast<std::uint64_t>(s.lengthMs) << 40);
}

void SimulatedSession::Paint(HDC dc, const RECT& area, const std::wstring& status) {
    PaintSimulatedPicture(dc, area, address(), Snapshot(), status);
}

void SimulatedSession::Shutdown() {
    if (shut_) return;
    last_ = stream_.At(ClockMs());
    shut_ = true;
}

}  // namespace kavuno::stand_in
