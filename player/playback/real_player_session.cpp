#include "player/playback/real_player_session.h"

namespace kavuno::playback {

void RealPlayerSession::Start(const std::string& address) {
    area_.mediaPlayer().Close();
    area_.HidePlayers();
    area_.realPlayer().SetSource(address);
    area_.realPlayer().Play();
}

void RealPlayerSession::Stop() { area_.realPlayer().Stop(); }
void RealPlayerSession::Pause() { area_.realPlayer().Pause(); }
void RealPlayerSession::Resume() { area_.realPlayer().Resume(); }

void RealPlayerSession::FullScreen() {
    RealPlayerControl& real = area_.realPlayer();
    real.Pause();
    real.SetFullScreen();
    real.Play();
}

void RealPlayerSession::Seek(std::int32_t seconds) { area_.realPlayer().Seek(SecondsToMilliseconds(seconds)); }

void RealPlayerSession::SetVolume(int level) { area_.realPlayer().SetVolume(level); }
void RealPlayerSession::SetMute(bool muted) { area_.realPlayer().SetMute(muted); }

PlayerReading RealPlayerSession::Read() {
    const RealPlayerControl& real = area_.realPlayer();
    PlayerReading reading;
    reading.lengthMs = real.GetLength();
    reading.positionMs = real.GetPosition();
    reading.sliderLength = reading.lengthMs / 1000;
    reading.sliderPosition = reading.positionMs / 1000;
    reading.state = real.GetPlayState();
    return reading;
}

std::string RealPlayerSession::StatusText() { return area_.realPlayer().GetStatusText(); }

}  // namespace kavuno::playback
