// The launcher's progress bar, drawn from bitmaps: the track (IDB_PROGRESS_TRACK)
// stretched over the whole control, border included, and the filled part tiled
// with the stripe pattern (IDB_PROGRESS_BAR). Range and position stay the
// control's own.
#pragma once
#include <windows.h>

#include "framework/control.h"
#include "framework/ownership.h"

class SkinProgress : public kavuno::ui::Control {
public:
    SkinProgress();  // loads the bitmaps; no window is needed yet

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT MoveQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    void EraseWithTrack();
    void PaintFill();
    int CurrentFillRight();

    kavuno::ui::GdiObject<HBITMAP> track_;
    kavuno::ui::GdiObject<HBITMAP> bar_;
    kavuno::ui::GdiObject<HBRUSH> barBrush_;
};
