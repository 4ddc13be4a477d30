// One opened address: either a file of the media folder played for real, or
// a simulated stream. Both controls drive it the same way and read the same
// snapshot; each maps it to its own play-state numbers and texts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "tools/testing/stand_in_controls/core/playback_state.h"

namespace kavuno::stand_in {

// Milliseconds of a steady clock, the time base of every snapshot.
std::int64_t ClockMs();

class MediaSession {
public:
    explicit MediaSession(std::wstring address) : address_(std::move(address)) {}
    virtual ~MediaSession() = default;
    MediaSession(const MediaSession&) = delete;
    MediaSession& operator=(const MediaSession&) = delete;

    const std::wstring& address() const { return address_; }

    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Seek(double positionMs) = 0;
    virtual PlaybackSnapshot Snapshot() = 0;

    // Changes whenever the picture would look different.
    virtual std::uint64_t PictureKey() = 0;
    // `status` is the control's own status text, for pictures that show it.
    virtual void Paint(HDC dc, const RECT& area, const std::wstring& status) = 0;

    // Stops playback and frees what plays it (threads, the graph). The
    // session keeps answering with its last snapshot. Safe to call twice.
    virtual void Shutdown() = 0;

private:
    std::wstring address_;
};

// The media folder (KAVUNO_STAND_IN_MEDIA) file that an rtsp address names,
// or "" when there is none: then the address is simulated.
std::wstring MediaFileFor(const std::wstring& address);

// Opens `address` (not playing yet): a real session for a file of the media
// folder, a simulated one otherwise.
std::shared_ptr<MediaSession> OpenMediaSession(const std::wstring& address);

}  // namespace kavuno::stand_in
