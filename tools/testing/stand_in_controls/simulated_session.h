// A simulated stream in a control: the clock of core/simulated_stream with
// its picture. Lives on the control's thread; nothing runs in the background.
#pragma once
#include "tools/testing/stand_in_controls/core/simulated_stream.h"
#include "tools/testing/stand_in_controls/media_session.h"

namespace kavuno::stand_in {

class SimulatedSession : public MediaSession {
public:
    explicit SimulatedSession(const std::wstring& address);

    void Play() override;
    void Pause() override;
    void Stop() override;
    void Seek(double positionMs) override;
    PlaybackSnapshot Snapshot() override;
    std::uint64_t PictureKey() override;
    void Paint(HDC dc, const RECT& area, const std::wstring& status) override;
    void Shutdown() override;

private:
    SimulatedStream stream_;
    bool shut_ = false;
    PlaybackSnapshot last_;
};

}  // namespace kavuno::stand_in
