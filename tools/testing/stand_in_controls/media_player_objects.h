// The stand-in media player's state and its automation objects: the
// controls object (play, stop, pause, position), which the player reads once
// and keeps, the settings object (volume, mute) and the media object of one
// opened address (its duration).
// Both may outlive the control, so they share the state, not the control.
#pragma once
#include <memory>
#include <string>

#include "tools/testing/stand_in_controls/dispatch_object.h"
#include "tools/testing/stand_in_controls/media_session.h"

namespace kavuno::stand_in {

class MediaPlayerState {
public:
    ~MediaPlayerState() { Close(); }

    // Opens a new address, closing the one before; it starts by itself. An
    // empty address only closes.
    void Open(const std::wstring& url);
    void Close();
    const std::wstring& url() const { return url_; }
    std::shared_ptr<MediaSession> session() const { return session_; }

    void Play();
    void Stop();
    void Pause();
    void SeekSeconds(double seconds);
    PlaybackSnapshot Snapshot() const;

    // The settings object's volume, kept, not heard.
    long volume = 100;
    bool muted = false;

private:
    std::wstring url_;
    std::shared_ptr<MediaSession> session_;
};

IDispatch* NewControlsObject(std::shared_ptr<MediaPlayerState> state);
// The settings object (volume and mute).
IDispatch* NewSettingsObject(std::shared_ptr<MediaPlayerState> state);
// The media object of `session` (null: no media, duration 0).
IDispatch* NewMediaObject(std::shared_ptr<MediaSession> session);

}  // namespace kavuno::stand_in
