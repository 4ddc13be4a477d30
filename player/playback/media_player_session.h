// The media player as playback drives it: it starts on its address by
// itself, pauses, resumes, stops and seeks through the controls object read
// at set-up, and reports seconds as doubles.
#pragma once
#include "player/playback/movie_player.h"
#include "player/playback/video_area.h"

namespace kavuno::playback {

class MediaPlayerSession final : public MoviePlayer {
public:
    explicit MediaPlayerSession(VideoArea& area) : area_(area) {}

    PlayerMode mode() const override { return PlayerMode::MediaPlayer; }
    const wchar_t* name() const override { return L"Windows Media Player"; }
    bool Ready() const override { return area_.MediaPlayerReady(); }
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
    HWND window() override { return area_.mediaPlayer().hwnd(); }

private:
    VideoArea& area_;
};

}  // namespace kavuno::playback
