// One of the video area's two media players as playback drives it: the
// RealPlayer and the media player each hold the calls their control takes,
// in their order. Playback keeps which one is active, and whether the user
// has it playing; a player object holds no state of its own.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "player/playback/play_state.h"
#include "player/playback/volume_level.h"

namespace kavuno::playback {

// What one status tick reads from the active player.
struct PlayerReading {
    std::int32_t positionMs = 0;  // for the time text
    std::int32_t lengthMs = 0;
    std::int32_t sliderPosition = 0;  // whole seconds, for the slider
    std::int32_t sliderLength = 0;
    std::int32_t state = 0;  // the control's own play-state number (play_state.h)
};

class MoviePlayer {
public:
    virtual ~MoviePlayer() = default;

    virtual PlayerMode mode() const = 0;
    // How the user and the log know it.
    virtual const wchar_t* name() const = 0;
    // Its control exists and answers by dispatch id.
    virtual bool Ready() const = 0;
    // Takes the video area over: the other player let go, both pictures
    // hidden, `address` (GBK) on its way.
    virtual void Start(const std::string& address) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void FullScreen() = 0;
    virtual void Seek(std::int32_t seconds) = 0;
    // The user's volume (0 to 100) and mute, by name; a control that does not
    // know the names keeps its own.
    virtual void SetVolume(int level) = 0;
    virtual void SetMute(bool muted) = 0;
    virtual PlayerReading Read() = 0;
    // The control's own status text (GBK).
    virtual std::string StatusText() = 0;
    // The window that shows its picture.
    virtual HWND window() = 0;
};

}  // namespace kavuno::playback
