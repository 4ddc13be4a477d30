// The volume control of the control bar: a speaker and a track drawn from
// bitmaps, filled up to the level; the speaker is crossed out while muted. A
// click on the speaker mutes or unmutes, a click or drag on the track sets the
// level. The wheel over it is the main window's (as over the whole bar).
#pragma once
#include <windows.h>

#include "framework/ownership.h"
#include "player/playback/volume.h"

namespace kavuno::playback {

class VolumeControl {
public:
    // Where the track starts and how wide it is, in the bitmaps and the control.
    static constexpr int kTrackLeft = 20;
    static constexpr int kTrackWidth = 40;
    static constexpr int kWidth = 62;
    static constexpr int kHeight = 20;

    explicit VolumeControl(Volume& volume) : volume_(volume) {}
    VolumeControl(const VolumeControl&) = delete;
    VolumeControl& operator=(const VolumeControl&) = delete;

    // A child of `parent` at (x, y), named "音量" for screen readers.
    bool Create(HWND parent, int x, int y, UINT id);
    // Shows a changed setting.
    void Show(const VolumeSetting& setting);
    HWND hwnd() const { return window_.get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void SetLevelAt(int x);

    Volume& volume_;
    VolumeSetting shown_;
    ui::OwnedWindow window_;
};

}  // namespace kavuno::playback
