// The launcher's progress bar, drawn from bitmaps: the track (151) stretched
// over the whole control, border included, and the filled part tiled with the
// stripe pattern (152). Range and position stay the control's own.
#pragma once
#include <windows.h>

#include "framework/control.h"

class CSkinProgressCtrl : public kavuno::ui::Control {
public:
    CSkinProgressCtrl();  // loads the bitmaps; no window is needed yet
    ~CSkinProgressCtrl() override;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT MoveQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    void EraseWithTrack();
    void PaintFill();
    int CurrentFillRight();

    HBITMAP m_bmpTrack = nullptr;
    HBITMAP m_bmpBar = nullptr;
    HBRUSH m_brBar = nullptr;
};
