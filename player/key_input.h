// The everyday keys, the media keys, the wheel over the picture and the
// control bar, and a double-click on the picture, carried out as the buttons
// and the volume control would. Which key acts where is shortcut_keys.h's.
#pragma once
#include <windows.h>

#include "player/playback/playback_control.h"
#include "player/playback/volume.h"
#include "player/shortcut_keys.h"

namespace kavuno::player {

class KeyInput {
public:
    KeyInput(playback::PlaybackControl& playback, playback::Volume& volume) : playback_(playback), volume_(volume) {}

    // The main window, whose controls decide where the focus is.
    void Attach(HWND window) { window_ = window; }
    // A message on its way to the main window or one of its children; true
    // when it was one of ours, carried out, and goes no further.
    bool Translate(const MSG& msg);
    // WM_APPCOMMAND; true when the command was ours.
    bool OnAppCommand(LPARAM lParam);

private:
    FocusPlace Place(HWND focus) const;
    void Run(KeyAction action);
    // The video area, and with `bar` everything below it too (status line,
    // control bar, volume control), on the screen.
    bool Over(POINT screen, bool bar) const;
    bool DoubleClick(const MSG& msg);

    playback::PlaybackControl& playback_;
    playback::Volume& volume_;
    HWND window_ = nullptr;
    // The last press on the picture, for a double-click that the window
    // under the pointer does not report as one.
    DWORD lastPressTime_ = 0;
    POINT lastPress_ = {};
    bool pressed_ = false;
};

}  // namespace kavuno::player
