#include "player/playback/media_player_session.h"

namespace kavuno::playback {

void MediaPlayerSession::Start(const std::string& address) {
    RealPlayerControl& real = area_.realPlayer();
    real.Stop();
    real.QueryAfterStop();  // asked as the control expects; the answer does not matter
    ShowWindow(real.hwnd(), SW_HIDE);
    ShowWindow(area_.mediaPlayer().hwnd(), SW_HIDE);
    area_.mediaPlayer().SetURL(address);  // it starts by itself
    area_.TakeCurrentMedia();
}

void MediaPlayerSession::Stop() { wmp_controls::Stop(area_.mediaControls()); }
void MediaPlayerSession::Pause() { wmp_controls::Pause(area_.mediaControls()); }
void MediaPlayerSession::Resume() { wmp_controls::Play(area_.mediaControls()); }
void MediaPlayerSession::FullScreen() { area_.mediaPlayer().SetFullScreen(true); }

void MediaPlayerSession::Seek(std::int32_t seconds) {
    wmp_controls::SetCurrentPosition(area_.mediaControls(), static_cast<double>(seconds));
}

// The settings object is asked for each time: a control that has none is left alone.
void MediaPlayerSession::SetVolume(int level) { wmp_settings::SetVolume(area_.mediaPlayer().GetSettings(), level); }
void MediaPlayerSession::SetMute(bool muted) { wmp_settings::SetMute(area_.mediaPlayer().GetSettings(), muted); }

PlayerReading MediaPlayerSession::Read() {
    const double position = wmp_controls::GetCurrentPosition(area_.mediaControls());
    const double length = wmp_media::GetDuration(area_.media());
    PlayerReading reading;
    reading.positionMs = SecondsToMilliseconds(SecondsForText(position));
    reading.lengthMs = SecondsToMilliseconds(SecondsForText(length));
    reading.sliderPosition = SecondsForSlider(position);
    reading.sliderLength = SecondsForSlider(length);
    reading.state = area_.mediaPlayer().GetPlayState();
    return reading;
}

std::string MediaPlayerSession::StatusText() { return area_.mediaPlayer().GetStatus(); }

}  // namespace kavuno::playback
