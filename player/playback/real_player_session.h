// The RealPlayer as playback drives it: positions in milliseconds, and full
// screen only from a pause.
#pragma once
#include "player/playback/movie_player.h"
#include "player/playback/video_area.h"

namespace kavuno::playback {

class RealPlayerSession final : public MoviePlayer {
public:
    explicit RealPlayerSession(VideoArea& area) : area_(area) {}

    PlayerMode mode() const override { return PlayerMode::RealPlayer; }
    const wchar_t* name() const override { return L"RealPlayer"; }
    bool Ready() const override { return area_.RealPlayerReady(); }
    void Start(const std::string& address) override;
    void Stop() override;
    void Pause() override;
    void Resume() override;
    void FullScreen() override;
    void Seek(std::int32_t seconds) override;
    void SetVolume(int level) override;
    void SetMute(bool muted) override;
    PlayerReading Read() override;
    std::string StatusText() override;
    HWND window() override { return area_.realPlayer().hwnd(); }

private:
    VideoArea& area_;
};

}  // namespace kavuno::playback
