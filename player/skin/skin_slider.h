// The position slider: a track bar painted from two bitmaps, the track
// (IDB_SLIDER_TRACK) and the thumb (IDB_SLIDER_THUMB); the track bar's own
// painting never runs. It knows when the user holds it, so the status display
// leaves the thumb alone meanwhile.
#pragma once
#include <windows.h>

#include "framework/control.h"

namespace kavuno::skin {

class SkinSlider : public ui::Control {
public:
    // True from a left button press on the slider until the button is
    // released, or until the slider loses the mouse capture mid-drag.
    bool IsDragging() const { return dragging_; }
    // True while the track bar ends a drag because the capture went elsewhere
    // (another window was activated, say): its release notification then
    // asks for no seek.
    bool LosingCapture() const { return losingCapture_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint();

    bool dragging_ = false;
    bool losingCapture_ = false;
};

}  // namespace kavuno::skin
